#pragma once

// The per-character cipher of Zelvano. Characters are UTF-16 code units, as Qt
// holds them, restricted to the 256 characters of Windows-1252 (the five codes
// that Windows-1252 leaves unassigned stand for the matching C1 controls).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace cipher {

// The code of ch in Windows-1252; no value for a character outside it.
std::optional<std::uint8_t> CharToCode(char16_t ch);

// The character with the given code; throws std::out_of_range below 0 or above 255.
char16_t CodeToChar(int code);

// Case mapping over the letter pairs of Windows-1252; anything else is returned as is.
char16_t ToUpperChar(char16_t ch);
char16_t ToLowerChar(char16_t ch);

// The computed code of ch at a 1-based position. The result may lie outside
// 0..255, in which case it names no character. Both throw std::invalid_argument
// for a character without a Windows-1252 code.
int EncryptCode(char16_t ch, int position);
int DecryptCode(char16_t ch, int position);

struct TextResult {
    // What the command writes into the output box, leading space included.
    std::u16string text;
    // 1-based position whose code has no character; text ends before it.
    std::optional<std::size_t> stoppedAt;
    // 1-based position of the first character outside Windows-1252; text is then empty.
    std::optional<std::size_t> unsupportedAt;
};

TextResult EncryptText(std::u16string_view text);
TextResult DecryptText(std::u16string_view text);

// What EncryptInto or DecryptInto wrote: the same as a TextResult, with the
// text left in the caller's buffer.
struct Written {
    // Characters written, leading space included; 0 with unsupportedAt.
    std::size_t length = 0;
    std::optional<std::size_t> stoppedAt;
    std::optional<std::size_t> unsupportedAt;
};

// EncryptText and DecryptText into a buffer of the caller's, which needs room
// for text.size() + 1 characters (std::length_error otherwise); nothing is
// allocated. What lies in `out` past the length written is unspecified.
Written EncryptInto(std::u16string_view text, std::span<char16_t> out);
Written DecryptInto(std::u16string_view text, std::span<char16_t> out);

}  // namespace cipher
