#pragma once

#include <QProgressBar>

namespace toolkit {

// A progress bar that keeps the minimum, maximum and value exactly as set,
// in any order and any combination: it never refuses a range and never
// resets its value, so a command always finds the state the last one left.
class ProgressBar final : public QProgressBar {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgressBar)

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    int min() const { return m_min; }
    int max() const { return m_max; }
    int pos() const { return m_pos; }
    void setMin(int min);
    void setMax(int max);
    void setPos(int pos);

private:
    void refresh();
    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
};

}  // namespace toolkit
