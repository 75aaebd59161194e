#include "toolkit/display.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstring>

namespace toolkit {
namespace {

// Connects to the X server as the xcb platform plug-in would.
bool xAnswers(const QByteArray& display) {
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

// Connects to the Wayland compositor's socket, found as libwayland finds it.
bool waylandAnswers(const QByteArray& display) {
    const QByteArray path =
        display.startsWith('/') ? display : qgetenv("XDG_RUNTIME_DIR") + '/' + display;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answers =
        fd >= 0 && connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) {
        close(fd);
    }
    return answers;
}

}  // namespace

std::optional<QString> missingDisplay() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        return std::nullopt;
    }
    const QByteArray x = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if ((!x.isEmpty() && xAnswers(x)) || (!wayland.isEmpty() && waylandAnswers(wayland))) {
        return std::nullopt;
    }
    const QString what =
        x.isEmpty() && wayland.isEmpty()
            ? QStringLiteral("nessuno schermo (DISPLAY e WAYLAND_DISPLAY non sono impostate)")
            : QStringLiteral("lo schermo «%1» non risponde")
                  .arg(QString::fromLocal8Bit(x.isEmpty() ? wayland : x));
    return QStringLiteral(
               "Zelvano è un programma a finestre ma non trova %1: avviarlo da una "
               "sessione grafica, oppure senza schermo con «xvfb-run zelvano».")
        .arg(what);
}

}  // namespace toolkit
