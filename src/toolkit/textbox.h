#pragma once

#include <QPlainTextEdit>

namespace toolkit {

// A multi-line text box with a vertical scroll bar and word wrap. The
// program's text reads and replaces it whole through text() and setText().
class TextBox final : public QPlainTextEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TextBox)

public:
    explicit TextBox(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
};

}  // namespace toolkit
