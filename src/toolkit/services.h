#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <stdexcept>

namespace toolkit {

// Message box styles: one OK button with no icon, or with a warning icon; the
// error report uses the critical icon.
inline constexpr int kStylePlain = 0;
inline constexpr int kStyleCritical = 16;
inline constexpr int kStyleWarning = 48;

inline const QString kProgramTitle = QStringLiteral("Zelvano");

// An error the program does not trap. Its text is for the user, in Italian.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Modal message boxes. Tests replace the real one with a double that records.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const QString& text, int style, const QString& title) = 0;
};

// How the program ends. Tests replace it so that they never end the test process.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    virtual void end(int status) = 0;
};

// Installs a replacement (nullptr restores the real one).
void setMessageBoxes(MessageBoxes* boxes);
void setProgramEnd(ProgramEnd* end);

// A modal message box; without a title it shows the program's title.
void msgBox(const QString& text, int style = kStylePlain,
            const std::optional<QString>& title = std::nullopt);

// Closes every window at once, without any closing handling, and ends the program.
void End(int status = 0);

// Whether the program has been asked to end, and with which status.
bool endRequested();
int endStatus();

// Shows the error report for an error that no handler trapped, prints it on
// standard error and ends the program with status 1.
void reportError(const QString& message);

// Runs body and turns any escaping exception into the error report, so that no
// exception crosses Qt's event loop.
void runGuarded(const std::function<void()>& body);

// Wraps a handler for connect(): the returned callable runs it guarded.
template <class F>
auto guarded(F handler) {
    return [handler = std::move(handler)]() { runGuarded(handler); };
}

}  // namespace toolkit
