#include "startup/preferences.h"

#include <QFile>

#include "forms/texts.h"
#include "toolkit/messagebox.h"

// Writing the preference files, and what a failed write tells the user.

namespace startup {
namespace {

// Why a write failed, in the words the messages below use.
QString reason(const fileio::WriteError& error) {
    using Kind = fileio::WriteError::Kind;
    switch (error.kind) {
        case Kind::DiskFull:
            return QStringLiteral("il disco è pieno");
        case Kind::PermissionDenied:
            return QStringLiteral("mancano i permessi per scriverlo");
        case Kind::ReadOnlyFileSystem:
            return QStringLiteral("il disco è in sola lettura");
        case Kind::OtherOwner:
            return QStringLiteral("il file appartiene a un altro utente");
        case Kind::Other:
            break;
    }
    return QStringLiteral("errore del sistema «%1»").arg(error.systemText);
}

}  // namespace

std::optional<fileio::WriteError> writePreferenceFile(const QString& name, long long value) {
    return fileio::writeFile(QFile::encodeName(name), formatNumber(value));
}

void createPreferenceFile(const QString& name, long long value) {
    const std::optional<fileio::WriteError> error = writePreferenceFile(name, value);
    if (!error) {
        return;
    }
    const QString advice =
        error->kind == fileio::WriteError::Kind::DiskFull
            ? QStringLiteral("Liberare spazio sul disco, poi avviare di nuovo Zelvano.")
            : QStringLiteral(
                  "Zelvano tiene le sue preferenze nella cartella da cui viene "
                  "avviato: avviarlo da una cartella in cui si possa scrivere.");
    throw toolkit::Error(
        QStringLiteral("Zelvano non riesce a creare il file delle preferenze «%1»: %2.\n%3")
            .arg(name, reason(*error), advice));
}

void storePreference(const QString& name, long long value, QWidget* window) {
    const std::optional<fileio::WriteError> error = writePreferenceFile(name, value);
    if (!error) {
        return;
    }
    const QString state = error->oldContentKept
                              ? QStringLiteral("Il file è rimasto com'era")
                              : QStringLiteral("Il file potrebbe essere danneggiato");
    toolkit::msgBox(QStringLiteral("Zelvano non riesce a salvare il valore %2 nel file delle "
                                   "preferenze «%1»: %3.\n%4; per ora Zelvano usa comunque il "
                                   "valore scelto.")
                        .arg(name)
                        .arg(value)
                        .arg(reason(*error), state),
                    toolkit::MsgStyle::Warning, forms::kErrorTitle, window);
}

}  // namespace startup
