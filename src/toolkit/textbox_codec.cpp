#include "toolkit/textbox_codec.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace toolkit::textcodec {
namespace {

// The program character that a marked document character stands for.
constexpr int kStandsFor = QTextFormat::UserProperty + 0x5A1;
// A control picture that is part of the text itself.
constexpr int kLiteral = QTextFormat::UserProperty + 0x5A2;

constexpr char16_t kPictureBase = 0x2400;  // control pictures of codes 0 to 31
constexpr char16_t kDeletePicture = 0x2421;
constexpr char16_t kNewlinePicture = 0x2424;
constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kParagraphBreak = 0x2029;

constexpr bool isPicture(char16_t ch) {
    return (ch >= kPictureBase && ch < kPictureBase + 0x20) || ch == kDeletePicture;
}

// What stands in the document for a character that needs a marked format, or
// 0 when the character does not need one.
constexpr char16_t markedPicture(char16_t ch) {
    if (ch >= 0x80 && ch <= 0x9F) {
        return static_cast<char16_t>(kPictureBase + (ch - 0x80));
    }
    switch (ch) {
        case 0x2028:  // line separator
        case 0x2029:  // paragraph separator
            return kNewlinePicture;
        case 0xFDD0:  // Qt's frame markers
        case 0xFDD1:
            return kReplacement;
        default:
            return 0;
    }
}

QTextCharFormat markedFormat(char16_t ch) {
    QTextCharFormat format;
    format.setProperty(kStandsFor, static_cast<int>(ch));
    format.setFontOverline(true);
    return format;
}

QTextCharFormat literalFormat() {
    QTextCharFormat format;
    format.setProperty(kLiteral, true);
    return format;
}

// How the characters of one format read back.
struct Reading {
    char16_t marked = 0;  // the character that a marked picture stands for
    char16_t markedShown = 0;
    bool literal = false;
};

Reading readingOf(const QTextCharFormat& format) {
    Reading reading;
    const QVariant standsFor = format.property(kStandsFor);
    if (standsFor.isValid()) {
        reading.marked = static_cast<char16_t>(standsFor.toInt());
        reading.markedShown = markedPicture(reading.marked);
    }
    reading.literal = format.boolProperty(kLiteral);
    return reading;
}

// Writes the program text of document characters that share one format.
QChar* decode(QChar* out, QStringView shown, const Reading& reading) {
    for (const QChar qch : shown) {
        const char16_t ch = qch.unicode();
        if (reading.markedShown != 0 && ch == reading.markedShown) {
            *out++ = QChar(reading.marked);
        } else if (!reading.literal && ch >= kPictureBase && ch < kPictureBase + 0x20) {
            *out++ = QChar(ch - kPictureBase);
        } else if (!reading.literal && ch == kDeletePicture) {
            *out++ = QChar(0x7F);
        } else {
            *out++ = qch;
        }
    }
    return out;
}

// Inserts document text at the cursor, each stretch with its format.
void insertDocumentText(QTextCursor& cursor, const DocumentText& shown) {
    const QTextCharFormat plain;
    const QStringView text(shown.text);
    qsizetype at = 0;
    for (const FormatRun& run : shown.runs) {
        if (run.start > at) {
            cursor.insertText(text.sliced(at, run.start - at).toString(), plain);
        }
        cursor.insertText(text.sliced(run.start, run.length).toString(), run.format);
        at = run.start + run.length;
    }
    if (at < text.size()) {
        cursor.insertText(text.sliced(at).toString(), plain);
    }
}

}  // namespace

DocumentText toDocument(QStringView program) {
    DocumentText out;
    out.text.resize(program.size());
    QChar* shown = out.text.data();
    qsizetype length = 0;
    // Formats by the character they stand for; 0 for a literal picture.
    QHash<char16_t, QTextCharFormat> formats;
    char16_t lastRunKey = 0;
    auto addToRun = [&](char16_t key) {
        if (!out.runs.empty() && lastRunKey == key &&
            out.runs.back().start + out.runs.back().length == length) {
            ++out.runs.back().length;
            return;
        }
        auto found = formats.find(key);
        if (found == formats.end()) {
            found = formats.insert(key, key == 0 ? literalFormat() : markedFormat(key));
        }
        out.runs.push_back({length, 1, *found});
        lastRunKey = key;
    };
    const qsizetype n = program.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ch = program[i].unicode();
        if (ch == u'\r' && i + 1 < n && program[i + 1] == u'\n') {
            shown[length++] = u'\n';
            ++i;
        } else if (ch < 0x20) {
            shown[length++] = QChar(kPictureBase + ch);
        } else if (ch == 0x7F) {
            shown[length++] = QChar(kDeletePicture);
        } else if (const char16_t picture = markedPicture(ch); picture != 0) {
            addToRun(ch);
            shown[length++] = QChar(picture);
        } else if (isPicture(ch)) {
            addToRun(0);
            shown[length++] = QChar(ch);
        } else {
            shown[length++] = QChar(ch);
        }
    }
    out.text.truncate(length);
    return out;
}

QString fromDocument(const QTextDocument& document, int from, int to) {
    const QString raw = document.toRawText();
    from = std::max(from, 0);
    to = std::min<int>(to, static_cast<int>(raw.size()));
    if (from >= to) {
        return QString();
    }
    // Each document character gives one program character, a break two.
    QString out(2 * static_cast<qsizetype>(to - from), Qt::Uninitialized);
    QChar* const begin = out.data();
    QChar* end = begin;
    const QStringView rawView(raw);
    QHash<int, Reading> readings;
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), from);
            const int stop = std::min(fragment.position() + fragment.length(), to);
            if (start >= stop) {
                continue;
            }
            const int formatIndex = fragment.charFormatIndex();
            auto reading = readings.constFind(formatIndex);
            if (reading == readings.constEnd()) {
                reading = readings.insert(formatIndex, readingOf(fragment.charFormat()));
            }
            end = decode(end, rawView.sliced(start, stop - start), *reading);
        }
        const int breakAt = block.position() + block.length() - 1;
        if (breakAt >= from && breakAt < to && raw.at(breakAt) == QChar(kParagraphBreak)) {
            *end++ = u'\r';
            *end++ = u'\n';
        }
    }
    out.truncate(end - begin);
    return out;
}

QString fromDocument(const QTextDocument& document) {
    return fromDocument(document, 0, document.characterCount());
}

void insert(QTextCursor& cursor, QStringView program) {
    const DocumentText shown = toDocument(program);
    if (shown.runs.empty()) {
        // One insertion, so that typing merges into one undo step as usual.
        cursor.insertText(shown.text, QTextCharFormat());
        return;
    }
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertDocumentText(cursor, shown);
    cursor.endEditBlock();
}

void replace(QTextDocument& document, const DocumentText& shown) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);  // also clears the history
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    insertDocumentText(cursor, shown);
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

qsizetype longestUnbrokenRun(QStringView documentText) {
    qsizetype longest = 0;
    qsizetype run = 0;
    for (const QChar ch : documentText) {
        if (ch == u' ' || ch == u'\n' || ch == QChar(kParagraphBreak)) {
            run = 0;
        } else {
            longest = std::max(longest, ++run);
        }
    }
    return longest;
}

}  // namespace toolkit::textcodec
