#include "toolkit/characters.h"

#include <QApplication>
#include <QFontMetrics>

#include <algorithm>
#include <array>

#include "codepage/codepage.h"

namespace toolkit {
namespace {

bool hiddenCategory(char32_t ch) {
    switch (QChar::category(ch)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Other_PrivateUse:
        case QChar::Other_NotAssigned:
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
        case QChar::Separator_Space:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return false;
    }
}

// Letters and symbols that are drawn as blank space all the same.
bool blankGlyph(char32_t ch) {
    static constexpr std::array<char32_t, 5> kBlanks = {
        0x115F, 0x1160, 0x2800, 0x3164, 0xFFA0,  // Hangul fillers, blank braille pattern
    };
    return std::find(kBlanks.begin(), kBlanks.end(), ch) != kBlanks.end();
}

}  // namespace

QString quotedCharacter(const QString& text, qsizetype index) {
    const QChar first = text.at(index);
    char32_t ch = first.unicode();
    qsizetype length = 1;
    if (first.isHighSurrogate() && index + 1 < text.size() && text.at(index + 1).isLowSurrogate()) {
        ch = QChar::surrogateToUcs4(first, text.at(index + 1));
        length = 2;
    }
    if (hiddenCategory(ch) || blankGlyph(ch) ||
        !QFontMetrics(QApplication::font("QMessageBox")).inFontUcs4(ch)) {
        return codepage::characterCode(ch);
    }
    return QStringLiteral("«%1»").arg(text.mid(index, length));
}

}  // namespace toolkit
