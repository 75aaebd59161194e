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
#include <regex>
#include <string>

#include "forms/prefmessages.h"
#include "prefs/preferences.h"

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

// An independent reading of the rule, from its character classes: blanks
// and line ends around an optional sign and at least one decimal digit. The
// digits' value stops at the largest long long, and a minus sign negates
// that.
std::optional<long long> reference(const std::string& bytes) {
    static const std::regex kNumber("[ \t\r\n]*([+-]?)([0-9]+)[ \t\r\n]*");
    std::smatch match;
    if (!std::regex_match(bytes, match, kNumber)) {
        return std::nullopt;
    }
    const std::string digits = match.str(2);
    long long value = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec == std::errc::result_out_of_range) {
        value = std::numeric_limits<long long>::max();
    } else {
        require(ec == std::errc() && ptr == digits.data() + digits.size(),
                "from_chars stopped inside the digits");
    }
    return match.str(1) == "-" ? -value : value;
}

// The longest rendering: the quotes, 40 bytes shown as \xNN each, the ellipsis.
constexpr qsizetype kLongestDescription = 2 + 40 * 4 + 1;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::string plain(reinterpret_cast<const char*>(data), size);

    const std::optional<long long> value = prefs::parseNumber(bytes);
    const std::optional<long long> expected = reference(plain);
    require(value.has_value() == expected.has_value(), "number or not");
    if (value) {
        require(*value == *expected, "value read");

        // What the program writes reads back as the same value, in the five
        // byte shape for small numbers.
        const QByteArray written = prefs::formatNumber(*value);
        require(written.startsWith(*value < 0 ? '-' : ' '), "sign position");
        require(written.endsWith(" \r\n"), "blank and line end");
        require(written.size() <= 1 + 20 + 3, "formatted length");
        const std::optional<long long> reread = prefs::parseNumber(written);
        require(reread && *reread == *value, "written value reads back");
        if (*value != std::numeric_limits<long long>::min()) {
            require(
                written.mid(1, written.size() - 4).toLongLong() == (*value < 0 ? -*value : *value),
                "digits of the magnitude");
        }
    }

    // ResolutionChoice takes the text as read and agrees with the rule.
    prefs::ResolutionChoice choice;
    choice.setText(bytes);
    require(choice.number() == value, "choice as a number");
    require(choice.content() == bytes, "choice keeps its text");

    // The rendering for the report is short and shows no raw control byte,
    // and the report on a damaged file names it.
    const QString shown = forms::describeContent(bytes);
    require(!shown.isEmpty(), "rendering is empty");
    require(shown.size() <= kLongestDescription, "rendering is bounded");
    for (const QChar ch : shown) {
        require(ch.unicode() >= 0x20 && ch.unicode() != 0x7F, "rendering shows a control");
    }
    require(forms::damagedFileMessage(prefs::kResolutionFile, bytes,
                                      prefs::FileError::Problem::NotANumber)
                .contains(shown),
            "report shows the content");
    return 0;
}
