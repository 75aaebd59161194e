#pragma once

#include <QRadioButton>

namespace toolkit {

// An option button that answers a click anywhere inside its rectangle, as
// the platform's option buttons do; Qt's own answers only over its circle
// and caption, so a click in the empty part of the row would do nothing.
class OptionButton final : public QRadioButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OptionButton)

public:
    explicit OptionButton(const QString& caption, QWidget* parent = nullptr);

protected:
    bool hitButton(const QPoint& pos) const override;
};

}  // namespace toolkit
