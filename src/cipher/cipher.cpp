#include "cipher/cipher.h"

#include <array>
#include <stdexcept>

namespace cipher {
namespace {

// Windows-1252 codes 0x80 to 0x9F. The unassigned ones map to the C1 control
// of the same number, so the mapping is one-to-one over all 256 codes.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t codeToCharUnchecked(int code) {
    return (code >= 0x80 && code <= 0x9F) ? kHighControls[code - 0x80]
                                          : static_cast<char16_t>(code);
}

constexpr int kNoCode = -1;

constexpr int charToCodeOrNone(char16_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
        return ch;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == ch) {
            return 0x80 + i;
        }
    }
    return kNoCode;
}

// Capital letter code for each small letter code, and back.
constexpr int upperCode(int code) {
    if ((code >= 97 && code <= 122) || (code >= 224 && code <= 246) ||
        (code >= 248 && code <= 254)) {
        return code - 32;
    }
    switch (code) {
        case 154:
            return 138;  // š
        case 156:
            return 140;  // œ
        case 158:
            return 142;  // ž
        case 255:
            return 159;  // ÿ
        default:
            return code;
    }
}

constexpr int lowerCode(int code) {
    if ((code >= 65 && code <= 90) || (code >= 192 && code <= 214) ||
        (code >= 216 && code <= 222)) {
        return code + 32;
    }
    switch (code) {
        case 138:
            return 154;  // Š
        case 140:
            return 156;  // Œ
        case 142:
            return 158;  // Ž
        case 159:
            return 255;  // Ÿ
        default:
            return code;
    }
}

constexpr int kSpace = 32;

constexpr int encryptFromCode(int code, bool even) {
    if (code == kSpace) {
        return kSpace;
    }
    return even ? upperCode(code) + 3 : code + 5;
}

constexpr int decryptFromCode(int code, bool even) {
    if (code == kSpace) {
        return kSpace;
    }
    return even ? code - 5 : lowerCode(code) - 3;
}

// Output characters by input code, one table per direction and parity. A code
// that names no character is marked with a value that is not a Windows-1252
// character.
constexpr char16_t kStop = 0xFFFF;
using OutTable = std::array<char16_t, 256>;

template <int (*Rule)(int, bool)>
constexpr OutTable makeTable(bool even) {
    OutTable table{};
    for (int code = 0; code < 256; ++code) {
        const int out = Rule(code, even);
        table[code] = (out < 0 || out > 255) ? kStop : codeToCharUnchecked(out);
    }
    return table;
}

constexpr std::array<OutTable, 2> kEncrypt = {makeTable<encryptFromCode>(false),
                                              makeTable<encryptFromCode>(true)};
constexpr std::array<OutTable, 2> kDecrypt = {makeTable<decryptFromCode>(false),
                                              makeTable<decryptFromCode>(true)};

// Input code by character for the Latin-1 range; characters above it take the
// slow path through the 27 that Windows-1252 adds.
constexpr std::array<std::int16_t, 256> makeLatinCodes() {
    std::array<std::int16_t, 256> codes{};
    for (int ch = 0; ch < 256; ++ch) {
        codes[ch] = static_cast<std::int16_t>(charToCodeOrNone(static_cast<char16_t>(ch)));
    }
    return codes;
}
constexpr std::array<std::int16_t, 256> kLatinCodes = makeLatinCodes();

inline int codeOf(char16_t ch) {
    return ch < 256 ? kLatinCodes[ch] : charToCodeOrNone(ch);
}

int requireCode(char16_t ch) {
    const int code = codeOf(ch);
    if (code == kNoCode) {
        throw std::invalid_argument("character outside Windows-1252");
    }
    return code;
}

TextResult transform(std::u16string_view text, const std::array<OutTable, 2>& tables) {
    TextResult result;
    result.text.reserve(text.size() + 1);
    result.text.push_back(u' ');
    const std::size_t n = text.size();
    std::size_t i = 0;
    for (; i < n; ++i) {
        const int code = codeOf(text[i]);
        if (code == kNoCode) {
            break;
        }
        // Position i + 1 is even when i is odd.
        const char16_t out = tables[i & 1U][static_cast<std::size_t>(code)];
        if (out == kStop) {
            result.stoppedAt = i + 1;
            break;
        }
        result.text.push_back(out);
    }
    // Every code is computed before anything is written, so a character
    // without a code anywhere in the text rejects the whole text, even past
    // a stop.
    for (; i < n; ++i) {
        if (codeOf(text[i]) == kNoCode) {
            result.text.clear();
            result.stoppedAt.reset();
            result.unsupportedAt = i + 1;
            break;
        }
    }
    return result;
}

}  // namespace

std::optional<std::uint8_t> CharToCode(char16_t ch) {
    const int code = codeOf(ch);
    if (code == kNoCode) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(code);
}

char16_t CodeToChar(int code) {
    if (code < 0 || code > 255) {
        throw std::out_of_range("code outside 0..255");
    }
    return codeToCharUnchecked(code);
}

char16_t ToUpperChar(char16_t ch) {
    const int code = codeOf(ch);
    return code == kNoCode ? ch : codeToCharUnchecked(upperCode(code));
}

char16_t ToLowerChar(char16_t ch) {
    const int code = codeOf(ch);
    return code == kNoCode ? ch : codeToCharUnchecked(lowerCode(code));
}

int EncryptCode(char16_t ch, int position) {
    return encryptFromCode(requireCode(ch), position % 2 == 0);
}

int DecryptCode(char16_t ch, int position) {
    return decryptFromCode(requireCode(ch), position % 2 == 0);
}

TextResult EncryptText(std::u16string_view text) {
    return transform(text, kEncrypt);
}

TextResult DecryptText(std::u16string_view text) {
    return transform(text, kDecrypt);
}

}  // namespace cipher
