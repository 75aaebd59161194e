#include "cipher/cipher.h"

#include <algorithm>
#include <array>
#include <memory>
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
// that names no character gives kStop; the extra last entry stands for a
// character without a code and gives kUnsupported. Neither is a Windows-1252
// character, so neither can be a real output.
constexpr char16_t kStop = 0xFFFF;
constexpr char16_t kUnsupported = 0xFFFE;
constexpr unsigned kFaultBit = 0x8000;
static_assert((kStop & kFaultBit) != 0 && (kUnsupported & kFaultBit) != 0);
static_assert(std::all_of(kHighControls.begin(), kHighControls.end(),
                          [](char16_t ch) { return (ch & kFaultBit) == 0; }),
              "every character of the code page lies below the fault bit");
constexpr std::size_t kNoCodeIndex = 256;
using OutTable = std::array<char16_t, 257>;

template <int (*Rule)(int, bool)>
constexpr OutTable makeTable(bool even) {
    OutTable table{};
    for (int code = 0; code < 256; ++code) {
        const int out = Rule(code, even);
        table[code] = (out < 0 || out > 255) ? kStop : codeToCharUnchecked(out);
    }
    table[kNoCodeIndex] = kUnsupported;
    return table;
}

struct Rules {
    OutTable odd;
    OutTable even;
};
constexpr Rules kEncrypt = {makeTable<encryptFromCode>(false), makeTable<encryptFromCode>(true)};
constexpr Rules kDecrypt = {makeTable<decryptFromCode>(false), makeTable<decryptFromCode>(true)};

// Table index by character for the whole UTF-16 range: the code, or
// kNoCodeIndex. One lookup replaces the search through the 27 characters that
// Windows-1252 adds above the Latin-1 range.
using IndexTable = std::array<std::uint16_t, 65536>;
const IndexTable& indexTable() {
    static const IndexTable table = [] {
        IndexTable t{};
        for (std::size_t ch = 0; ch < t.size(); ++ch) {
            const int code = charToCodeOrNone(static_cast<char16_t>(ch));
            t[ch] = static_cast<std::uint16_t>(code == kNoCode ? kNoCodeIndex : code);
        }
        return t;
    }();
    return table;
}

inline int codeOf(char16_t ch) {
    const std::uint16_t index = indexTable()[ch];
    return index == kNoCodeIndex ? kNoCode : index;
}

int requireCode(char16_t ch) {
    const int code = codeOf(ch);
    if (code == kNoCode) {
        throw std::invalid_argument("character outside Windows-1252");
    }
    return code;
}

// Output character by input character, for one direction and parity: the
// code lookup and the rule folded into one table over the whole UTF-16 range,
// so that the hot loop makes a single lookup per character.
using DirectTable = std::array<char16_t, 65536>;
struct DirectRules {
    DirectTable odd;
    DirectTable even;
};

DirectRules makeDirect(const Rules& rules) {
    DirectRules direct;
    const IndexTable& index = indexTable();
    for (std::size_t ch = 0; ch < index.size(); ++ch) {
        direct.odd[ch] = rules.odd[index[ch]];
        direct.even[ch] = rules.even[index[ch]];
    }
    return direct;
}

const DirectRules& encryptRules() {
    static const auto rules = std::make_unique<const DirectRules>(makeDirect(kEncrypt));
    return *rules;
}

const DirectRules& decryptRules() {
    static const auto rules = std::make_unique<const DirectRules>(makeDirect(kDecrypt));
    return *rules;
}

Written transform(std::u16string_view text, const DirectRules& direct, std::span<char16_t> buffer) {
    const std::size_t n = text.size();
    if (buffer.size() <= n) {
        throw std::length_error("output buffer too small for the text");
    }
    char16_t* const out = buffer.data() + 1;
    out[-1] = u' ';
    // One table lookup per character, no branch: faults are only noted here
    // (every output character is below kFaultBit, both faults have it) and
    // looked for afterwards, which a well-formed text never needs.
    unsigned seen = 0;
    std::size_t i = 0;
    for (; i + 1 < n; i += 2) {  // positions i + 1 (odd) and i + 2 (even)
        const char16_t a = direct.odd[text[i]];
        const char16_t b = direct.even[text[i + 1]];
        out[i] = a;
        out[i + 1] = b;
        seen |= a | b;
    }
    if (i < n) {
        out[i] = direct.odd[text[i]];
        seen |= out[i];
    }
    Written result;
    result.length = n + 1;
    if ((seen & kFaultBit) == 0) {
        return result;
    }
    // Every code is computed before anything is written, so a character
    // without a code anywhere in the text rejects the whole text, even past
    // a code that stops the output.
    const std::u16string_view written(out, n);
    const std::size_t unsupported = written.find(kUnsupported);
    if (unsupported != std::u16string_view::npos) {
        result.length = 0;
        result.unsupportedAt = unsupported + 1;
        return result;
    }
    const std::size_t stop = written.find(kStop);
    result.stoppedAt = stop + 1;
    result.length = stop + 1;
    return result;
}

TextResult transform(std::u16string_view text, const DirectRules& direct) {
    TextResult result;
    result.text.resize(text.size() + 1);
    const Written written = transform(text, direct, result.text);
    result.text.resize(written.length);
    result.stoppedAt = written.stoppedAt;
    result.unsupportedAt = written.unsupportedAt;
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
    return transform(text, encryptRules());
}

TextResult DecryptText(std::u16string_view text) {
    return transform(text, decryptRules());
}

Written EncryptInto(std::u16string_view text, std::span<char16_t> out) {
    return transform(text, encryptRules(), out);
}

Written DecryptInto(std::u16string_view text, std::span<char16_t> out) {
    return transform(text, decryptRules(), out);
}

}  // namespace cipher
