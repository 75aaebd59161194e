#include "codepage/codepage.h"

#include "cipher/cipher.h"

namespace codepage {

std::optional<std::uint8_t> codeOf(char32_t ch) {
    if (ch > 0xFFFF) {
        return std::nullopt;
    }
    return cipher::CharToCode(static_cast<char16_t>(ch));
}

QChar charOf(std::uint8_t code) {
    return QChar(cipher::CodeToChar(code));
}

QByteArray toSingleByte(QStringView text, char replacement) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar ch : text) {
        const std::optional<std::uint8_t> code = codeOf(ch.unicode());
        bytes.append(code ? static_cast<char>(*code) : replacement);
    }
    return bytes;
}

QString fromSingleByte(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        text.append(charOf(static_cast<std::uint8_t>(byte)));
    }
    return text;
}

QString characterCode(char32_t ch) {
    return QStringLiteral("U+") +
           QString::number(static_cast<uint>(ch), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

}  // namespace codepage
