#include "forms/prefmessages.h"

namespace forms {
namespace {

using Problem = prefs::FileError::Problem;

// The advice that closes every report about a damaged or unreadable file.
QString repairAdvice(const QString& file) {
    return QStringLiteral(
               "Correggere il file «%1» (deve contenere un solo numero) oppure "
               "cancellarlo: al prossimo avvio Zelvano lo ricrea con il valore "
               "predefinito.")
        .arg(file);
}

// Something other than a file stands where the file should be.
QString notAFileMessage(const QString& file, Problem problem) {
    const QString what = problem == Problem::Folder ? QStringLiteral("una cartella")
                         : problem == Problem::DanglingLink
                             ? QStringLiteral("un collegamento che non porta a nessun file")
                             : QStringLiteral("un file speciale");
    return QStringLiteral(
               "Al posto del file delle preferenze «%1» c'è %2.\n"
               "Spostare o cancellare «%1»: al prossimo avvio Zelvano ricrea il file.")
        .arg(file, what);
}

QString unreadableMessage(const QString& file, const QString& reason) {
    return QStringLiteral("Zelvano non riesce a leggere il file delle preferenze «%1» (%2).\n%3")
        .arg(file, reason, repairAdvice(file));
}

QString tooLargeMessage(const QString& file, qint64 size) {
    return QStringLiteral(
               "Il file delle preferenze «%1» è troppo grande (%2 byte) per contenere "
               "un numero.\n%3")
        .arg(file)
        .arg(size)
        .arg(repairAdvice(file));
}

// Why a write failed, in the words the messages use.
QString writeReason(const fileio::WriteError& error) {
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

QString preferenceReport(const prefs::FileError& error) {
    switch (error.problem()) {
        case Problem::NotANumber:
        case Problem::OutsideInt16:
        case Problem::NotACheckValue:
        case Problem::NotAChoice:
            break;
        case Problem::Folder:
        case Problem::SpecialFile:
        case Problem::DanglingLink:
            return notAFileMessage(error.file(), error.problem());
        case Problem::Unreadable:
            return unreadableMessage(error.file(), error.reason());
        case Problem::TooLarge:
            return tooLargeMessage(error.file(), error.size());
    }
    return damagedFileMessage(error.file(), error.content(), error.problem());
}

QString damagedFileMessage(const QString& file, const QByteArray& content, Problem problem) {
    QString what;
    switch (problem) {
        case Problem::OutsideInt16:
            what = QStringLiteral("un numero fuori dall'intervallo da -32768 a 32767");
            break;
        case Problem::NotACheckValue:
            what = QStringLiteral("ma i valori ammessi sono 0, 1 e 2");
            break;
        case Problem::NotAChoice:
            what = QStringLiteral("ma le risoluzioni ammesse sono 0, 1 e 2");
            break;
        default:
            what = QStringLiteral("che non è un numero");
            break;
    }
    return QStringLiteral("Il file delle preferenze «%1» contiene %2, %3.\n%4")
        .arg(file, describeContent(content), what, repairAdvice(file));
}

QString cannotCreateMessage(const prefs::WriteFailure& failure) {
    const QString advice =
        failure.error.kind == fileio::WriteError::Kind::DiskFull
            ? QStringLiteral("Liberare spazio sul disco, poi avviare di nuovo Zelvano.")
            : QStringLiteral(
                  "Zelvano tiene le sue preferenze nella cartella da cui viene "
                  "avviato: avviarlo da una cartella in cui si possa scrivere.");
    return QStringLiteral("Zelvano non riesce a creare il file delle preferenze «%1»: %2.\n%3")
        .arg(failure.file, writeReason(failure.error), advice);
}

QString cannotStoreMessage(const prefs::WriteFailure& failure) {
    const QString state = failure.error.oldContentKept
                              ? QStringLiteral("Il file è rimasto com'era")
                              : QStringLiteral("Il file potrebbe essere danneggiato");
    return QStringLiteral(
               "Zelvano non riesce a salvare il valore %2 nel file delle preferenze «%1»: "
               "%3.\n%4; per ora Zelvano usa comunque il valore scelto.")
        .arg(failure.file)
        .arg(failure.value)
        .arg(writeReason(failure.error), state);
}

QString describeContent(const QByteArray& content) {
    if (content.isEmpty()) {
        return QStringLiteral("nulla (il file è vuoto)");
    }
    constexpr qsizetype kShown = 40;
    QString shown;
    for (qsizetype i = 0; i < content.size() && i < kShown; ++i) {
        const auto byte = static_cast<unsigned char>(content[i]);
        if (byte == '\r') {
            shown += QStringLiteral("\\r");
        } else if (byte == '\n') {
            shown += QStringLiteral("\\n");
        } else if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            shown += QChar(byte);
        } else {
            shown += QStringLiteral("\\x%1")
                         .arg(byte, 2, 16, QLatin1Char('0'))
                         .toUpper()
                         .replace(QStringLiteral("\\X"), QStringLiteral("\\x"));
        }
    }
    if (content.size() > kShown) {
        shown += QStringLiteral("…");
    }
    return QStringLiteral("«%1»").arg(shown);
}

}  // namespace forms
