// Fuzzes the text box's mapping between the program's text and its document.
// Each input byte picks one character, mostly from those the mapping treats
// specially (controls, CR, LF, spaces, C1 controls, separators, control
// pictures, surrogate halves), so that long texts with their soft line breaks
// come up. Checked for every input: the document text holds no character that
// the document would break or hide, no line is longer than the mapping allows
// and none starts inside a surrogate pair, the soft breaks are where
// SoftBreaks alone places them, and the text read back from a document built
// from it is the text itself.

#include <QGuiApplication>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "toolkit/textbox_codec.h"

namespace {

namespace codec = toolkit::textcodec;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

constexpr std::array<char16_t, 40> kSpecial = {
    0x0000, 0x0001, 0x0009, 0x000A, 0x000D, 0x000D, 0x000A, 0x001F, 0x007F, 0x0080,
    0x0081, 0x009D, 0x009F, 0x00A0, 0x2027, 0x2028, 0x2029, 0x2400, 0x240D, 0x241F,
    0x2421, 0x2424, 0xFDD0, 0xFDD1, 0xFFFD, 0xD83D, 0xDE00, 0xDC00, 0x00E8, 0x20AC,
    u' ',   u' ',   u' ',   u'a',   u'b',   u'Z',   u'.',   0x0160, 0x017D, 0x2122};

// A byte below 40 picks a special character; a surrogate pair, a letter or a
// space come up often; the rest are ordinary letters, so that long runs
// without spaces come up too.
QString textOf(const std::uint8_t* data, std::size_t size) {
    QString text;
    text.reserve(static_cast<qsizetype>(size) * 2);
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = data[i];
        if (byte < kSpecial.size()) {
            text += QChar(kSpecial[byte]);
        } else if (byte < 48) {
            text += QChar(0xD83D);
            text += QChar(0xDE00);
        } else if (byte < 64) {
            text += QChar(u' ');
        } else {
            text += QChar(u'a' + byte % 26);
        }
    }
    return text;
}

bool hiddenOrBreaking(char16_t ch) {
    return (ch < 0x20 && ch != u'\n') || (ch >= 0x7F && ch <= 0x9F) || ch == 0x2028 ||
           ch == 0xFDD0 || ch == 0xFDD1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = textOf(data, size);
    const codec::DocumentText shown = codec::toDocument(text);

    qsizetype lineStart = 0;
    for (qsizetype i = 0; i <= shown.text.size(); ++i) {
        const bool end = i == shown.text.size();
        const char16_t ch = end ? u'\n' : shown.text.at(i).unicode();
        require(end || !hiddenOrBreaking(ch), "a character the document would break or hide");
        if (ch == u'\n' || ch == codec::kSoftBreak) {
            require(i - lineStart <= codec::kLongestSoftLine, "a line too long");
            require(ch == u'\n' || i == 0 || i + 1 == shown.text.size() ||
                        !(shown.text.at(i - 1).isHighSurrogate() &&
                          shown.text.at(i + 1).isLowSurrogate()),
                    "a soft break inside a surrogate pair");
            lineStart = i + 1;
        }
    }
    qsizetype runEnd = 0;
    for (const codec::FormatRun& run : shown.runs) {
        require(
            run.start >= runEnd && run.length > 0 && run.start + run.length <= shown.text.size(),
            "format runs out of order");
        runEnd = run.start + run.length;
    }

    // Given one character at a time, SoftBreaks puts the soft breaks where
    // the conversion, which copies plain stretches unseen, put them.
    codec::SoftBreaks breaks;
    qsizetype at = 0;  // in the document text
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            require(at < shown.text.size() && shown.text.at(at) == u'\n',
                    "a CR LF pair is a line break");
            ++i;
            breaks.startLine(++at);
            continue;
        }
        ++at;
        const bool softBreak =
            breaks.breakAfter(text.at(i).unicode(), QStringView(shown.text).first(at),
                              QStringView(text).sliced(i + 1));
        require(softBreak == (at < shown.text.size() && shown.text.at(at) == codec::kSoftBreak),
                "soft breaks where SoftBreaks places them");
        if (softBreak) {
            breaks.startLine(++at);
        }
    }
    require(at == shown.text.size(), "one document character for each program character");

    QTextDocument document;
    codec::replace(document, shown);
    require(codec::fromDocument(document) == text, "the text does not read back");
    return 0;
}
