// Fuzzes zelvano-cipher's stream: arbitrary bytes, cut into blocks at random
// places, in any direction and pair of encodings. Checked for every input:
// the output and the fault are the same however the blocks fall, and they
// are the window's result for the text that the bytes hold (Qt's UTF-8
// decoder reads them for comparison), the first fault in input order deciding.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "cipher/cipher.h"
#include "cli/cipherstream.h"

namespace {

using Kind = cli::StreamFault::Kind;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

struct Outcome {
    std::string output;
    cli::StreamFault fault;
};

Outcome run(const cli::Direction direction, cli::Encoding in, cli::Encoding out,
            const std::uint8_t* data, std::size_t size, std::minstd_rand* split) {
    cli::CipherStream stream(direction, in, out);
    Outcome outcome;
    std::vector<char> buffer;
    std::size_t from = 0;
    while (from < size) {
        const std::size_t block =
            split ? std::min<std::size_t>(size - from, 1 + (*split)() % 40) : size - from;
        buffer.resize(cli::CipherStream::outputCapacity(block));
        const std::size_t written =
            stream.feed(reinterpret_cast<const char*>(data) + from, block, buffer.data());
        outcome.output.append(buffer.data(), written);
        from += block;
    }
    buffer.resize(cli::CipherStream::outputCapacity(0));
    outcome.output.append(buffer.data(), stream.finish(buffer.data()));
    outcome.fault = stream.fault();
    return outcome;
}

std::string encode(const std::u16string& text, cli::Encoding encoding) {
    if (encoding == cli::Encoding::Utf8) {
        return QString::fromStdU16String(text).toStdString();
    }
    std::string bytes;
    for (const char16_t ch : text) {
        bytes += static_cast<char>(*cipher::CharToCode(ch));
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const auto direction = data[0] & 1 ? cli::Direction::Decrypt : cli::Direction::Encrypt;
    const auto in = data[0] & 2 ? cli::Encoding::Windows1252 : cli::Encoding::Utf8;
    const auto out = data[0] & 4 ? cli::Encoding::Windows1252 : cli::Encoding::Utf8;
    std::minstd_rand split(data[1] + 1u);
    data += 2;
    size -= 2;

    const Outcome whole = run(direction, in, out, data, size, nullptr);
    const Outcome pieces = run(direction, in, out, data, size, &split);
    require(whole.output == pieces.output, "output depends on the blocks");
    require(whole.fault.kind == pieces.fault.kind &&
                whole.fault.position == pieces.fault.position &&
                whole.fault.character == pieces.fault.character &&
                whole.fault.byteCount == pieces.fault.byteCount &&
                whole.fault.bytes == pieces.fault.bytes,
            "fault depends on the blocks");

    // The text the bytes hold; bytes that are not UTF-8 end it.
    std::u16string text;
    if (in == cli::Encoding::Windows1252) {
        for (std::size_t i = 0; i < size; ++i) {
            text += cipher::CodeToChar(data[i]);
        }
    } else {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless |
                                                         QStringConverter::Flag::ConvertInitialBom);
        const QString decoded = decoder(
            QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        const bool badUtf8 =
            whole.fault.kind == Kind::InvalidUtf8 || whole.fault.kind == Kind::CutUtf8;
        text = decoded.toStdU16String();
        if (badUtf8) {
            require(decoder.hasError(), "refused bytes that Qt reads as UTF-8");
            const std::size_t before = whole.fault.position - 1;
            require(before < text.size() && text[before] == u'\uFFFD',
                    "Qt does not replace the refused bytes");
            text.resize(before);
        } else if (whole.fault.kind == Kind::None) {
            require(!decoder.hasError(), "took bytes that are not UTF-8");
        }
    }

    const auto window = [direction](std::u16string_view t) {
        return direction == cli::Direction::Encrypt ? cipher::EncryptText(t)
                                                    : cipher::DecryptText(t);
    };
    cipher::TextResult expected = window(text);
    Kind kind = Kind::None;
    std::uint64_t position = 0;
    if (expected.unsupportedAt) {
        // A stream cannot look ahead: a stop before the refused character wins.
        position = *expected.unsupportedAt;
        expected = window(std::u16string_view(text).substr(0, position - 1));
        kind = Kind::Unsupported;
    }
    if (expected.stoppedAt) {
        kind = Kind::Stop;
        position = *expected.stoppedAt;
    }
    if (kind == Kind::None &&
        (whole.fault.kind == Kind::InvalidUtf8 || whole.fault.kind == Kind::CutUtf8)) {
        kind = whole.fault.kind;
        position = whole.fault.position;
    }
    require(whole.fault.kind == kind, "fault of another kind than the window's");
    require(whole.fault.position == position, "fault at another position than the window's");
    require(whole.output == encode(expected.text, out), "output differs from the window's");
    return 0;
}
