#pragma once

#include <QLabel>

#include "toolkit/forms.h"
#include "toolkit/outlinedlabel.h"

namespace forms {

// The author's contact shown after "E-mail: ".
inline const QString kAuthorContact = QStringLiteral("posta@zelvano.example");

// The left edge, in single-precision twips, that centres something of the
// given width in a space of the given width; a half is kept, and a space
// narrower than the thing gives a negative position.
inline float centredLeft(float space, float width) {
    return (space - width) / 2.0f;
}

// The width in twips of a picture shown unscaled, at the screen's twips per pixel.
inline float pictureWidthTwips(int pixels, int twipsPerPixel) {
    return static_cast<float>(pixels) * static_cast<float>(twipsPerPixel);
}

// The author window: a greeting over a picture, and the author's contact.
class frmio final : public toolkit::Form {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmio)

public:
    frmio();

    static frmio* show();

    // Places the window in the middle of a screen of the given size (twips).
    void centreOn(float screenWidth, float screenHeight);

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
