#pragma once

#include <QString>

#include <optional>

namespace toolkit {

// Why no window can be shown, or nothing when a display answers. Without one,
// Qt's platform plug-in aborts the program; this asks first, before the
// application object exists. A platform chosen through QT_QPA_PLATFORM is
// taken as it is.
std::optional<QString> missingDisplay();

}  // namespace toolkit
