// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

#include "errors.h"

namespace mirado {

namespace {

// The written exponent is counted up to this and no further. Beyond it the
// count of digits in any text that fits in memory cannot move the value back
// into range, so overflow and underflow are still told apart.
constexpr long long kExponentLimit = 1'000'000'000'000'000;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::int32_t StrToInt(std::string_view text)
{
    const auto fail = [&]() { ThrowNotValidInteger(std::string(text)); };

    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;

    // Sign, then decimal digits.
    bool negative = false;
    bool hex = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    } else if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }

    if (i == text.size())
        fail();

    // Accumulate in 64 bits; stop as soon as the value leaves the 32-bit range.
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hex ? HexDigitValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0)
            fail();
        value = value * (hex ? 16 : 10) + digit;
        if (value > limit)
            fail();
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

double StrToFloat(std::string_view text, char decimalSeparator)
{
    const auto fail = [&]() { ThrowNotValidFloat(std::string(text)); };

    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;

    // Rebuild the number in the form std::from_chars reads (full stop,
    // no leading plus), which is independent of the C locale.
    std::string plain;
    plain.reserve(text.size());
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    std::size_t mantissaDigits = 0;
    long long leadingIntegerDigits = 0; // significant digits before the separator
    long long leadingFractionZeros = 0; // zeros after the separator before the first non-zero
    bool seenNonZero = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        plain += text[i];
        ++mantissaDigits;
        seenNonZero = seenNonZero || text[i] != '0';
        if (seenNonZero)
            ++leadingIntegerDigits;
    }
    if (i < text.size() && text[i] == decimalSeparator) {
        plain += '.';
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            plain += text[i];
            ++mantissaDigits;
            if (!seenNonZero && text[i] == '0')
                ++leadingFractionZeros;
            seenNonZero = seenNonZero || text[i] != '0';
        }
    }
    if (mantissaDigits == 0)
        fail();

    long long exponent = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        plain += 'e';
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            plain += text[i];
            ++i;
        }
        std::size_t exponentDigits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            plain += text[i];
            ++exponentDigits;
            if (exponent < kExponentLimit)
                exponent = exponent * 10 + (text[i] - '0');
        }
        if (exponentDigits == 0)
            fail();
        if (negativeExponent)
            exponent = -exponent;
    }

    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i != text.size())
        fail();

    double value = 0.0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Decimal exponent of the leading significant digit tells overflow
        // from underflow.
        const long long magnitude = leadingIntegerDigits > 0 ? exponent + leadingIntegerDigits - 1
                                                             : exponent - leadingFractionZeros - 1;
        if (magnitude >= 0)
            fail();
        value = 0.0;
    } else if (ec != std::errc() || end != plain.data() + plain.size()) {
        fail();
    }
    if (!std::isfinite(value))
        fail();
    return negative ? -value : value;
}

std::string FloatToStr(double value, char decimalSeparator)
{
    constexpr int kSignificantDigits = 15;
    constexpr int kFixedMinExponent = -4; // 0.0001
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0.0)
        return "0";
    // The largest doubles would round up past the largest double and could
    // not be read back; they are written as the largest 15-digit value below.
    constexpr double kLargestWritable = 1.79769313486231e308;
    if (std::fabs(value) > kLargestWritable)
        value = std::copysign(kLargestWritable, value);

    // Round to 15 significant digits: d.dddddddddddddde±x.
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                         std::chars_format::scientific, kSignificantDigits - 1);
    if (ec != std::errc())
        return "0";
    const std::string_view scientific(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t ePos = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, ePos))
        if (IsDigit(c))
            digits += c;
    int exponent = 0;
    std::from_chars(scientific.data() + ePos + 1 + (scientific[ePos + 1] == '+' ? 1 : 0),
                    scientific.data() + scientific.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = value < 0 ? "-" : "";
    if (exponent >= kFixedMinExponent && exponent < kSignificantDigits) {
        if (exponent < 0) {
            out += '0';
            out += decimalSeparator;
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        } else {
            const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= integerDigits) {
                out += digits;
                out.append(integerDigits - digits.size(), '0');
            } else {
                out += digits.substr(0, integerDigits);
                out += decimalSeparator;
                out += digits.substr(integerDigits);
            }
        }
    } else {
        out += digits[0];
        if (digits.size() > 1) {
            out += decimalSeparator;
            out += digits.substr(1);
        }
        out += 'E';
        out += std::to_string(exponent);
    }
    return out;
}

} // namespace mirado
