#pragma once

#include <QString>

class QWidget;

#include <optional>
#include <stdexcept>

namespace toolkit {

// Message box styles. The values are the numbers the program's texts use: one
// OK button with no icon, with the critical icon (the error report) or with a
// warning icon.
enum class MsgStyle { Plain = 0, Critical = 16, Warning = 48 };

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
// A box raised by a window has that window as parent: it is centred on it, and
// the focus goes back to it when the box closes.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const QString& text, MsgStyle style, const QString& title,
                      QWidget* parent) = 0;
};

// Installs a replacement (nullptr restores the real one).
void setMessageBoxes(MessageBoxes* boxes);

// A modal message box; without a title it shows the program's title.
void msgBox(const QString& text, MsgStyle style = MsgStyle::Plain,
            const std::optional<QString>& title = std::nullopt, QWidget* parent = nullptr);

}  // namespace toolkit
