#pragma once

#include <QFont>
#include <QString>

namespace toolkit {

// The dialog font of every window: Liberation Sans Narrow at 8 points. The
// windows are laid out in fixed pixels, so their font is fixed too and does
// not follow the desktop's; at this size every caption fits its control, the
// widest being "800 x 600 o 1024 x 768 " (122 of 129 pixels with its button).
// Characters that the face lacks, the control pictures among them, come from
// Symbola.
QFont dialogFont();

// A font that a window names by a face that Linux systems lack, at its own
// size, with the metric-compatible face that stands in for it.
QFont namedFont(const QString& family, qreal points);

// The application-wide set-up, once before the first window: the dialog font
// for message boxes and menus, Qt's own Italian texts whatever the system's
// language, the desktop file name and the window icon that every window,
// message boxes included, carries unless it has its own.
void setUpApplication();

}  // namespace toolkit
