#include "toolkit/launcher.h"

#include <QFileInfo>
#include <QProcess>

#include "toolkit/messagebox.h"

namespace toolkit {
namespace {

SystemLauncher g_systemLauncher;
Launcher* g_launcher = nullptr;

}  // namespace

void SystemLauncher::start(const QString& path) {
    // The path is the program itself: no shell reads it, so blanks, quotes,
    // ";" or "$(...)" are only characters of a file name, and a leading "-"
    // is no option. The new process is not waited for.
    if (path.isEmpty() || !QProcess::startDetached(path, {})) {
        throw Error(QStringLiteral("Impossibile avviare il programma «%1».").arg(path));
    }
}

QString SystemLauncher::findFile(const QString& path) {
    if (path.isEmpty()) {
        return {};
    }
    const QFileInfo info(path);
    if (!info.isFile() || info.isHidden()) {
        return {};
    }
    return info.fileName();
}

Launcher& launcher() {
    return g_launcher != nullptr ? *g_launcher : g_systemLauncher;
}

void setLauncher(Launcher* launcher) {
    g_launcher = launcher;
}

}  // namespace toolkit
