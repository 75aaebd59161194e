#include "toolkit/twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace toolkit {

int screenWidthTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? pixelsToTwips(screen->geometry().width()) : 0;
}

int screenHeightTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? pixelsToTwips(screen->geometry().height()) : 0;
}

}  // namespace toolkit
