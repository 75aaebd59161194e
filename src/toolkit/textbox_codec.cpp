#include "toolkit/textbox_codec.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace toolkit::textcodec {
namespace {

// The program character that a marked document character stands for.
constexpr int kStandsFor = QTextFormat::UserProperty + 0x5A1;
// A control picture that is part of the text itself.
constexpr int kLiteral = QTextFormat::UserProperty + 0x5A2;
// A paragraph separator that stands for a CR LF pair; any other is a soft
// break. (A separator's format is the character format of the next block.)
constexpr int kLineBreak = QTextFormat::UserProperty + 0x5A3;

constexpr char16_t kPictureBase = 0x2400;  // control pictures of codes 0 to 31
constexpr char16_t kDeletePicture = 0x2421;
constexpr char16_t kNewlinePicture = 0x2424;
constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kParagraphBreak = 0x2029;

// A buffer of up to this many characters is kept for the next text however
// short the text in between: fresh memory for a long text costs more than
// its conversion.
constexpr qsizetype kKeptBuffer = qsizetype{4} << 20;

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

QTextCharFormat lineBreakFormat() {
    QTextCharFormat format;
    format.setProperty(kLineBreak, true);
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

// Whether document text takes the plain format throughout and has no CR LF
// pair, so that it goes in with one insertion, its soft breaks and all.
bool isPlain(const DocumentText& shown) {
    return shown.runs.empty() && !shown.hasLineBreak;
}

// Inserts document text at the cursor, each stretch with its format; a soft
// break goes in as a paragraph break of the plain or marked format around it.
void insertDocumentText(QTextCursor& cursor, const DocumentText& shown) {
    const QTextCharFormat plain;
    if (isPlain(shown)) {
        cursor.insertText(shown.text, plain);
        return;
    }
    const QTextCharFormat lineBreak = lineBreakFormat();
    auto insertPlain = [&](QStringView stretch) {
        for (;;) {
            const qsizetype at = stretch.indexOf(u'\n');
            const QStringView line = at < 0 ? stretch : stretch.first(at);
            if (!line.isEmpty()) {
                cursor.insertText(line.toString(), plain);
            }
            if (at < 0) {
                return;
            }
            cursor.insertBlock(QTextBlockFormat(), lineBreak);
            stretch = stretch.sliced(at + 1);
        }
    };
    const QStringView text(shown.text);
    qsizetype at = 0;
    for (const FormatRun& run : shown.runs) {
        insertPlain(text.sliced(at, run.start - at));
        cursor.insertText(text.sliced(run.start, run.length).toString(), run.format);
        at = run.start + run.length;
    }
    insertPlain(text.sliced(at));
}

// Builds the runs of marked and literal characters, which are rare.
class RunBuilder {
public:
    // The character at `at` stands for `key`, or is a literal picture (0).
    void add(std::vector<FormatRun>& runs, char16_t key, qsizetype at) {
        if (!runs.empty() && m_lastKey == key && runs.back().start + runs.back().length == at) {
            ++runs.back().length;
            return;
        }
        auto found = m_formats.find(key);
        if (found == m_formats.end()) {
            found = m_formats.insert(key, key == 0 ? literalFormat() : markedFormat(key));
        }
        runs.push_back({at, 1, *found});
        m_lastKey = key;
    }

private:
    QHash<char16_t, QTextCharFormat> m_formats;
    char16_t m_lastKey = 0;
};

// Whether a character takes a closer look than a copy: a control, DEL, a C1
// control, or anything from U+2028 up. Every other one shows as itself.
constexpr bool needsCloserLook(char16_t ch) {
    return (ch < 0x20) | (static_cast<char16_t>(ch - 0x7F) < 0x21) | (ch >= 0x2028);
}

// Characters looked at together while they all show as themselves.
constexpr qsizetype kChunk = 32;

// Whether none of kChunk characters needs a closer look. One loop without a
// branch, which the compiler turns into vector instructions.
bool chunkShowsAsItself(const char16_t* in) {
    std::uint16_t closer = 0;  // 16 bits wide, as the characters are
    for (qsizetype k = 0; k < kChunk; ++k) {
        closer |= static_cast<std::uint16_t>(needsCloserLook(in[k]));
    }
    return closer == 0;
}

// Copies the characters from the start of `in` that show as themselves, at
// most `most` of them, to `out`; returns how many. The fast path for the
// plain stretches that make up most texts.
qsizetype copyShownAsThemselves(const char16_t* in, qsizetype most, char16_t* out) {
    qsizetype k = 0;
    while (k + kChunk <= most && chunkShowsAsItself(in + k)) {
        std::memcpy(out + k, in + k, kChunk * sizeof(char16_t));
        k += kChunk;
    }
    while (k < most && !needsCloserLook(in[k])) {
        out[k] = in[k];
        ++k;
    }
    return k;
}

// The document character that shows the program character `ch`, which is
// not part of a CR LF pair, at document position `at`; adds the format run
// that it needs, if any.
char16_t shownAs(char16_t ch, qsizetype at, RunBuilder& builder, std::vector<FormatRun>& runs) {
    if (ch < 0x20) {
        return static_cast<char16_t>(kPictureBase + ch);
    }
    if (ch == 0x7F) {
        return kDeletePicture;
    }
    if (const char16_t picture = markedPicture(ch); picture != 0) {
        builder.add(runs, ch, at);
        return picture;
    }
    if (isPicture(ch)) {
        builder.add(runs, 0, at);
    }
    return ch;
}

// The document text as it is written. Each program character gives at most
// one document character, so there is always room for the rest of the text;
// more is made for each soft break when needed.
class DocumentBuffer {
public:
    DocumentBuffer(QString& text, qsizetype programLength) : m_text(text) {
        // Room for the soft breaks of a usual text.
        const qsizetype size = programLength + programLength / 64 + 16;
        if (m_text.capacity() > std::max(4 * size, kKeptBuffer)) {
            m_text = QString();  // let a much larger buffer go
        }
        m_text.resize(size);
        m_data = reinterpret_cast<char16_t*>(m_text.data());
    }

    char16_t* end() { return m_data + m_length; }
    QStringView written() const { return {m_data, m_length}; }
    qsizetype length() const { return m_length; }
    void grew(qsizetype count) { m_length += count; }
    void put(char16_t ch) { m_data[m_length++] = ch; }

    // Adds a character that stands for no program character, with `left`
    // program characters still to come.
    void putExtra(char16_t ch, qsizetype left) {
        if (m_text.size() < m_length + 1 + left) {
            m_text.resize(std::max(2 * m_text.size(), m_length + 1 + left));
            m_data = reinterpret_cast<char16_t*>(m_text.data());
        }
        put(ch);
    }

    void finish() { m_text.truncate(m_length); }

private:
    QString& m_text;
    char16_t* m_data = nullptr;
    qsizetype m_length = 0;
};

}  // namespace

void SoftBreaks::startLine(qsizetype at) {
    m_lineStart = m_runStart = m_scannedTo = at;
    m_limit = at + kLongestRun - 1;
}

bool SoftBreaks::breakNearLimit(char16_t ch, QStringView shown, QStringView rest) {
    // None at the end of the text, nor just before a CR LF pair, which ends
    // the line anyway.
    const auto mayBreak = [rest] {
        return !rest.isEmpty() && !(rest.size() > 1 && rest[0] == u'\r' && rest[1] == u'\n');
    };
    if ((ch == u'\r' || ch == u'\n') && mayBreak()) {
        return true;  // a lone CR or LF ends its line
    }
    const qsizetype length = shown.size();
    if (length < m_limit) {
        return false;
    }
    // Stretches went by unseen: find the line's last space among the
    // characters not looked at before.
    const qsizetype space = shown.sliced(m_scannedTo).lastIndexOf(u' ');
    if (space >= 0) {
        m_runStart = m_scannedTo + space + 1;
    }
    m_scannedTo = length;
    m_limit = std::min(m_lineStart + kSoftLineLength, m_runStart + kLongestRun - 1);
    if (length < m_limit || !mayBreak() || rest.front().isLowSurrogate()) {
        return false;
    }
    // A surrogate pair that would not fit goes to the next line whole.
    const qsizetype room = kLongestRun - (length - m_runStart);
    const bool pairNext = rest.size() > 1 && rest[0].isHighSurrogate() && rest[1].isLowSurrogate();
    return ch == u' ' || room <= 0 || (pairNext && room < 2);
}

DocumentText toDocument(QStringView program) {
    DocumentText out;
    toDocument(program, out);
    return out;
}

void toDocument(QStringView program, DocumentText& out) {
    const qsizetype n = program.size();
    const char16_t* const in = program.utf16();
    out.runs.clear();
    out.hasLineBreak = false;
    DocumentBuffer shown(out.text, n);
    RunBuilder builder;
    SoftBreaks breaks;
    qsizetype i = 0;
    while (i < n) {
        const qsizetype most = std::min(n - i, breaks.quietCount(shown.length()));
        const qsizetype copied = copyShownAsThemselves(in + i, most, shown.end());
        i += copied;
        shown.grew(copied);
        if (i == n) {
            break;
        }
        const char16_t ch = in[i++];
        if (ch == u'\r' && i < n && in[i] == u'\n') {
            ++i;
            shown.put(u'\n');
            out.hasLineBreak = true;
            breaks.startLine(shown.length());
            continue;
        }
        const char16_t put = shownAs(ch, shown.length(), builder, out.runs);
        shown.put(put);
        if (breaks.breakAfter(ch, shown.written(), program.sliced(i))) {
            shown.putExtra(kSoftBreak, n - i);
            breaks.startLine(shown.length());
        }
    }
    shown.finish();
}

bool followsSoftBreak(const QTextBlock& block) {
    return block.isValid() && block.position() > 0 && !block.charFormat().boolProperty(kLineBreak);
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
    QHash<int, bool> lineBreaks;  // by the format of a paragraph separator
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
            // The separator's format is that of the next block.
            const QTextBlock next = block.next();
            const int formatIndex = next.charFormatIndex();
            auto lineBreak = lineBreaks.constFind(formatIndex);
            if (lineBreak == lineBreaks.constEnd()) {
                lineBreak =
                    lineBreaks.insert(formatIndex, next.charFormat().boolProperty(kLineBreak));
            }
            if (*lineBreak) {
                *end++ = u'\r';
                *end++ = u'\n';
            }
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
    if (isPlain(shown)) {
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
    const int first = document.characterCount() > 1 ? 1 : 0;
    cursor.setPosition(first);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    insertDocumentText(cursor, shown);
    if (first != 0) {
        cursor.setPosition(0);
        cursor.setPosition(first, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

bool hasLongerRun(QStringView documentText, qsizetype length) {
    auto breaksRun = [](QChar ch) {
        return ch == u' ' || ch == u'\n' || ch == QChar(kParagraphBreak);
    };
    // Each step looks back from the end of the next length + 1 characters for
    // the last break among them, and goes on after it.
    qsizetype start = 0;
    while (documentText.size() - start > length) {
        qsizetype at = start + length;
        while (at >= start && !breaksRun(documentText[at])) {
            --at;
        }
        if (at < start) {
            return true;
        }
        start = at + 1;
    }
    return false;
}

}  // namespace toolkit::textcodec
