#pragma once

#include <QPlainTextEdit>

namespace toolkit {

// A multi-line text box with a vertical scroll bar and word wrap that keeps
// every character of the program's text: text() gives back exactly what
// setText() got, lone CR and LF, code 0, every control and the no-break space
// included. A CR LF pair shows as a line break and every other control as a
// visible mark (textbox_codec.h). Enter types CR LF, Ctrl+Tab a tab; Tab
// moves the focus. Copy, cut, paste and drag and drop keep the exact codes
// between boxes, also of another running copy of the program.
class TextBox final : public QPlainTextEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TextBox)

public:
    // The clipboard format that carries the exact text (UTF-16, little-endian).
    static const QString kMimeType;

    explicit TextBox(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);

    // The program text of a stretch of document positions, as copy takes it.
    QString textBetween(int from, int to) const;

    // Inserts program text at the cursor in place of the selection, as one
    // undo step.
    void insertText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Wraps anywhere while the text has a run too long to wrap at word
    // boundaries; looks at the blocks from `from` to `to` that an edit changed.
    void updateWrapMode(int from, int to);

    bool m_replacing = false;
};

}  // namespace toolkit
