#include "toolkit/display.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>

#include <poll.h>
#include <wayland-client.h>
#include <xcb/xcb.h>

#include <cerrno>

namespace toolkit {
namespace {

// Qt's options that the platform's choice depends on.
struct QtOptions {
    std::optional<QString> platform;      // -platform
    std::optional<QString> pluginFolder;  // -platformpluginpath
    std::optional<QString> display;       // -display, read by the X plug-in
};

// Reads them as Qt does: with one dash or two, each of Qt's options taking the
// next argument as its value, the last one counting.
QtOptions qtOptions(const QStringList& arguments) {
    static const QStringList withValue{
        QStringLiteral("-platform"),        QStringLiteral("-platformpluginpath"),
        QStringLiteral("-display"),         QStringLiteral("-platformtheme"),
        QStringLiteral("-qwindowgeometry"), QStringLiteral("-qwindowtitle"),
        QStringLiteral("-qwindowicon")};
    QtOptions options;
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        QStringView name = arguments.at(i);
        if (name.startsWith(u"--")) {
            name = name.mid(1);
        }
        if (!withValue.contains(name)) {
            continue;
        }
        const QString& value = arguments.at(++i);
        if (name == u"-platform") {
            options.platform = value;
        } else if (name == u"-platformpluginpath") {
            options.pluginFolder = value;
        } else if (name == u"-display") {
            options.display = value;
        }
    }
    return options;
}

// "a", "a e b", "a, b e c".
QString listed(const QStringList& items) {
    return items.size() < 2 ? items.join(QString())
                            : items.first(items.size() - 1).join(QStringLiteral(", ")) +
                                  QStringLiteral(" e ") + items.last();
}

// The check's connection to an X server that answered, kept until Qt has
// made its own (releaseCheckedDisplay): an X server whose last client leaves resets itself (Xvfb as
// xvfb-run starts it), and turns away a client that connects meanwhile.
xcb_connection_t* g_heldX = nullptr;

// Connects to the X server as Qt's X plug-in does; the connection answers or
// fails at once.
DisplayAnswer xAnswer(const QByteArray& display) {
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return DisplayAnswer::Refused;
    }
    if (g_heldX != nullptr) {
        xcb_disconnect(g_heldX);
    }
    g_heldX = connection;
    return DisplayAnswer::Answers;
}

// A compositor answers in milliseconds; one that accepted the connection but
// says nothing for this long is taken for dead.
constexpr int kWaylandPatienceMs = 5000;

// Connects to the compositor with libwayland, as Qt's Wayland plug-in does,
// and waits for the reply to one request.
DisplayAnswer waylandAnswer(const QByteArray& socket) {
    if (qEnvironmentVariableIsSet("WAYLAND_SOCKET")) {
        // A connection handed down by the compositor: taking it here would
        // take it from Qt.
        return DisplayAnswer::Answers;
    }
    wl_display* display = wl_display_connect(socket.constData());
    if (display == nullptr) {
        return DisplayAnswer::Refused;
    }
    bool answered = false;
    static const wl_callback_listener listener{
        [](void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; }};
    wl_callback* sync = wl_display_sync(display);
    wl_callback_add_listener(sync, &listener, &answered);
    const QDeadlineTimer deadline(kWaylandPatienceMs);
    while (!answered) {
        if (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0) {
                break;
            }
            continue;
        }
        wl_display_flush(display);
        pollfd ready{wl_display_get_fd(display), POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(deadline.remainingTime()));
        if (polled <= 0) {
            wl_display_cancel_read(display);
            if (polled < 0 && errno == EINTR && !deadline.hasExpired()) {
                continue;
            }
            break;
        }
        if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0) {
            break;
        }
    }
    wl_callback_destroy(sync);
    wl_display_disconnect(display);
    return answered ? DisplayAnswer::Answers : DisplayAnswer::Silent;
}

// Looks for the plug-in where Qt's plug-in loader does: the folder
// "platforms" in each library path (QT_PLUGIN_PATH, Qt's own plug-in folder,
// the program's folder), then the further folder itself. The metadata is read
// without loading the plug-in.
bool pluginInstalled(const QString& key, const QString& folder) {
    QStringList folders;
    for (const QString& path : QCoreApplication::libraryPaths()) {
        folders << path + QStringLiteral("/platforms");
    }
    folders << QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() +
                   QStringLiteral("/platforms");
    if (!folder.isEmpty()) {
        folders << folder;
    }
    for (const QString& path : std::as_const(folders)) {
        QDirIterator files(path, QDir::Files);
        while (files.hasNext()) {
            const QJsonObject metaData = QPluginLoader(files.next()).metaData();
            if (metaData.value(QStringLiteral("IID")).toString() !=
                QStringLiteral("org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface.5.3")) {
                continue;
            }
            const QJsonArray keys = metaData.value(QStringLiteral("MetaData"))
                                        .toObject()
                                        .value(QStringLiteral("Keys"))
                                        .toArray();
            for (const QJsonValue& each : keys) {
                if (each.toString().compare(key, Qt::CaseInsensitive) == 0) {
                    return true;
                }
            }
        }
    }
    return false;
}

}  // namespace

std::optional<QString> missingDisplay(const QProcessEnvironment& environment,
                                      const QStringList& arguments, const DisplayProbe& probe) {
    const QtOptions options = qtOptions(arguments);
    const QString pluginFolder = options.pluginFolder.value_or(
        environment.value(QStringLiteral("QT_QPA_PLATFORM_PLUGIN_PATH")));
    const QString fromEnvironment = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    QString head = QStringLiteral("nessuno schermo su cui aprire le finestre");
    QString remedy = QStringLiteral("avviarlo da una sessione grafica o con «xvfb-run zelvano»");
    QString noX = QStringLiteral("DISPLAY non è impostata");
    QString platforms;
    if (options.platform) {
        platforms = *options.platform;
        head += QStringLiteral(" con l'opzione -platform %1").arg(platforms);
        remedy = QStringLiteral("avviarlo da una sessione grafica o senza l'opzione -platform");
    } else if (!fromEnvironment.isEmpty()) {
        platforms = fromEnvironment;
        head += QStringLiteral(" con QT_QPA_PLATFORM=%1").arg(platforms);
        remedy = QStringLiteral("avviarlo da una sessione grafica o senza QT_QPA_PLATFORM");
    } else if (environment.contains(QStringLiteral("WAYLAND_DISPLAY")) ||
               environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QStringLiteral("wayland")) {
        platforms = QStringLiteral("wayland;xcb");
    } else {
        // Qt's default on Linux.
        platforms = QStringLiteral("xcb");
        noX = QStringLiteral("né DISPLAY né WAYLAND_DISPLAY sono impostate");
    }

    QStringList reasons;
    bool noWaylandPlugin = false;
    for (const QString& entry : platforms.split(u';', Qt::SkipEmptyParts)) {
        // "name:option,...": Qt passes the options to the plug-in.
        const QStringList parts = entry.split(u':', Qt::SkipEmptyParts);
        if (parts.isEmpty()) {
            continue;
        }
        const QString key = parts.first().toLower();
        const bool x = key == QStringLiteral("xcb");
        const bool wayland = key.startsWith(QStringLiteral("wayland"));
        if (!probe.installed(key, pluginFolder)) {
            reasons << QStringLiteral("manca il modulo %1 di Qt")
                           .arg(wayland ? QStringLiteral("Wayland")
                                : x     ? QStringLiteral("X11")
                                        : QStringLiteral("«%1»").arg(key));
            noWaylandPlugin = noWaylandPlugin || wayland;
            continue;
        }
        if (!x && !wayland) {
            // "offscreen" and "minimal" need no display; other platforms
            // (eglfs, vnc...) are for Qt to try.
            return std::nullopt;
        }
        // libwayland's socket when WAYLAND_DISPLAY is not set is "wayland-0".
        const QString display =
            x ? options.display.value_or(environment.value(QStringLiteral("DISPLAY")))
              : environment.value(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
        if (x && display.isEmpty()) {
            reasons << noX;
            continue;
        }
        const DisplayAnswer answer =
            x ? probe.x(display.toLocal8Bit()) : probe.wayland(display.toLocal8Bit());
        if (answer == DisplayAnswer::Answers) {
            return std::nullopt;
        }
        reasons << QStringLiteral("lo schermo %1 «%2» non risponde")
                       .arg(x ? QStringLiteral("X") : QStringLiteral("Wayland"), display);
        if (answer == DisplayAnswer::Silent) {
            break;  // Qt would keep it
        }
    }
    if (!reasons.isEmpty()) {
        head += QStringLiteral(" (%1)").arg(listed(reasons));
    }
    if (noWaylandPlugin) {
        remedy = QStringLiteral("installare il pacchetto qt6-wayland, oppure ") + remedy;
    }
    return QStringLiteral("%1: %2.").arg(head, remedy);
}

void releaseCheckedDisplay() {
    if (g_heldX != nullptr) {
        xcb_disconnect(g_heldX);
        g_heldX = nullptr;
    }
}

std::optional<QString> missingDisplay(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return missingDisplay(QProcessEnvironment::systemEnvironment(), arguments,
                          {pluginInstalled, xAnswer, waylandAnswer});
}

}  // namespace toolkit
