#include "toolkit/messagebox.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>

namespace toolkit {
namespace {

class RealMessageBoxes final : public MessageBoxes {
public:
    void show(const QString& text, MsgStyle style, const QString& title, QWidget* parent) override {
        QWidget* owner = parent ? parent->window() : nullptr;
        const QPointer<QWidget> focus = owner ? owner->focusWidget() : nullptr;
        // With a parent the box is centred on it and stays above it.
        QMessageBox box(owner);
        box.setWindowTitle(title);
        box.setText(text);
        box.setIcon(style == MsgStyle::Warning    ? QMessageBox::Warning
                    : style == MsgStyle::Critical ? QMessageBox::Critical
                                                  : QMessageBox::NoIcon);
        if (auto* icon = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"))) {
            icon->setAccessibleName(style == MsgStyle::Warning    ? QStringLiteral("Attenzione")
                                    : style == MsgStyle::Critical ? QStringLiteral("Errore")
                                                                  : QString());
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        // The window system may hand the activation to any window once the box
        // is gone; it belongs to the window that raised the box.
        if (owner != nullptr && owner->isVisible()) {
            owner->activateWindow();
            if (focus) {
                focus->setFocus(Qt::ActiveWindowFocusReason);
            }
        }
    }
};

RealMessageBoxes g_realBoxes;
MessageBoxes* g_boxes = &g_realBoxes;

}  // namespace

void setMessageBoxes(MessageBoxes* boxes) {
    g_boxes = boxes ? boxes : &g_realBoxes;
}

void msgBox(const QString& text, MsgStyle style, const std::optional<QString>& title,
            QWidget* parent) {
    g_boxes->show(text, style, title.value_or(kProgramTitle), parent);
}

}  // namespace toolkit
