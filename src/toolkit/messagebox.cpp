#include "toolkit/messagebox.h"

#include <QMessageBox>

namespace toolkit {
namespace {

class RealMessageBoxes final : public MessageBoxes {
public:
    void show(const QString& text, MsgStyle style, const QString& title) override {
        QMessageBox box;
        box.setWindowTitle(title);
        box.setText(text);
        box.setIcon(style == MsgStyle::Warning    ? QMessageBox::Warning
                    : style == MsgStyle::Critical ? QMessageBox::Critical
                                                  : QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }
};

RealMessageBoxes g_realBoxes;
MessageBoxes* g_boxes = &g_realBoxes;

}  // namespace

void setMessageBoxes(MessageBoxes* boxes) {
    g_boxes = boxes ? boxes : &g_realBoxes;
}

void msgBox(const QString& text, MsgStyle style, const std::optional<QString>& title) {
    g_boxes->show(text, style, title.value_or(kProgramTitle));
}

}  // namespace toolkit
