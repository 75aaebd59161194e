#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

#include "fileio/safewrite.h"
#include "forms/main/layouts.h"
#include "toolkit/messagebox.h"

namespace startup {

inline const QString kStartupFile = QStringLiteral("frmstart.dat");
inline const QString kResolutionFile = QStringLiteral("rex.dat");

// Preference files hold a few bytes; anything larger is not a number and is
// not read.
inline constexpr qint64 kMaxFileSize = 4096;

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
    // The choice as a number; throws toolkit::Error naming rex.dat when its
    // text is not one.
    long long number() const;
    // A readable form of what it holds, for messages.
    QString describe() const;

private:
    QByteArray m_text;
    std::optional<int> m_index;
};
ResolutionChoice& resolutionChoice();

// The layout that a ResolutionChoice number names (0 frm1280, 1 frm640,
// 2 frm800), and the number of a layout.
std::optional<forms::Variant> variantForChoice(long long choice);
int choiceFor(forms::Variant variant);

// The layout the current ResolutionChoice names; throws DamagedFile naming
// rex.dat when it names none.
forms::Variant chosenVariant();

// The check box value that StartupFlag holds (0 clear, 1 ticked, 2 dimmed);
// throws DamagedFile naming frmstart.dat for any other value.
int checkBoxValue();

// What is wrong with the content of a preference file.
enum class Problem {
    NotANumber,      // not an optionally signed decimal integer
    OutsideInt16,    // StartupFlag beyond -32768..32767
    NotACheckValue,  // StartupFlag, where the chooser needs 0, 1 or 2
    NotAChoice,      // ResolutionChoice other than 0, 1 or 2
};

// The report for a damaged preference file: the file, what it holds (as
// describeContent renders it) and what is wrong, then how to repair it.
QString damagedFileMessage(const QString& name, const QString& shown, Problem problem);

// The error that ends the program for a damaged preference file.
class DamagedFile : public toolkit::Error {
public:
    DamagedFile(const QString& name, const QString& shown, Problem problem)
        : toolkit::Error(damagedFileMessage(name, shown, problem)),
          m_name(name),
          m_problem(problem) {}
    const QString& name() const { return m_name; }
    Problem problem() const { return m_problem; }

private:
    QString m_name;
    Problem m_problem;
};

// The reading rule: blanks, tabs and line ends around an optionally signed
// decimal integer. Values beyond the range of long long saturate.
std::optional<long long> parseNumber(const QByteArray& text);

// The file format: sign position (blank or minus), digits, blank, CR LF.
QByteArray formatNumber(long long value);

// Whether an ordinary file of that name exists. Anything else in its place (a
// folder, a special file, a dangling link) throws toolkit::Error, since
// creating the file there would fail or destroy it.
bool preferenceFileExists(const QString& name);

// Reads the whole file; throws toolkit::Error when it cannot be read or is too large.
QByteArray readPreferenceFile(const QString& name);

// Replaces the whole file with value: either all of it is written or the file
// keeps its old bytes. Nothing when it worked.
std::optional<fileio::WriteError> writePreferenceFile(const QString& name, long long value);

// Start-up creating a missing file: throws toolkit::Error naming the cause
// when it cannot be written.
void createPreferenceFile(const QString& name, long long value);

// The chooser storing a value: when the file cannot be written, a warning box
// over the window that asked for it says so, and the program goes on with the
// value in memory.
void storePreference(const QString& name, long long value, QWidget* window);

// A short readable rendering of a file's content for the error report.
QString describeContent(const QByteArray& content);

// The Italian advice that closes every report about a damaged file.
QString repairAdvice(const QString& name);

}  // namespace startup
