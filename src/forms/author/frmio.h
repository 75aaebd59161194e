#pragma once

#include <QLabel>

#include "toolkit/form.h"
#include "toolkit/outlinedlabel.h"

namespace forms {

// The width in twips of a picture shown unscaled, at the screen's twips per pixel.
inline float pictureWidthTwips(int pixels, int twipsPerPixel) {
    return static_cast<float>(pixels) * static_cast<float>(twipsPerPixel);
}

// The author window: a greeting over a picture, and the author's contact.
class frmio final : public toolkit::Form {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmio)

public:
    static inline const QString kName = QStringLiteral("frmio");

    frmio();

    static frmio* show();

    toolkit::OutlinedLabel* label1() const { return m_label1; }
    QLabel* image1() const { return m_image1; }
    toolkit::OutlinedLabel* label2() const { return m_label2; }

protected:
    void Form_Load() override;

private:
    toolkit::OutlinedLabel* m_label1;
    QLabel* m_image1;
    toolkit::OutlinedLabel* m_label2;
};

}  // namespace forms
