#include "cli/filter.h"

#include <QChar>
#include <QStringList>

#include <algorithm>
#include <memory>

#include "codepage/codepage.h"

namespace cli {
namespace {

// A character by itself where it shows, and by its code in any case.
QString characterName(char32_t character) {
    if (QChar::isPrint(character) && !QChar::isSpace(character)) {
        return QStringLiteral("'%1' (%2)")
            .arg(QString::fromUcs4(&character, 1), codepage::characterCode(character));
    }
    return codepage::characterCode(character);
}

QString byteList(const StreamFault& fault) {
    QStringList bytes;
    for (std::size_t i = 0; i < fault.byteCount; ++i) {
        bytes << QStringLiteral("0x") +
                     QString::number(fault.bytes[i], 16).rightJustified(2, u'0').toUpper();
    }
    return bytes.join(u' ');
}

}  // namespace

QString describeFault(const StreamFault& fault) {
    const QString at = QStringLiteral("position %1: ").arg(fault.position);
    switch (fault.kind) {
        case StreamFault::Kind::None:
            return {};
        case StreamFault::Kind::Stop: {
            const char32_t character =
                codepage::charOf(static_cast<std::uint8_t>(fault.character)).unicode();
            return at + QStringLiteral(
                            "%1 gives code %2, which names no character; the output "
                            "stops before it, as in the window")
                            .arg(characterName(character))
                            .arg(fault.computedCode);
        }
        case StreamFault::Kind::Unsupported:
            return at + QStringLiteral("%1 is not a Windows-1252 character; text refused")
                            .arg(characterName(fault.character));
        case StreamFault::Kind::InvalidUtf8:
            return at + QStringLiteral("bytes %1 are not UTF-8; text refused").arg(byteList(fault));
        case StreamFault::Kind::CutUtf8:
            return at + QStringLiteral(
                            "the input ends inside a UTF-8 sequence (bytes %1); "
                            "text refused")
                            .arg(byteList(fault));
    }
    return {};
}

FilterResult runFilter(const FilterOptions& options, const std::vector<Input>& inputs,
                       QIODevice& output, const QString& outputName) {
    const std::size_t blockSize = std::max<std::size_t>(options.blockSize, 1);
    CipherStream stream(options.direction, options.input, options.output);
    // Both buffers live for the whole run: nothing is allocated per block.
    const auto in = std::make_unique<char[]>(blockSize);
    const auto out = std::make_unique<char[]>(CipherStream::outputCapacity(blockSize));

    const auto write = [&](std::size_t size) {
        return output.write(out.get(), static_cast<qint64>(size)) == static_cast<qint64>(size);
    };
    const auto writeFailed = [&] {
        return FilterResult{
            kStatusIoError,
            QStringLiteral("cannot write %1: %2").arg(outputName, output.errorString())};
    };

    for (const Input& input : inputs) {
        while (!stream.failed()) {
            const qint64 got = input.device->read(in.get(), static_cast<qint64>(blockSize));
            if (got < 0) {
                return {kStatusIoError, QStringLiteral("cannot read %1: %2")
                                            .arg(input.name, input.device->errorString())};
            }
            if (got == 0) {
                break;
            }
            if (!write(stream.feed(in.get(), static_cast<std::size_t>(got), out.get()))) {
                return writeFailed();
            }
        }
    }
    if (!write(stream.finish(out.get()))) {
        return writeFailed();
    }
    const StreamFault& fault = stream.fault();
    if (fault.kind == StreamFault::Kind::None) {
        return {};
    }
    const int status = fault.kind == StreamFault::Kind::Stop ? kStatusStopped : kStatusRefused;
    return {status, describeFault(fault)};
}

}  // namespace cli
