#pragma once

// Deterministic input texts for the benchmarks: the same bytes in every run,
// so that runs on different days can be compared.

#include <cstddef>
#include <string>

namespace bench {

inline constexpr std::size_t kBoxChars = 32766;        // the most one command handles in full
inline constexpr std::size_t kMiBChars = 1024 * 1024;  // one MiB of characters

// Italian prose: sentences of common words, with spaces, punctuation,
// accented letters and CR LF line breaks between paragraphs. Never ends on
// a lone CR.
std::u16string italianProse(std::size_t length);

// The same prose with every space and line break left out: one long word.
std::u16string proseWithoutSpaces(std::size_t length);

// All 256 Windows-1252 characters, each block of 256 in a shuffled order.
// Codes 251 to 255 stand at even positions only and codes 0 and 1 at odd
// ones, so that encrypting it, and decrypting what that gives, run to the end.
std::u16string allCodesMixed(std::size_t length);

// What decrypting is given in practice: the encrypted form of the text,
// without the leading blank that the command adds, so that decrypting it runs
// to the end as well.
std::u16string encryptedForm(const std::u16string& plain);

}  // namespace bench
