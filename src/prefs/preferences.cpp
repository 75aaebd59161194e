#include "prefs/preferences.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

namespace prefs {
namespace {

std::int16_t g_startupFlag = 0;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A short technical description for what(); the windows word the error themselves.
std::string describe(const QString& file, FileError::Problem problem) {
    static constexpr const char* kWhat[] = {
        "not a number",   "outside -32768..32767", "not 0, 1 or 2",  "not 0, 1 or 2", "a folder",
        "a special file", "a dangling link",       "cannot be read", "too large",
    };
    return file.toStdString() + ": " + kWhat[static_cast<int>(problem)];
}

}  // namespace

FileError::FileError(const QString& file, Problem problem, const QByteArray& content)
    : std::runtime_error(describe(file, problem)),
      m_file(file),
      m_problem(problem),
      m_content(content) {}

FileError FileError::unreadable(const QString& file, const QString& reason) {
    FileError error(file, Problem::Unreadable);
    error.m_reason = reason;
    return error;
}

FileError FileError::tooLarge(const QString& file, qint64 size) {
    FileError error(file, Problem::TooLarge);
    error.m_size = size;
    return error;
}

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

std::optional<long long> ResolutionChoice::number() const {
    return m_index ? std::optional<long long>(*m_index) : parseNumber(m_text);
}

QByteArray ResolutionChoice::content() const {
    return m_index ? QByteArray::number(*m_index) : m_text;
}

std::int16_t parseStartupFlag(const QByteArray& content) {
    const std::optional<long long> flag = parseNumber(content);
    if (!flag) {
        throw FileError(kStartupFile, FileError::Problem::NotANumber, content);
    }
    if (*flag < std::numeric_limits<std::int16_t>::min() ||
        *flag > std::numeric_limits<std::int16_t>::max()) {
        throw FileError(kStartupFile, FileError::Problem::OutsideInt16, content);
    }
    return static_cast<std::int16_t>(*flag);
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
    using Problem = FileError::Problem;
    throw FileError(name, info.isDir()       ? Problem::Folder
                          : info.isSymLink() ? Problem::DanglingLink
                                             : Problem::SpecialFile);
}

QByteArray readPreferenceFile(const QString& name) {
    QFile file(name);
    if (!QFileInfo(name).isFile() || !file.open(QIODevice::ReadOnly)) {
        throw FileError::unreadable(name, file.errorString());
    }
    if (file.size() > kMaxFileSize) {
        throw FileError::tooLarge(name, file.size());
    }
    return file.read(kMaxFileSize + 1);
}

std::optional<WriteFailure> writePreferenceFile(const QString& name, long long value) {
    if (std::optional<fileio::WriteError> error =
            fileio::writeFile(QFile::encodeName(name), formatNumber(value))) {
        return WriteFailure{name, value, std::move(*error)};
    }
    return std::nullopt;
}

}  // namespace prefs
