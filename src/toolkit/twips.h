#pragma once

#include <QRect>
#include <QtGlobal>

namespace toolkit {

// Positions and sizes are given in twips: 1440 to the logical inch, so 15 to
// the logical pixel. Qt's high-DPI scaling maps logical pixels to the device.
inline constexpr int kTwipsPerPixel = 15;

inline int twipsToPixels(double twips) {
    return qRound(twips / kTwipsPerPixel);
}

inline int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// The left edge, in single-precision twips, that centres something of the
// given width in a space of the given width; a half is kept, and a space
// narrower than the thing gives a negative position.
inline float centredLeft(float space, float width) {
    return (space - width) / 2.0f;
}

// The primary screen's size in twips.
int screenWidthTwips();
int screenHeightTwips();

}  // namespace toolkit
