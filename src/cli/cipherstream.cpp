#include "cli/cipherstream.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "cipher/cipher.h"
#include "codepage/codepage.h"

namespace cli {

// A character read from UTF-8 input.
struct CipherStream::Decoded {
    enum class Status { Complete, Incomplete, Invalid };
    Status status;
    char32_t character = 0;
    // Complete: the sequence's length; Invalid: the bytes up to the one that
    // does not fit, that one included.
    std::size_t length = 0;
    // Complete: the character's Windows-1252 code, -1 for a character outside it.
    int code = -1;
};

namespace {

// A character's output: its bytes in the output encoding, then one byte
// with their number and the stop flag. The four bytes are stored at once;
// the output pointer moves on by the length only, so the rest is overwritten.
struct alignas(4) Entry {
    unsigned char bytes[3] = {};
    unsigned char meta = 0;
};
constexpr unsigned kLengthMask = 0x03;
constexpr unsigned kStopFlag = 0x80;

// Two characters of a Windows-1252 text to Windows-1252: an odd and the
// following even position in one lookup.
struct alignas(4) Pair {
    unsigned char bytes[2] = {};
    unsigned char stop = 0;
};

using Decoded = CipherStream::Decoded;

// One UTF-8 sequence at a byte of 0x80 or more, by the well-formed forms only:
// no overlong forms, no surrogates, nothing above U+10FFFF.
Decoded decodeUtf8(const unsigned char* p, std::size_t available) {
    const unsigned lead = p[0];
    std::size_t following = 0;
    char32_t character = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        following = 1;
        character = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        following = 2;
        character = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        following = 3;
        character = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return {Decoded::Status::Invalid, 0, 1};
    }
    for (std::size_t k = 1; k <= following; ++k) {
        if (k >= available) {
            return {Decoded::Status::Incomplete, 0, k};
        }
        const unsigned byte = p[k];
        if (byte < low || byte > high) {
            return {Decoded::Status::Invalid, 0, k + 1};
        }
        low = 0x80;
        high = 0xBF;
        character = (character << 6) | (byte & 0x3F);
    }
    return {Decoded::Status::Complete, character, following + 1};
}

// The Windows-1252 code of a character, or -1.
int codeOf(char32_t character) {
    const std::optional<std::uint8_t> code = codepage::codeOf(character);
    return code ? *code : -1;
}

int computedCode(Direction direction, int code, std::uint64_t position) {
    // Only the parity of the position matters to the rules.
    const int parityPosition = position % 2 == 0 ? 2 : 1;
    const char16_t ch = cipher::CodeToChar(code);
    return direction == Direction::Encrypt ? cipher::EncryptCode(ch, parityPosition)
                                           : cipher::DecryptCode(ch, parityPosition);
}

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

}  // namespace

// Tables by input code, built from the cipher's own rules: [0] for odd
// positions, [1] for even ones.
struct CipherStream::Tables {
    std::array<std::array<Entry, 256>, 2> single;
    // Windows-1252 to Windows-1252 only; index: odd code | even code << 8.
    std::vector<Pair> pairs;
    // UTF-8 input only: two ASCII characters whose outputs take one byte
    // each, [0] from an odd position, [1] from an even one; index: first |
    // second << 7. Any other pair has the stop flag and goes the long way.
    std::array<std::vector<Pair>, 2> asciiPairs;
};

namespace {

std::unique_ptr<const CipherStream::Tables> makeTables(Direction direction, Encoding input,
                                                       Encoding output) {
    auto tables = std::make_unique<CipherStream::Tables>();
    for (int parity = 0; parity < 2; ++parity) {
        for (int code = 0; code < 256; ++code) {
            Entry& entry = tables->single[parity][code];
            const int out = computedCode(direction, code, parity == 0 ? 1 : 2);
            if (out < 0 || out > 255) {
                entry.meta = kStopFlag;
                continue;
            }
            const QChar ch = codepage::charOf(static_cast<std::uint8_t>(out));
            const QByteArray bytes = output == Encoding::Utf8
                                         ? QString(ch).toUtf8()
                                         : QByteArray(1, static_cast<char>(out));
            std::copy(bytes.begin(), bytes.end(), entry.bytes);
            entry.meta = static_cast<unsigned char>(bytes.size());
        }
    }
    if (input == Encoding::Windows1252 && output == Encoding::Windows1252) {
        tables->pairs.resize(256 * 256);
        for (int odd = 0; odd < 256; ++odd) {
            for (int even = 0; even < 256; ++even) {
                const Entry& a = tables->single[0][odd];
                const Entry& b = tables->single[1][even];
                Pair& pair = tables->pairs[odd | (even << 8)];
                pair.bytes[0] = a.bytes[0];
                pair.bytes[1] = b.bytes[0];
                pair.stop = (a.meta | b.meta) & kStopFlag;
            }
        }
    }
    if (input == Encoding::Utf8) {
        for (int parity = 0; parity < 2; ++parity) {
            std::vector<Pair>& pairs = tables->asciiPairs[parity];
            pairs.resize(128 * 128);
            for (int first = 0; first < 128; ++first) {
                for (int second = 0; second < 128; ++second) {
                    const Entry& a = tables->single[parity][first];
                    const Entry& b = tables->single[parity ^ 1][second];
                    Pair& pair = pairs[first | (second << 7)];
                    pair.bytes[0] = a.bytes[0];
                    pair.bytes[1] = b.bytes[0];
                    pair.stop = a.meta == 1 && b.meta == 1 ? 0 : kStopFlag;
                }
            }
        }
    }
    return tables;
}

// Windows-1252 to Windows-1252, `size` characters, an even number starting
// at an odd position: one lookup for every two, written to `out` in step
// with `in`. Gives the stop flags of all of them. This loop alone takes
// nearly all the time of such a text; aligned, its speed does not depend on
// where the rest of the program happens to put it.
[[gnu::noinline, gnu::aligned(64)]] unsigned pairsInto(const Pair* pairs, const unsigned char* in,
                                                       std::size_t size, char* out) {
    unsigned stops = 0;
    for (std::size_t i = 0; i < size; i += 2) {
        const Pair& pair = pairs[in[i] | (in[i + 1] << 8)];
        std::memcpy(out + i, pair.bytes, 2);
        stops |= pair.stop;
    }
    return stops;
}

// The character at `p`, whatever its length: ASCII and the Latin-1 letters,
// accented ones among them, have codes of their own; anything else goes
// through the full decoder.
inline Decoded readCharacter(const unsigned char* p, const unsigned char* end) {
    if (*p < 0x80) {
        return {Decoded::Status::Complete, *p, 1, *p};
    }
    if ((*p == 0xC2 || *p == 0xC3) && end - p >= 2 && (p[1] & 0xC0) == 0x80 &&
        (*p == 0xC3 || p[1] >= 0xA0)) {
        const int code = ((*p & 0x1F) << 6) | (p[1] & 0x3F);
        return {Decoded::Status::Complete, static_cast<char32_t>(code), 2, code};
    }
    Decoded decoded = decodeUtf8(p, static_cast<std::size_t>(end - p));
    if (decoded.status == Decoded::Status::Complete) {
        decoded.code = codeOf(decoded.character);
    }
    return decoded;
}

// The UTF-8 hot loop's tables and state. They live in locals: stores through
// a char pointer could change any member behind the compiler's back.
struct Lookup {
    const Entry* single[2];
    const Pair* asciiPairs[2];
};

Lookup lookupOf(const CipherStream::Tables& tables) {
    return {{tables.single[0].data(), tables.single[1].data()},
            {tables.asciiPairs[0].data(), tables.asciiPairs[1].data()}};
}

struct Cursor {
    const unsigned char* in;
    char* out;
    std::uint64_t position;  // characters transformed before `in`
};

// One character by its code and its length in the input; false, with
// nothing moved, when it stops the text.
inline bool step(const Lookup& lookup, Cursor& at, int code, std::size_t length) {
    const Entry entry = lookup.single[at.position & 1][code];
    if (entry.meta & kStopFlag) {
        return false;
    }
    std::memcpy(at.out, &entry, sizeof entry);
    at.out += entry.meta & kLengthMask;
    ++at.position;
    at.in += length;
    return true;
}

// Sixteen ASCII characters whose outputs take one byte each, two per
// lookup; false, with nothing moved, for anything else.
inline bool sixteenAscii(const Lookup& lookup, Cursor& at, const unsigned char* end) {
    std::uint64_t words[2] = {kHighBits, kHighBits};
    if (end - at.in >= 16) {
        std::memcpy(words, at.in, sizeof words);
    }
    if (((words[0] | words[1]) & kHighBits) != 0) {
        return false;
    }
    const Pair* const pairs = lookup.asciiPairs[at.position & 1];
    unsigned flags = 0;
    for (int k = 0; k < 16; k += 2) {
        const Pair& pair = pairs[at.in[k] | (at.in[k + 1] << 7)];
        std::memcpy(at.out + k, pair.bytes, 2);
        flags |= pair.stop;
    }
    if (flags != 0) {
        return false;
    }
    at.in += 16;
    at.out += 16;
    at.position += 16;
    return true;
}

// Eight ASCII characters with outputs of any length; false, with nothing
// moved, when one of them stops or is not ASCII.
inline bool eightAscii(const Lookup& lookup, Cursor& at, const unsigned char* end) {
    std::uint64_t word = kHighBits;
    if (end - at.in >= 8) {
        std::memcpy(&word, at.in, sizeof word);
    }
    if ((word & kHighBits) != 0) {
        return false;
    }
    const Entry* const a = lookup.single[at.position & 1];
    const Entry* const b = lookup.single[(at.position & 1) ^ 1];
    char* o = at.out;
    unsigned meta = 0;
    for (int k = 0; k < 8; k += 2) {
        const Entry first = a[at.in[k]];
        std::memcpy(o, &first, sizeof first);
        o += first.meta & kLengthMask;
        const Entry second = b[at.in[k + 1]];
        std::memcpy(o, &second, sizeof second);
        o += second.meta & kLengthMask;
        meta |= first.meta | second.meta;
    }
    if ((meta & kStopFlag) != 0) {
        return false;
    }
    at.in += 8;
    at.out = o;
    at.position += 8;
    return true;
}

// A run of ASCII, each byte its own code: sixteen or eight characters at a
// time where they can go so, else one at a time. True when it ends at a byte
// of 0x80 or more; false at the end of the block, or at a character that
// stops the text.
inline bool asciiRun(const Lookup& lookup, Cursor& at, const unsigned char* end) {
    while (at.in < end) {
        if (sixteenAscii(lookup, at, end) || eightAscii(lookup, at, end)) {
            continue;
        }
        const unsigned char* const wordEnd = at.in + std::min<std::ptrdiff_t>(8, end - at.in);
        while (at.in < wordEnd && *at.in < 0x80) {
            if (!step(lookup, at, *at.in, 1)) {
                return false;
            }
        }
        if (at.in < wordEnd) {
            return true;
        }
    }
    return false;
}

// A single character at a byte of 0x80 or more; false, with nothing moved,
// when it does not go through.
inline bool character(const Lookup& lookup, Cursor& at, const unsigned char* end) {
    const Decoded next = readCharacter(at.in, end);
    return next.code >= 0 && step(lookup, at, next.code, next.length);
}

}  // namespace

// The tables never change, so every stream of one kind shares them; they are
// made the first time they are needed.
const CipherStream::Tables& CipherStream::tablesFor(Direction direction, Encoding input,
                                                    Encoding output) {
    static std::array<std::unique_ptr<const Tables>, 8> made;
    static std::mutex guard;
    const std::size_t kind = (direction == Direction::Decrypt ? 4 : 0) +
                             (input == Encoding::Windows1252 ? 2 : 0) +
                             (output == Encoding::Windows1252 ? 1 : 0);
    const std::lock_guard lock(guard);
    if (!made[kind]) {
        made[kind] = makeTables(direction, input, output);
    }
    return *made[kind];
}

CipherStream::CipherStream(Direction direction, Encoding input, Encoding output)
    : m_direction(direction), m_input(input), m_tables(&tablesFor(direction, input, output)) {}

std::size_t CipherStream::feed(const char* data, std::size_t size, char* out) {
    char* o = out;
    if (!m_started) {
        *o++ = ' ';
        m_started = true;
    }
    if (failed()) {
        return static_cast<std::size_t>(o - out);
    }
    const auto* in = reinterpret_cast<const unsigned char*>(data);
    o += m_input == Encoding::Windows1252 ? feedCodes(in, size, o) : feedUtf8(in, size, o);
    return static_cast<std::size_t>(o - out);
}

std::size_t CipherStream::finish(char* out) {
    std::size_t written = 0;
    if (!m_started) {
        out[written++] = ' ';
        m_started = true;
    }
    if (!failed() && m_pendingCount > 0) {
        fail(StreamFault::Kind::CutUtf8, 0, {m_pending.data(), m_pendingCount});
    }
    return written;
}

void CipherStream::fail(StreamFault::Kind kind, std::uint32_t character,
                        std::span<const unsigned char> bytes) {
    m_fault.kind = kind;
    m_fault.position = m_position + 1;
    m_fault.character = character;
    if (kind == StreamFault::Kind::Stop) {
        m_fault.computedCode =
            computedCode(m_direction, static_cast<int>(character), m_position + 1);
    }
    std::copy(bytes.begin(), bytes.end(), m_fault.bytes.begin());
    m_fault.byteCount = bytes.size();
}

bool CipherStream::put(int code, char*& out) {
    const Entry& entry = m_tables->single[m_position & 1][code];
    if (entry.meta & kStopFlag) {
        fail(StreamFault::Kind::Stop, static_cast<std::uint32_t>(code));
        return false;
    }
    std::memcpy(out, &entry, sizeof entry);
    out += entry.meta & kLengthMask;
    ++m_position;
    return true;
}

std::size_t CipherStream::feedCodes(const unsigned char* in, std::size_t size, char* out) {
    char* o = out;
    std::size_t i = 0;
    if (m_tables->pairs.empty()) {
        while (i < size && put(in[i], o)) {
            ++i;
        }
        return static_cast<std::size_t>(o - out);
    }
    // Every character takes one byte, so input and output keep step.
    if (size > 0 && (m_position & 1) != 0) {
        if (!put(in[0], o)) {
            return static_cast<std::size_t>(o - out);
        }
        i = 1;
    }
    const std::size_t start = i;
    char* const base = o - start;
    const std::size_t paired = (size - start) & ~std::size_t{1};
    const unsigned stops = pairsInto(m_tables->pairs.data(), in + start, paired, o);
    i = start + paired;
    if (stops != 0) {
        // Rare: go through the pairs again one character at a time up to the stop.
        i = start;
        while (put(in[i], o)) {
            ++i;
        }
        return static_cast<std::size_t>(o - out);
    }
    o = base + i;
    m_position += i - start;
    if (i < size) {
        put(in[i], o);
    }
    return static_cast<std::size_t>(o - out);
}

void CipherStream::endBefore(const Decoded& next, const unsigned char* p,
                             const unsigned char* end) {
    switch (next.status) {
        case Decoded::Status::Incomplete:
            m_pendingCount = static_cast<std::size_t>(end - p);
            std::copy(p, end, m_pending.begin());
            return;
        case Decoded::Status::Invalid:
            fail(StreamFault::Kind::InvalidUtf8, 0, {p, next.length});
            return;
        case Decoded::Status::Complete:
            if (next.code < 0) {
                fail(StreamFault::Kind::Unsupported, next.character);
            } else {
                fail(StreamFault::Kind::Stop, static_cast<std::uint32_t>(next.code));
            }
            return;
    }
}

std::size_t CipherStream::completePending(const unsigned char*& in, std::size_t& size, char* out) {
    std::array<unsigned char, 4> bytes = m_pending;
    const std::size_t held = m_pendingCount;
    const std::size_t taken = std::min(bytes.size() - held, size);
    std::copy(in, in + taken, bytes.begin() + static_cast<std::ptrdiff_t>(held));
    const unsigned char* const end = bytes.data() + held + taken;
    m_pendingCount = 0;
    Cursor at{bytes.data(), out, m_position};
    const Decoded next = readCharacter(bytes.data(), end);
    if (next.code >= 0 && step(lookupOf(*m_tables), at, next.code, next.length)) {
        m_position = at.position;
        in += next.length - held;
        size -= next.length - held;
    } else {
        // Held again when the whole block fits in the sequence's first bytes.
        endBefore(next, bytes.data(), end);
        in += size;
        size = 0;
    }
    return static_cast<std::size_t>(at.out - out);
}

std::size_t CipherStream::feedUtf8(const unsigned char* in, std::size_t size, char* out) {
    char* o = out;
    if (m_pendingCount > 0) {
        o += completePending(in, size, o);
    }
    const Lookup lookup = lookupOf(*m_tables);
    Cursor at{in, o, m_position};
    const unsigned char* const end = in + size;
    // Runs of ASCII, each followed by one other character.
    while (asciiRun(lookup, at, end) && character(lookup, at, end)) {
    }
    m_position = at.position;
    if (at.in < end) {
        // The character there did not go through: read it again to say why,
        // so that the loop need not keep it.
        endBefore(readCharacter(at.in, end), at.in, end);
    }
    return static_cast<std::size_t>(at.out - out);
}

}  // namespace cli
