#include "forms/joke/frmhaha.h"

#include <QIcon>

#include "toolkit/accessible.h"
#include "toolkit/lifecycle.h"
#include "toolkit/pictures.h"
#include "toolkit/twips.h"

namespace forms {

FRMHAHA::FRMHAHA() : toolkit::Form(kName), m_label1(new toolkit::OutlinedLabel(client())) {
    setWindowTitle(QStringLiteral("AH AH AH AH AH AH"));
    // A dialog with nothing to press: it takes the focus itself, so that a
    // screen reader turns to it at once and reads its lines, and Escape
    // closes it.
    toolkit::setAccessibleRole(this, QAccessible::Dialog);
    setFocusPolicy(Qt::StrongFocus);
    setEscapeCloses(true);
    setWindowIcon(QIcon(QStringLiteral(":/joke.ico")));
    // The picture is larger than the window: only its top-left part shows.
    client()->setColour(QColor(0, 0, 255));
    client()->setPicture(toolkit::PictureReader(QStringLiteral(":/joke.jpg")).pixmap());

    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setColour(QColor(0, 255, 0));
    m_label1->setAlignment(Qt::AlignHCenter);
    QFont font(QStringLiteral("Swis721 BdOul BT"));
    font.setPointSize(12);
    font.setWeight(QFont::Normal);
    m_label1->setFont(font);
    m_label1->setGeometry(toolkit::twipsRect(240, 240, 3252, 1452));

    setClientSizeTwips(3744, 1776);
}

FRMHAHA* FRMHAHA::show() {
    return toolkit::show<FRMHAHA>();
}

void FRMHAHA::Form_Load() {
    centreOnScreen();
    m_label1->setText(QStringLiteral("AH AH AH MA DAVVERO VI") + QChar(13) +
                      QStringLiteral("SERVE UN AIUTO?") + QChar(13) +
                      QStringLiteral("MA PER PIACERE AH AH AH"));
    setFocus(Qt::OtherFocusReason);
}

}  // namespace forms
