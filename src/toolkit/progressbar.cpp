#include "toolkit/progressbar.h"

#include <algorithm>

namespace toolkit {

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(false);
    refresh();
}

void ProgressBar::setMin(int min) {
    m_min = min;
    refresh();
}

void ProgressBar::setMax(int max) {
    m_max = max;
    refresh();
}

void ProgressBar::setPos(int pos) {
    m_pos = pos;
    refresh();
}

void ProgressBar::refresh() {
    // Only the painting is clamped; the stored values stay as they were set.
    // A range of nothing shows full once the value has reached it.
    const int span = std::max(m_max - m_min, 1);
    const int shown = m_max <= m_min ? (m_pos >= m_max ? span : 0) : m_pos - m_min;
    QProgressBar::setRange(0, span);
    QProgressBar::setValue(std::clamp(shown, 0, span));
}

}  // namespace toolkit
