// Fuzzes the preference reader: any bytes a preference file may hold go
// through the reading rule, the value's own formatting and the readable
// rendering used by the error report. Aborts on any broken invariant.

#include <QByteArray>
#include <QString>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "startup/preferences.h"
#include "toolkit/messagebox.h"

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// An independent reading of the rule: trim blanks and line ends, an optional
// sign, then nothing but decimal digits; too many digits saturate.
std::optional<long long> reference(const std::string& bytes) {
    std::size_t begin = 0;
    std::size_t end = bytes.size();
    while (begin < end && isBlank(bytes[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(bytes[end - 1])) {
        --end;
    }
    bool negative = false;
    if (begin < end && (bytes[begin] == '+' || bytes[begin] == '-')) {
        negative = bytes[begin] == '-';
        ++begin;
    }
    if (begin == end) {
        return std::nullopt;
    }
    for (std::size_t i = begin; i < end; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9') {
            return std::nullopt;
        }
    }
    unsigned long long magnitude = 0;
    const auto [ptr, ec] = std::from_chars(bytes.data() + begin, bytes.data() + end, magnitude);
    constexpr auto kMax = static_cast<unsigned long long>(std::numeric_limits<long long>::max());
    if (ec == std::errc::result_out_of_range || magnitude > kMax) {
        magnitude = kMax;
    }
    require(ptr == bytes.data() + end, "from_chars stopped inside the digits");
    const auto value = static_cast<long long>(magnitude);
    return negative ? -value : value;
}

// The longest rendering: the quotes, 40 bytes shown as \xNN each, the ellipsis.
constexpr qsizetype kLongestDescription = 2 + 40 * 4 + 1;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::string plain(reinterpret_cast<const char*>(data), size);

    const std::optional<long long> value = startup::parseNumber(bytes);
    const std::optional<long long> expected = reference(plain);
    require(value.has_value() == expected.has_value(), "number or not");
    if (value) {
        require(*value == *expected, "value read");

        // What the program writes reads back as the same value, in the five
        // byte shape for small numbers.
        const QByteArray written = startup::formatNumber(*value);
        require(written.startsWith(*value < 0 ? '-' : ' '), "sign position");
        require(written.endsWith(" \r\n"), "blank and line end");
        require(written.size() <= 1 + 20 + 3, "formatted length");
        const std::optional<long long> reread = startup::parseNumber(written);
        require(reread && *reread == *value, "written value reads back");
        if (*value != std::numeric_limits<long long>::min()) {
            require(
                written.mid(1, written.size() - 4).toLongLong() == (*value < 0 ? -*value : *value),
                "digits of the magnitude");
        }
    }

    // ResolutionChoice takes the text as read and agrees with the rule, or
    // reports the file by name.
    startup::ResolutionChoice choice;
    choice.setText(bytes);
    try {
        const long long number = choice.number();
        require(value && number == *value, "choice as a number");
    } catch (const toolkit::Error& error) {
        require(!value, "choice refused a number");
        require(error.message().contains(startup::kResolutionFile), "report names the file");
    }

    // The rendering for the report is short and shows no raw control byte.
    const QString shown = startup::describeContent(bytes);
    require(!shown.isEmpty(), "rendering is empty");
    require(shown.size() <= kLongestDescription, "rendering is bounded");
    for (const QChar ch : shown) {
        require(ch.unicode() >= 0x20 && ch.unicode() != 0x7F, "rendering shows a control");
    }
    require(choice.describe() == shown, "choice describes its text");
    return 0;
}
