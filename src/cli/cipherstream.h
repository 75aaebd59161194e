#pragma once

// The cipher over a text that arrives as bytes in blocks of any size: the
// output is the one the window's commands give for the whole text, leading
// blank included, with positions counted over everything fed so far. Nothing
// is allocated per block; the caller owns both buffers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace cli {

enum class Direction { Encrypt, Decrypt };
enum class Encoding { Utf8, Windows1252 };

// Why a stream ended before its input did.
struct StreamFault {
    enum class Kind {
        None,
        Stop,         // the character's computed code names no character
        Unsupported,  // a character outside Windows-1252
        InvalidUtf8,  // bytes that are not UTF-8
        CutUtf8,      // the input ends inside a UTF-8 sequence
    };
    Kind kind = Kind::None;
    // 1-based position of the character in the whole text.
    std::uint64_t position = 0;
    // Stop: the Windows-1252 code and its computed code; Unsupported: the character.
    std::uint32_t character = 0;
    int computedCode = 0;
    // InvalidUtf8 and CutUtf8: the bytes read for the character.
    std::array<unsigned char, 4> bytes{};
    std::size_t byteCount = 0;
};

class CipherStream {
public:
    CipherStream(Direction direction, Encoding input, Encoding output);
    CipherStream(const CipherStream&) = delete;
    CipherStream& operator=(const CipherStream&) = delete;

    // Room that feed() or finish() needs in `out` for an input block of
    // `size` bytes: every character may take three bytes in UTF-8, plus the
    // leading blank and the slack of the four-byte stores.
    static constexpr std::size_t outputCapacity(std::size_t size) { return 3 * size + 8; }

    // Transforms the next block into `out` and gives the number of bytes
    // written. The first call writes the leading blank first. After a fault,
    // `out` holds everything before the faulty character and further input
    // is ignored.
    std::size_t feed(const char* data, std::size_t size, char* out);
    // Ends the text: a UTF-8 sequence still open is a fault. Writes the
    // leading blank if nothing was fed.
    std::size_t finish(char* out);

    const StreamFault& fault() const { return m_fault; }
    bool failed() const { return m_fault.kind != StreamFault::Kind::None; }
    // Characters transformed so far.
    std::uint64_t position() const { return m_position; }

    struct Tables;
    struct Decoded;

private:
    static const Tables& tablesFor(Direction direction, Encoding input, Encoding output);

    std::size_t feedCodes(const unsigned char* in, std::size_t size, char* out);
    std::size_t feedUtf8(const unsigned char* in, std::size_t size, char* out);
    // The character that the previous block cut, completed from this one.
    std::size_t completePending(const unsigned char*& in, std::size_t& size, char* out);
    // Transforms one character by its code; false (and the fault set) on a stop.
    bool put(int code, char*& out);
    // The UTF-8 character `next` at `p` did not go through: the start of a
    // sequence that the block cut is held for the next block; anything else
    // is the fault that ends the text.
    void endBefore(const Decoded& next, const unsigned char* p, const unsigned char* end);
    // Ends the text before the next character. Stop: `character` is its
    // Windows-1252 code; Unsupported: the character; InvalidUtf8 and
    // CutUtf8: `bytes` are the ones read for it.
    void fail(StreamFault::Kind kind, std::uint32_t character,
              std::span<const unsigned char> bytes = {});

    Direction m_direction;
    Encoding m_input;
    const Tables* m_tables;
    std::uint64_t m_position = 0;
    bool m_started = false;
    // Start of a UTF-8 sequence that the previous block cut.
    std::array<unsigned char, 4> m_pending{};
    std::size_t m_pendingCount = 0;
    StreamFault m_fault;
};

}  // namespace cli
