#pragma once

#include <QCheckBox>

namespace toolkit {

// A check box whose value is 0 (clear), 1 (ticked) or 2 (dimmed). Qt numbers
// its states differently (PartiallyChecked is 1, Checked is 2); the conversion
// lives here only. A user's click ticks a clear or dimmed box and clears a
// ticked one. Like OptionButton, it answers a click anywhere inside its
// rectangle, not only over its box and caption.
class CheckBox final : public QCheckBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckBox)

public:
    explicit CheckBox(const QString& caption, QWidget* parent = nullptr);

    int value() const;
    // Throws std::out_of_range for a value other than 0, 1 or 2.
    void setValue(int value);

protected:
    void nextCheckState() override;
    bool hitButton(const QPoint& pos) const override;
};

}  // namespace toolkit
