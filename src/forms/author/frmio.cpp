#include "forms/author/frmio.h"

#include <QIcon>

#include "forms/texts.h"
#include "toolkit/accessible.h"
#include "toolkit/lifecycle.h"
#include "toolkit/pictures.h"
#include "toolkit/twips.h"

namespace forms {
namespace {

const QColor kYellow(255, 255, 0);

// Both labels ask for the outlined black face; the label draws it hollow.
QFont greetingFont() {
    QFont font(QStringLiteral("Swis721 BlkOul BT"));
    font.setPointSizeF(10.2);
    font.setWeight(QFont::Bold);
    return font;
}

toolkit::OutlinedLabel* makeLabel(QWidget* parent, const QString& name, Qt::Alignment alignment,
                                  bool autoSize) {
    auto* label = new toolkit::OutlinedLabel(parent);
    label->setObjectName(name);
    label->setColour(kYellow);
    label->setAlignment(alignment);
    label->setFont(greetingFont());
    label->setAutoSize(autoSize);
    return label;
}

void moveLeftTwips(QWidget* control, float left) {
    control->move(toolkit::twipsToPixels(left), control->y());
}

float controlWidthTwips(const QWidget* control) {
    return static_cast<float>(toolkit::pixelsToTwips(control->width()));
}

}  // namespace

frmio::frmio() : toolkit::Form(kName) {
    setWindowTitle(QStringLiteral("ECCOMI"));
    // A dialog with nothing to press: it takes the focus itself, so that a
    // screen reader turns to it at once and reads its texts, and Escape
    // closes it.
    toolkit::setAccessibleRole(this, QAccessible::Dialog);
    setFocusPolicy(Qt::StrongFocus);
    setEscapeCloses(true);
    setWindowIcon(QIcon(QStringLiteral(":/author.ico")));
    client()->setPicture(toolkit::PictureReader(QStringLiteral(":/bg640.jpg")).pixmap());

    m_label1 = makeLabel(client(), QStringLiteral("Label1"), Qt::AlignHCenter, true);
    m_label1->setGeometry(toolkit::twipsRect(3252, 360, 108, 240));

    m_image1 = new QLabel(client());
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setAccessibleName(QStringLiteral("Ritratto dell'autore"));
    m_image1->setGeometry(toolkit::twipsRect(1200, 1440, 3840, 2880));
    const QPixmap picture = toolkit::PictureReader(QStringLiteral(":/author.jpg")).pixmap();
    if (!picture.isNull()) {
        // Not stretched: the control takes the picture's size.
        m_image1->setPixmap(picture);
        m_image1->resize(picture.deviceIndependentSize().toSize());
    }

    m_label2 = makeLabel(client(), QStringLiteral("Label2"), Qt::AlignLeft, false);
    m_label2->setGeometry(toolkit::twipsRect(1200, 4440, 3828, 240));

    setClientSizeTwips(5808, 4896);
}

frmio* frmio::show() {
    return toolkit::show<frmio>();
}

void frmio::Form_Load() {
    const auto inner = static_cast<float>(clientWidthTwips());
    // Each left is taken from the width the control has at that moment: the
    // greeting's after it has sized itself to its new text.
    m_label1->setText(QStringLiteral("ECCOMI A VOI IN TUTTA LA MIA BELLEZZA(?)") + QChar(13) +
                      QChar(13) + QStringLiteral("SALUTI DAL VURLO"));
    moveLeftTwips(m_label1, toolkit::centredLeft(inner, controlWidthTwips(m_label1)));
    moveLeftTwips(
        m_image1,
        toolkit::centredLeft(inner, pictureWidthTwips(m_image1->width(), toolkit::kTwipsPerPixel)));
    m_label2->setText(QStringLiteral("E-mail: ") + kAuthorContact);
    // A screen reader reads a dialog's texts of three words or more.
    m_label2->setAccessibleName(QStringLiteral("E-mail dell'autore: ") + kAuthorContact);
    moveLeftTwips(m_label2, toolkit::centredLeft(inner, controlWidthTwips(m_label2)));
    centreOnScreen();
    setFocus(Qt::OtherFocusReason);
}

}  // namespace forms
