#include "toolkit/messagebox.h"

#include <QFontMetricsF>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QSpacerItem>
#include <QWindow>
#include <QtMath>

namespace toolkit {
namespace {

// Where the compositor leaves the title bar to the program (GNOME), Qt 6.4
// draws it itself with its Wayland plug-in "bradient": the title, in the
// application's font at 14 pixels, is centred on the whole bar and cut off 5
// pixels before three buttons 18 pixels wide, 5 apart and 8 from the right
// end, whatever the window's flags; the bar spans the window and a 3-pixel
// border on each side. The width a window needs to show its whole title:
int titleBarWidth(const QString& title) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(14);
    const int text = qCeil(QFontMetricsF(font).horizontalAdvance(title));
    constexpr int kButtons = 8 + 3 * 18 + 2 * 5 + 5;
    constexpr int kBorder = 3;
    constexpr int kRounding = 2;
    return text + 2 * kButtons - 2 * kBorder + kRounding;
}

// Whether Qt draws the title bars: on Wayland, where a window it has
// decorated has margins of Qt's, and one the compositor decorates has none.
bool qtDrawsTitleBars(const QWidget* owner) {
    if (!QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {
        return false;
    }
    const QWindow* window = owner ? owner->windowHandle() : nullptr;
    return window == nullptr || !window->isVisible() || window->frameMargins().top() > 0;
}

// A message box sizes itself to its layout when it is shown; a spacer under
// its buttons as wide as the title needs widens it, so that a short box such
// as "Errore!!" shows its whole title.
void fitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    const QMargins outer = box.contentsMargins();
    const QMargins inner = grid->contentsMargins();
    const int width = titleBarWidth(box.windowTitle()) - outer.left() - outer.right() -
                      inner.left() - inner.right();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

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
        if (qtDrawsTitleBars(owner)) {
            fitTitle(box);
        }
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
