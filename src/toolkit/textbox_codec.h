#pragma once

// The two-way mapping between the program's text and what a text box's
// document holds. The document cannot hold every character as itself: it turns
// CR, LF and a few other characters into paragraph breaks, and shows nothing
// for most control characters. So:
//
// - a CR LF pair is one paragraph break, whose separator character carries
//   a marked "line break" format;
// - every other C0 control (CR and LF alone included) and DEL shows as its
//   Unicode control picture (U+2400 + code, U+2421 for DEL);
// - a paragraph break without that format is a "soft" one and stands for no
//   character at all. One ends the line after each lone CR or LF picture,
//   and others cut a long stretch without breaks into lines of at most
//   kLongestSoftLine characters: the box then lays out only the
//   paragraphs in view, where one long paragraph would be laid out in full;
// - a C1 control (U+0080 to U+009F) shows as the control picture of the C0
//   code 0x80 lower, in a marked character format that records its own code;
//   the few other characters that the document would break or hide (U+2028,
//   U+2029, U+FDD0, U+FDD1) are marked the same way;
// - a control picture that is itself part of the text carries a "literal"
//   format, so that it reads back as itself;
// - every other character is itself.
//
// Reading decodes each document fragment by its format, so a marked or
// literal character, and a paragraph break, keep their meaning through
// typing, deleting, pasting and undo/redo, which keep each character's format.

#include <QString>
#include <QStringView>
#include <QTextCharFormat>

#include <vector>

class QTextBlock;
class QTextCursor;
class QTextDocument;

namespace toolkit::textcodec {

// A stretch of the document text that needs a character format of its own.
struct FormatRun {
    qsizetype start = 0;
    qsizetype length = 0;
    QTextCharFormat format;
};

// A soft break in document text made from program text.
inline constexpr char16_t kSoftBreak = 0x2029;

// Where soft breaks go: after every lone CR or LF that more text follows,
// other than a CR LF pair; after the first space once a line holds
// kSoftLineLength characters; and wherever kLongestRun characters have come
// without a space (never inside a surrogate pair). A run without spaces
// takes longest to lay out, so it gets the shorter lines; every extra line
// also costs the document time when the text is set.
inline constexpr qsizetype kSoftLineLength = 2048;
inline constexpr qsizetype kLongestRun = 1024;
inline constexpr qsizetype kLongestSoftLine = kSoftLineLength + kLongestRun;

// Places the soft breaks in document text as it is written, one line at a
// time. Characters are given to it one by one; a stretch that nothing breaks
// may go by unseen (see quietCount), and it finds the spaces in such a
// stretch itself when it needs them.
class SoftBreaks {
public:
    // A line starts at document position `at`: at the start, after a CR LF
    // pair's line break and after each soft break.
    void startLine(qsizetype at);

    // How many characters other than CR and LF may follow the document text
    // of `length` characters without a soft break among them, so that
    // breakAfter need not see them.
    qsizetype quietCount(qsizetype length) const { return m_limit - 1 - length; }

    // Whether a soft break follows the program character `ch` (not part of a
    // CR LF pair), just written as the last character of the document text
    // `shown`, with the program text `rest` still to come.
    bool breakAfter(char16_t ch, QStringView shown, QStringView rest) {
        // Most characters come well short of the limit: they are done here.
        if (shown.size() < m_limit && ch != u'\r' && ch != u'\n') {
            return false;
        }
        return breakNearLimit(ch, shown, rest);
    }

private:
    bool breakNearLimit(char16_t ch, QStringView shown, QStringView rest);

    qsizetype m_lineStart = 0;
    qsizetype m_runStart = 0;   // after the line's last space known so far
    qsizetype m_scannedTo = 0;  // where the look for that space has reached
    // The document length from which a soft break may come, one short of the
    // longest run: so a surrogate pair that would not fit is seen coming.
    qsizetype m_limit = kLongestRun - 1;
};

struct DocumentText {
    // One character per program character, '\n' for a CR LF pair, and
    // kSoftBreak where the document breaks the line for no character.
    QString text;
    // Ordered, not overlapping; everything else takes the plain format.
    std::vector<FormatRun> runs;
    // Whether `text` holds a '\n'.
    bool hasLineBreak = false;
};

DocumentText toDocument(QStringView program);
// The same into `out`, whose buffer is used again when it is large enough.
void toDocument(QStringView program, DocumentText& out);

// Whether the paragraph break just before `block` is a soft one; false for
// the first block.
bool followsSoftBreak(const QTextBlock& block);

// The program text of the document positions [from, to).
QString fromDocument(const QTextDocument& document, int from, int to);
QString fromDocument(const QTextDocument& document);

// Inserts program text at the cursor, replacing its selection.
void insert(QTextCursor& cursor, QStringView program);

// Replaces the whole document, as one change; the undo history is cleared.
// The text goes in after the first character, which goes last: so a cursor
// at the start stays there instead of being pushed to the end of the text.
void replace(QTextDocument& document, const DocumentText& shown);

// Whether document text has a stretch of more than `length` characters
// without a space or a paragraph break (soft breaks count as breaks).
bool hasLongerRun(QStringView documentText, qsizetype length);

}  // namespace toolkit::textcodec
