#pragma once

// The filter's run: the inputs, read one block at a time as one text, through
// the cipher into an output device.

#include <QIODevice>
#include <QString>

#include <cstddef>
#include <vector>

#include "cli/cipherstream.h"

namespace cli {

// Exit statuses of zelvano-cipher.
enum Status {
    kStatusDone = 0,
    kStatusIoError = 1,  // also a wrong command line
    kStatusRefused = 2,  // a character outside Windows-1252, or bytes that are not UTF-8
    kStatusStopped = 3,  // a character whose computed code names no character
};

// Large enough that a read or write costs little next to the cipher, small
// enough that input and output stay in the processor's cache.
inline constexpr std::size_t kDefaultBlockSize = std::size_t{256} << 10;

struct FilterOptions {
    Direction direction = Direction::Encrypt;
    Encoding input = Encoding::Utf8;
    Encoding output = Encoding::Utf8;
    std::size_t blockSize = kDefaultBlockSize;
};

struct Input {
    QString name;                 // for messages
    QIODevice* device = nullptr;  // open for reading
};

struct FilterResult {
    int status = kStatusDone;
    // One line for standard error, empty when all went well.
    QString message;
};

// Runs the inputs through the cipher into `output`, which is open for
// writing; `outputName` names it in messages.
FilterResult runFilter(const FilterOptions& options, const std::vector<Input>& inputs,
                       QIODevice& output, const QString& outputName);

// The one-line description of a stream's fault.
QString describeFault(const StreamFault& fault);

}  // namespace cli
