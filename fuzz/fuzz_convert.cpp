// SPDX-License-Identifier: GPL-3.0-or-later
//
// StrToInt, StrToFloat and FloatToStr on the input as a text, and FloatToStr
// on its first eight bytes as a double: integers against std::from_chars,
// floating-point texts against strtod and against themselves with the other
// decimal separator, and every number written by FloatToStr read back within
// its 15 significant digits.

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "data/convert.h"
#include "data/errors.h"
#include "fuzz_support.h"

namespace {

// The largest double whose 15-digit text, 1.79769313486231E308, still reads
// back; those above it round up past the largest double and cannot.
constexpr double kLargestReadableBack = 1.79769313486231e308;

std::optional<std::int32_t> TryStrToInt(std::string_view text)
{
    try {
        return mirado::StrToInt(text);
    } catch (const mirado::Error &) {
        return std::nullopt;
    }
}

std::optional<double> TryStrToFloat(std::string_view text, char separator)
{
    try {
        return mirado::StrToFloat(text, separator);
    } catch (const mirado::Error &) {
        return std::nullopt;
    }
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The integer rules read the other way round: the prefix decides the base,
// std::from_chars reads the digits, which must all be used.
std::optional<std::int32_t> ExpectedInt(std::string_view text)
{
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    int base = 10;
    bool negative = false;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        base = 16;
        text.remove_prefix(1);
    } else if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !std::all_of(text.begin(), text.end(), [&](char c) {
            return base == 16 ? IsHexDigit(c) : (c >= '0' && c <= '9');
        }))
        return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    const std::uint64_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    if (ec != std::errc() || end != text.data() + text.size() || magnitude > limit)
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                              : static_cast<std::int64_t>(magnitude));
}

// The number of significant digits in a FloatToStr text.
std::size_t SignificantDigits(std::string_view text)
{
    text = text.substr(0, text.find('E'));
    const std::size_t first = text.find_first_of("123456789");
    if (first == std::string_view::npos)
        return 0;
    return static_cast<std::size_t>(std::count_if(text.begin() + static_cast<std::ptrdiff_t>(first),
                                                  text.end(),
                                                  [](char c) { return c >= '0' && c <= '9'; }));
}

// FloatToStr's text of `value` has at most 15 significant digits, no
// needless zeros or separator, and reads back to within them.
void CheckWrittenBack(double value, char separator)
{
    const std::string text = mirado::FloatToStr(value, separator);
    if (std::isnan(value)) {
        MIRADO_FUZZ_REQUIRE(text == "NAN");
        return;
    }
    if (std::isinf(value)) {
        MIRADO_FUZZ_REQUIRE(text == (value < 0 ? "-INF" : "INF"));
        return;
    }
    MIRADO_FUZZ_REQUIRE(!text.empty() && SignificantDigits(text) <= 15);
    MIRADO_FUZZ_REQUIRE(text.find(separator == '.' ? ',' : '.') == std::string::npos);
    const std::string mantissa = text.substr(0, text.find('E'));
    if (mantissa.find(separator) != std::string::npos)
        MIRADO_FUZZ_REQUIRE(mantissa.back() != '0' && mantissa.back() != separator);

    const std::optional<double> back = TryStrToFloat(text, separator);
    if (!back) {
        MIRADO_FUZZ_REQUIRE(std::fabs(value) > kLargestReadableBack);
        return;
    }
    // Half a unit in the 15th digit, plus the rounding of the reading.
    const double tolerance = 5.3e-15 * std::fabs(value) + std::numeric_limits<double>::denorm_min();
    MIRADO_FUZZ_REQUIRE(std::fabs(*back - value) <= tolerance);
}

// The same text with full stops and commas exchanged.
std::string SwapSeparators(std::string_view text)
{
    std::string out(text);
    for (char &c : out) {
        if (c == '.')
            c = ',';
        else if (c == ',')
            c = '.';
    }
    return out;
}

void CheckFloatText(std::string_view text, char separator)
{
    const std::optional<double> value = TryStrToFloat(text, separator);
    const char other = separator == '.' ? ',' : '.';
    MIRADO_FUZZ_REQUIRE(TryStrToFloat(SwapSeparators(text), other) == value);
    if (!value)
        return;
    MIRADO_FUZZ_REQUIRE(std::isfinite(*value));

    // strtod reads every accepted text whole, to the same value. Past the
    // largest double it reports a range error, and the text must not have
    // been accepted; below the smallest, both give zero or strtod the nearest
    // tiny one.
    std::string c(text.substr(0, text.find_last_not_of(' ') + 1));
    std::replace(c.begin(), c.end(), separator, '.');
    errno = 0;
    char *end = nullptr;
    const double expected = std::strtod(c.c_str(), &end);
    MIRADO_FUZZ_REQUIRE(end == c.c_str() + c.size());
    if (errno == ERANGE) {
        MIRADO_FUZZ_REQUIRE(!std::isinf(expected));
        MIRADO_FUZZ_REQUIRE(std::fabs(*value) <= std::numeric_limits<double>::min());
    } else
        MIRADO_FUZZ_REQUIRE(*value == expected);

    CheckWrittenBack(*value, separator);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    const std::optional<std::int32_t> integer = TryStrToInt(text);
    MIRADO_FUZZ_REQUIRE(integer == ExpectedInt(text));
    if (integer)
        MIRADO_FUZZ_REQUIRE(TryStrToInt(std::to_string(*integer)) == integer);

    CheckFloatText(text, '.');
    CheckFloatText(text, ',');

    if (size >= sizeof(double)) {
        double value = 0.0;
        std::memcpy(&value, data, sizeof value);
        CheckWrittenBack(value, '.');
        CheckWrittenBack(value, ',');
    }
    return 0;
}
