#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace toolkit {

// How a window system met the start-up check's connection.
enum class DisplayAnswer {
    Refused,  // no connection: Qt's plug-in gives up and Qt tries the next platform
    Silent,   // connected, but no reply: Qt would keep it and hang or end
    Answers,
};

// What the start-up check asks of the machine, so that a test can stand in.
struct DisplayProbe {
    // Whether Qt finds the platform plug-in with this key ("xcb", "wayland"):
    // in its plug-in folders, or in this further folder when it is not empty.
    std::function<bool(const QString& key, const QString& folder)> installed;
    // How the X server of this display name answers, and the Wayland
    // compositor of this socket name.
    std::function<DisplayAnswer(const QByteArray& display)> x;
    std::function<DisplayAnswer(const QByteArray& socket)> wayland;
};

// Why no window can be shown, or nothing when Qt will find a display. Without
// one, Qt aborts the program; this asks first, before the application object
// exists, and as Qt 6.4 picks its platform: the list given by the option
// -platform or else QT_QPA_PLATFORM ("wayland;xcb": try in this order), or by
// default Wayland when WAYLAND_DISPLAY is set or XDG_SESSION_TYPE is
// "wayland", then X. The first platform whose plug-in is installed and whose
// display accepts a connection is Qt's, and its display must answer.
// "offscreen" and "minimal" need no display; other platforms are left to Qt.
std::optional<QString> missingDisplay(const QProcessEnvironment& environment,
                                      const QStringList& arguments, const DisplayProbe& probe);

// The same for this program's environment and arguments, on this machine.
// An X server that answers is kept connected until releaseCheckedDisplay():
// Xvfb resets itself when its last client leaves and turns away a client
// that connects meanwhile, such as Qt right after the check.
std::optional<QString> missingDisplay(int argc, char* argv[]);

// Lets go of that connection, once the application object has made its own.
void releaseCheckedDisplay();

}  // namespace toolkit
