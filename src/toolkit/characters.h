#pragma once

#include <QString>

namespace toolkit {

// The character of text that starts at index (a surrogate pair counts as one),
// as a message shows it: itself between « and » when it is visible on its
// own, otherwise its code ("U+202E"): a control, format, combining,
// private-use, unassigned or surrogate character, a blank of any kind, or a
// character that the message font cannot draw. A direction override or an
// invisible character would otherwise turn the message around or leave «» empty.
QString quotedCharacter(const QString& text, qsizetype index);

}  // namespace toolkit
