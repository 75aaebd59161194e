#pragma once

#include <QPlainTextEdit>

#include "toolkit/textbox_codec.h"

namespace toolkit {

// A multi-line text box with a vertical scroll bar and word wrap that keeps
// every character of the program's text: text() gives back exactly what
// setText() got, lone CR and LF, code 0, every control and the no-break space
// included. A CR LF pair shows as a line break and every other control as a
// visible mark (textbox_codec.h); a lone CR or LF also ends its line, and a
// long stretch without breaks is cut into lines of about two thousand
// characters (one thousand where it has no spaces), with breaks that stand
// for no character, so that long texts show as fast as short ones. Enter
// types CR LF, Ctrl+Tab a tab; Tab moves the focus. Copy, cut, paste and drag
// and drop keep the exact codes between boxes, also of another running copy
// of the program. Change the text through setText() and insertText() only:
// QPlainTextEdit's own setPlainText(), insertPlainText() and
// appendPlainText() know nothing of the mapping, and their line breaks would
// read back as no character.
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

    // Backspace, Delete and their word and line forms next to a soft break:
    // they reach over it to the character beyond and join the two lines, as
    // deleting only the break would change nothing in the text. False when
    // the key is none of these or no soft break is in its way.
    bool deleteOverSoftBreak(const QKeyEvent* event);

    bool m_replacing = false;
    // The document form of the last text set, kept so that its buffer serves
    // the next one too.
    textcodec::DocumentText m_shown;
    // The text as last read or set; null once the document changes.
    mutable QString m_text;
};

}  // namespace toolkit
