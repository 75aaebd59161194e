// Fuzzes EncryptText and DecryptText on arbitrary UTF-16 text. Checked for
// every input: the shape of the result (leading space, length, where it
// stopped or which character it refused), each output character against the
// per-character rule, and that decrypting an encryption unchanged (one
// position further on) gives the plain text back apart from the known cases.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "cipher/cipher.h"

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

int code(char16_t ch) {
    return *cipher::CharToCode(ch);
}

bool isCapital(char16_t ch) {
    return cipher::ToLowerChar(ch) != ch;
}

bool isLetter(char16_t ch) {
    return isCapital(ch) || cipher::ToUpperChar(ch) != ch;
}

// The code of ch at a 1-based position, written out from the rules.
int encrypted(char16_t ch, std::size_t position) {
    if (ch == u' ') {
        return 32;
    }
    return position % 2 == 0 ? code(cipher::ToUpperChar(ch)) + 3 : code(ch) + 5;
}

int decrypted(char16_t ch, std::size_t position) {
    if (ch == u' ') {
        return 32;
    }
    return position % 2 == 0 ? code(ch) - 5 : code(cipher::ToLowerChar(ch)) - 3;
}

// Checks a result against its input, character by character.
void checkResult(std::u16string_view input, const cipher::TextResult& result, bool encrypt) {
    require(result.text.size() <= input.size() + 1, "output longer than input + 1");
    if (result.unsupportedAt) {
        const std::size_t at = *result.unsupportedAt;
        require(result.text.empty(), "refused text is written");
        require(!result.stoppedAt, "refused and stopped");
        require(at >= 1 && at <= input.size(), "refused position out of range");
        require(!cipher::CharToCode(input[at - 1]), "refused a Windows-1252 character");
        for (std::size_t i = 0; i + 1 < at; ++i) {
            require(cipher::CharToCode(input[i]).has_value(), "refused too late");
        }
        return;
    }
    for (const char16_t ch : input) {
        require(cipher::CharToCode(ch).has_value(), "missed a character outside Windows-1252");
    }
    require(!result.text.empty() && result.text[0] == u' ', "no leading space");
    const std::size_t written = result.text.size() - 1;
    if (result.stoppedAt) {
        require(*result.stoppedAt >= 1 && *result.stoppedAt <= input.size(), "stop out of range");
        require(written == *result.stoppedAt - 1, "stop does not match the text");
        const int at = encrypt ? encrypted(input[written], written + 1)
                               : decrypted(input[written], written + 1);
        require(at < 0 || at > 255, "stopped on a code with a character");
    } else {
        require(written == input.size(), "text shorter without a stop");
    }
    for (std::size_t i = 0; i < written; ++i) {
        const std::size_t position = i + 1;
        const int expected =
            encrypt ? encrypted(input[i], position) : decrypted(input[i], position);
        const int viaApi = encrypt ? cipher::EncryptCode(input[i], static_cast<int>(position))
                                   : cipher::DecryptCode(input[i], static_cast<int>(position));
        require(expected == viaApi, "computed code differs from the rule");
        require(expected >= 0 && expected <= 255, "wrote a code without a character");
        require(result.text[i + 1] == cipher::CodeToChar(expected), "output character");
    }
}

// What plain character x at position j comes back as after encrypting and
// decrypting the output unchanged.
char16_t roundTrip(char16_t x, std::size_t j) {
    if (x == u' ') {
        return u' ';
    }
    if (j % 2 == 1) {
        // +5, then -5 one position on, unless the shift made a space.
        return code(x) + 5 == 32 ? u' ' : x;
    }
    // Upper-case and +3, then lower-case and -3: a shifted code that is a
    // capital letter comes back lowered.
    const int upper = code(cipher::ToUpperChar(x));
    if (upper + 3 == 32) {
        return u' ';
    }
    const char16_t shifted = cipher::CodeToChar(upper + 3);
    if (!isCapital(shifted)) {
        return cipher::ToUpperChar(x);
    }
    const char16_t back = cipher::CodeToChar(code(cipher::ToLowerChar(shifted)) - 3);
    require(!isLetter(x) || back == cipher::ToLowerChar(x), "letter does not come back lowered");
    return back;
}

void checkRoundTrip(std::u16string_view plain, const cipher::TextResult& encryption) {
    if (encryption.unsupportedAt) {
        return;
    }
    const cipher::TextResult back = cipher::DecryptText(encryption.text);
    require(!back.unsupportedAt && !back.stoppedAt, "decrypting an encryption failed");
    const std::size_t n = encryption.text.size() - 1;
    require(back.text.size() == n + 2, "decryption length");
    require(back.text[0] == u' ' && back.text[1] == u' ', "two leading blanks");
    for (std::size_t j = 1; j <= n; ++j) {
        require(back.text[j + 1] == roundTrip(plain[j - 1], j), "round trip");
    }
}

}  // namespace

// The first byte chooses how the rest becomes text: as raw UTF-16 code units
// (most of which lie outside Windows-1252), or one Windows-1252 code per byte
// so that long texts reach the rules.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::u16string text;
    if (data[0] & 1U) {
        for (std::size_t i = 1; i < size; ++i) {
            text.push_back(cipher::CodeToChar(data[i]));
        }
    } else {
        for (std::size_t i = 1; i + 1 < size; i += 2) {
            text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
        }
    }
    const cipher::TextResult encryption = cipher::EncryptText(text);
    checkResult(text, encryption, true);
    checkResult(text, cipher::DecryptText(text), false);
    checkRoundTrip(text, encryption);
    return 0;
}
