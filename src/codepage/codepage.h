#pragma once

// Windows-1252, the program's one code page, for Qt strings: the 256 codes
// and the characters they stand for (the table itself is the cipher's,
// whose rules are written on codes), single-byte texts, and a character's
// code as messages write it. Qt Core only.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace codepage {

// The Windows-1252 code of a character; none for a character outside it.
std::optional<std::uint8_t> codeOf(char32_t ch);

// The character with the given code.
QChar charOf(std::uint8_t code);

// A text as single bytes; each UTF-16 unit outside Windows-1252 becomes
// `replacement`.
QByteArray toSingleByte(QStringView text, char replacement = '?');
QString fromSingleByte(QByteArrayView bytes);

// The character's code as "U+00E9": at least four capital hexadecimal digits.
QString characterCode(char32_t ch);

}  // namespace codepage
