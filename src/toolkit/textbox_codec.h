#pragma once

// The two-way mapping between the program's text and what a text box's
// document holds. The document cannot hold every character as itself: it turns
// CR, LF and a few other characters into paragraph breaks, and shows nothing
// for most control characters. So:
//
// - a CR LF pair is one paragraph break;
// - every other C0 control (CR and LF alone included) and DEL shows as its
//   Unicode control picture (U+2400 + code, U+2421 for DEL);
// - a C1 control (U+0080 to U+009F) shows as the control picture of the C0
//   code 0x80 lower, in a marked character format that records its own code;
//   the few other characters that the document would break or hide (U+2028,
//   U+2029, U+FDD0, U+FDD1) are marked the same way;
// - a control picture that is itself part of the text carries a "literal"
//   format, so that it reads back as itself;
// - every other character is itself.
//
// Reading decodes each document fragment by its format, so a marked or
// literal character keeps its meaning through typing, deleting, pasting and
// undo/redo, which keep each character's format.

#include <QString>
#include <QStringView>
#include <QTextCharFormat>

#include <vector>

class QTextCursor;
class QTextDocument;

namespace toolkit::textcodec {

// A stretch of the document text that needs a character format of its own.
struct FormatRun {
    qsizetype start = 0;
    qsizetype length = 0;
    QTextCharFormat format;
};

struct DocumentText {
    // One character per program character; '\n' for a CR LF pair.
    QString text;
    // Ordered, not overlapping; everything else takes the plain format.
    std::vector<FormatRun> runs;
};

DocumentText toDocument(QStringView program);

// The program text of the document positions [from, to).
QString fromDocument(const QTextDocument& document, int from, int to);
QString fromDocument(const QTextDocument& document);

// Inserts program text at the cursor, replacing its selection.
void insert(QTextCursor& cursor, QStringView program);

// Replaces the whole document; the undo history is cleared.
void replace(QTextDocument& document, const DocumentText& shown);

// The longest stretch of document text without a space or a paragraph break.
qsizetype longestUnbrokenRun(QStringView documentText);

}  // namespace toolkit::textcodec
