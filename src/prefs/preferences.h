#pragma once

// The two preference files and the values they hold: StartupFlag in
// frmstart.dat and ResolutionChoice in rex.dat, each one number on one line.
// Qt Core and file writing only: what goes wrong comes back as a typed error
// (FileError, WriteFailure), and the windows say it in their own words.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>

#include "fileio/safewrite.h"

namespace prefs {

inline const QString kStartupFile = QStringLiteral("frmstart.dat");
inline const QString kResolutionFile = QStringLiteral("rex.dat");

// Preference files hold a few bytes; anything larger is not a number and is
// not read.
inline constexpr qint64 kMaxFileSize = 4096;

// A preference file that cannot be used: which file, and what is wrong.
class FileError : public std::runtime_error {
public:
    enum class Problem {
        // What the file holds (content()):
        NotANumber,      // not an optionally signed decimal integer
        OutsideInt16,    // StartupFlag beyond -32768..32767
        NotACheckValue,  // StartupFlag, where the chooser needs 0, 1 or 2
        NotAChoice,      // ResolutionChoice other than 0, 1 or 2
        // What stands where the file should be:
        Folder,
        SpecialFile,
        DanglingLink,
        // Reading it:
        Unreadable,  // reason() says why
        TooLarge,    // size() bytes
    };

    FileError(const QString& file, Problem problem, const QByteArray& content = {});
    static FileError unreadable(const QString& file, const QString& reason);
    static FileError tooLarge(const QString& file, qint64 size);

    const QString& file() const { return m_file; }
    Problem problem() const { return m_problem; }
    const QByteArray& content() const { return m_content; }
    const QString& reason() const { return m_reason; }
    qint64 size() const { return m_size; }

private:
    QString m_file;
    Problem m_problem;
    QByteArray m_content;
    QString m_reason;
    qint64 m_size = 0;
};

// A value that could not be written into its file.
struct WriteFailure {
    QString file;
    long long value = 0;
    fileio::WriteError error;
};

// The process-wide StartupFlag: 1 opens the main window directly.
std::int16_t startupFlag();
void setStartupFlag(std::int16_t flag);

// The process-wide ResolutionChoice: the text of rex.dat as read, until the
// chooser replaces it with an option index.
class ResolutionChoice {
public:
    void setText(const QByteArray& text) {
        m_text = text;
        m_index.reset();
    }
    void setIndex(int index) { m_index = index; }
    // The choice as a number, or none when the text is not one.
    std::optional<long long> number() const;
    // What it holds: the text as read, or the index as text.
    QByteArray content() const;

private:
    QByteArray m_text;
    std::optional<int> m_index;
};
ResolutionChoice& resolutionChoice();

// Reads frmstart.dat's content as StartupFlag; throws FileError when it is
// not a number within -32768..32767.
std::int16_t parseStartupFlag(const QByteArray& content);

// The reading rule: blanks, tabs and line ends around an optionally signed
// decimal integer. Values beyond the range of long long saturate.
std::optional<long long> parseNumber(const QByteArray& text);

// The file format: sign position (blank or minus), digits, blank, CR LF.
QByteArray formatNumber(long long value);

// Whether an ordinary file of that name exists. Anything else in its place (a
// folder, a special file, a dangling link) throws FileError, since creating
// the file there would fail or destroy it.
bool preferenceFileExists(const QString& name);

// Reads the whole file; throws FileError when it cannot be read or is too large.
QByteArray readPreferenceFile(const QString& name);

// Replaces the whole file with value: either all of it is written or the file
// keeps its old bytes. Nothing when it worked.
std::optional<WriteFailure> writePreferenceFile(const QString& name, long long value);

}  // namespace prefs
