#include "startup/preferences.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

namespace startup {
namespace {

std::int16_t g_startupFlag = 0;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::int16_t startupFlag() {
    return g_startupFlag;
}

void setStartupFlag(std::int16_t flag) {
    g_startupFlag = flag;
}

ResolutionChoice& resolutionChoice() {
    static ResolutionChoice choice;
    return choice;
}

long long ResolutionChoice::number() const {
    if (m_index) {
        return *m_index;
    }
    const std::optional<long long> value = parseNumber(m_text);
    if (!value) {
        throw DamagedFile(kResolutionFile, describeContent(m_text), Problem::NotANumber);
    }
    return *value;
}

QString ResolutionChoice::describe() const {
    return m_index ? QStringLiteral("«%1»").arg(*m_index) : describeContent(m_text);
}

std::optional<forms::Variant> variantForChoice(long long choice) {
    using forms::Variant;
    switch (choice) {
        case 0:
            return Variant::frm1280;
        case 1:
            return Variant::frm640;
        case 2:
            return Variant::frm800;
        default:
            return std::nullopt;
    }
}

int choiceFor(forms::Variant variant) {
    for (int choice = 0;; ++choice) {
        if (variantForChoice(choice) == variant) {
            return choice;
        }
    }
}

forms::Variant chosenVariant() {
    const std::optional<forms::Variant> variant = variantForChoice(resolutionChoice().number());
    if (!variant) {
        throw DamagedFile(kResolutionFile, resolutionChoice().describe(), Problem::NotAChoice);
    }
    return *variant;
}

int checkBoxValue() {
    const int flag = startupFlag();
    if (flag < 0 || flag > 2) {
        throw DamagedFile(kStartupFile, QStringLiteral("«%1»").arg(flag), Problem::NotACheckValue);
    }
    return flag;
}

QString damagedFileMessage(const QString& name, const QString& shown, Problem problem) {
    QString what;
    switch (problem) {
        case Problem::NotANumber:
            what = QStringLiteral("che non è un numero");
            break;
        case Problem::OutsideInt16:
            what = QStringLiteral("un numero fuori dall'intervallo da -32768 a 32767");
            break;
        case Problem::NotACheckValue:
            what = QStringLiteral("ma i valori ammessi sono 0, 1 e 2");
            break;
        case Problem::NotAChoice:
            what = QStringLiteral("ma le risoluzioni ammesse sono 0, 1 e 2");
            break;
    }
    return QStringLiteral("Il file delle preferenze «%1» contiene %2, %3.\n%4")
        .arg(name, shown, what, repairAdvice(name));
}

std::optional<long long> parseNumber(const QByteArray& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    bool negative = false;
    if (begin < end && (text[begin] == '+' || text[begin] == '-')) {
        negative = text[begin] == '-';
        ++begin;
    }
    if (begin == end) {
        return std::nullopt;
    }
    constexpr long long kLimit = std::numeric_limits<long long>::max();
    long long value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        const int digit = c - '0';
        value = value > (kLimit - digit) / 10 ? kLimit : value * 10 + digit;
    }
    return negative ? -value : value;
}

QByteArray formatNumber(long long value) {
    QByteArray text = value < 0 ? QByteArray("-") : QByteArray(" ");
    // The magnitude of the most negative value does not fit, so format it unsigned.
    const unsigned long long magnitude =
        value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value;
    text += QByteArray::number(magnitude);
    text += " \r\n";
    return text;
}

bool preferenceFileExists(const QString& name) {
    const QFileInfo info(name);
    if (info.isFile()) {
        return true;
    }
    if (!info.exists() && !info.isSymLink()) {
        return false;
    }
    const QString what = info.isDir() ? QStringLiteral("una cartella")
                         : info.isSymLink()
                             ? QStringLiteral("un collegamento che non porta a nessun file")
                             : QStringLiteral("un file speciale");
    throw toolkit::Error(
        QStringLiteral("Al posto del file delle preferenze «%1» c'è %2.\n"
                       "Spostare o cancellare «%1»: al prossimo avvio Zelvano ricrea il file.")
            .arg(name, what));
}

QByteArray readPreferenceFile(const QString& name) {
    QFile file(name);
    if (!QFileInfo(name).isFile() || !file.open(QIODevice::ReadOnly)) {
        throw toolkit::Error(
            QStringLiteral("Zelvano non riesce a leggere il file delle preferenze «%1» (%2).\n%3")
                .arg(name, file.errorString(), repairAdvice(name)));
    }
    if (file.size() > kMaxFileSize) {
        throw toolkit::Error(
            QStringLiteral("Il file delle preferenze «%1» è troppo grande (%2 byte) per contenere "
                           "un numero.\n%3")
                .arg(name)
                .arg(file.size())
                .arg(repairAdvice(name)));
    }
    return file.read(kMaxFileSize + 1);
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

QString repairAdvice(const QString& name) {
    return QStringLiteral(
               "Correggere il file «%1» (deve contenere un solo numero) oppure "
               "cancellarlo: al prossimo avvio Zelvano lo ricrea con il valore "
               "predefinito.")
        .arg(name);
}

}  // namespace startup
