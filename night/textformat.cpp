// SPDX-License-Identifier: GPL-3.0-or-later
#include "textformat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace mirado {

namespace {

// The doubles WriteNumber writes itself: binary exponents -9 to 6, so
// 2^-9 <= |value| < 2^7, which std::to_chars writes in fixed notation.
constexpr int kMantissaBits = 52;
constexpr int kExponentBias = 1023;
constexpr std::uint64_t kExponentMask = 0x7ff;
constexpr int kLowestExponent = -9;
constexpr int kHighestExponent = 6;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233"
    "34353637383940414243444546474849505152535455565758596061626364656667"
    "6869707172737475767778798081828384858687888990919293949596979899";

// Writes the decimal digits of `n` (below 10^8) to end at `end`, at least
// `minimum` of them, with leading zeros; returns where they start.
char *WriteDigitsBefore(char *end, std::uint32_t n, int minimum)
{
    char *const last = end;
    while (n >= 100) {
        const std::uint32_t pair = n % 100;
        n /= 100;
        *--end = kDigitPairs[2 * pair + 1];
        *--end = kDigitPairs[2 * pair];
    }
    if (n >= 10) {
        *--end = kDigitPairs[2 * n + 1];
        *--end = kDigitPairs[2 * n];
    } else {
        *--end = static_cast<char>('0' + n);
    }
    while (last - end < minimum)
        *--end = '0';
    return end;
}

// Writes the decimal digits of `n` (below 10^24) to end at `end`; returns
// where they start. Eight digits at a time in 32-bit arithmetic.
char *WriteDigitsBefore(char *end, std::uint64_t n)
{
    constexpr std::uint32_t kEightDigits = 100'000'000;
    while (n >= kEightDigits) {
        end = WriteDigitsBefore(end, static_cast<std::uint32_t>(n % kEightDigits), 8);
        n /= kEightDigits;
    }
    return WriteDigitsBefore(end, static_cast<std::uint32_t>(n), 0);
}

#ifdef __SIZEOF_INT128__
using Wide = unsigned __int128;

constexpr Wide PowerOfTen(int n)
{
    Wide power = 1;
    for (; n > 0; --n)
        power *= 10;
    return power;
}

// The decimal places the digits are searched from for a double of binary
// exponent `exponent`: enough that the interval of the numbers that read
// back as it spans at least 16 units of the last place, so at least one
// digit is dropped and the last is rounded, while its whole part stays
// below 10 * 2^57. The 78913 / 2^18 is log10(2) rounded down.
constexpr int StartPlaces(int exponent)
{
    return ((kMantissaBits + 4 - exponent) * 78913 >> 18) + 1;
}
static_assert(StartPlaces(kLowestExponent) == 20 && StartPlaces(kHighestExponent) == 16);

// 10^StartPlaces(exponent), from kLowestExponent on.
constexpr auto kStartScales = [] {
    std::array<Wide, kHighestExponent - kLowestExponent + 1> scales{};
    for (int e = kLowestExponent; e <= kHighestExponent; ++e)
        scales[static_cast<std::size_t>(e - kLowestExponent)] = PowerOfTen(StartPlaces(e));
    return scales;
}();

// The shortest digits of the value of `bits`, whose binary exponent is
// `exponent` (kLowestExponent to kHighestExponent), in fixed notation.
char *WriteFixedShortest(char *first, std::uint64_t bits, int exponent)
{
    if (bits >> 63 != 0)
        *first++ = '-';

    // The value is mv / 2^shift; the numbers that read back as it lie from
    // mm / 2^shift to mp / 2^shift, the ends themselves when the mantissa is
    // even (a tie reads back to even). Below a power of two the gap is half.
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << kMantissaBits) - 1);
    const std::uint64_t mantissa = fraction | (std::uint64_t{1} << kMantissaBits);
    const int shift = kMantissaBits + 2 - exponent;
    const std::uint64_t mv = 4 * mantissa;
    const std::uint64_t mp = mv + 2;
    const std::uint64_t mm = mv - (fraction == 0 ? 1 : 2);
    const bool endsRead = mantissa % 2 == 0;

    // All three times 10^places, exactly: whole parts, and whether the
    // parts cut off are zero.
    const int places = StartPlaces(exponent);
    const Wide scale = kStartScales[static_cast<std::size_t>(exponent - kLowestExponent)];
    const Wide cutMask = (Wide{1} << shift) - 1;
    const Wide r = Wide{mv} * scale;
    const Wide p = Wide{mp} * scale;
    const Wide m = Wide{mm} * scale;
    auto vr = static_cast<std::uint64_t>(r >> shift);
    auto vp = static_cast<std::uint64_t>(p >> shift);
    auto vm = static_cast<std::uint64_t>(m >> shift);
    bool vrExact = (r & cutMask) == 0;
    bool vmExact = endsRead && (m & cutMask) == 0;
    if (!endsRead && (p & cutMask) == 0)
        --vp;

    // Drop digits while a shorter number still lies between the ends, and
    // then while the lower end itself, which reads back, ends in zero.
    int removed = 0;
    std::uint64_t lastRemoved = 0;
    const auto drop = [&] {
        vrExact &= lastRemoved == 0;
        lastRemoved = vr % 10;
        vr /= 10;
        vp /= 10;
        vm /= 10;
        ++removed;
    };
    while (vp / 10 > vm / 10) {
        vmExact &= vm % 10 == 0;
        drop();
    }
    if (vmExact) {
        while (vm % 10 == 0)
            drop();
    }

    // Round to nearest, a tie to even; never to a lower end that does not
    // read back.
    if (vrExact && lastRemoved == 5 && vr % 2 == 0)
        lastRemoved = 4;
    const std::uint64_t digits = vr + ((vr == vm && !vmExact) || lastRemoved >= 5);

    // Fixed notation.
    char buffer[24];
    char *const end = buffer + sizeof buffer;
    const char *start = WriteDigitsBefore(end, digits);
    const int count = static_cast<int>(end - start);
    const int exponent10 = removed - places;
    const int wholeDigits = count + exponent10;
    if (exponent10 >= 0) {
        first = std::copy(start, static_cast<const char *>(end), first);
        return std::fill_n(first, exponent10, '0');
    }
    if (wholeDigits > 0) {
        first = std::copy(start, start + wholeDigits, first);
        *first++ = '.';
        return std::copy(start + wholeDigits, static_cast<const char *>(end), first);
    }
    *first++ = '0';
    *first++ = '.';
    first = std::fill_n(first, -wholeDigits, '0');
    return std::copy(start, static_cast<const char *>(end), first);
}

#endif

} // namespace

char *WriteNumber(char *first, double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    [[maybe_unused]] const int exponent =
        static_cast<int>((bits >> kMantissaBits) & kExponentMask) - kExponentBias;
#ifdef __SIZEOF_INT128__
    if (exponent >= kLowestExponent && exponent <= kHighestExponent)
        return WriteFixedShortest(first, bits, exponent);
#endif
    return std::to_chars(first, first + kMaxNumberChars, value).ptr;
}

std::string FormatNumber(double value)
{
    char text[kMaxNumberChars];
    return std::string(text, WriteNumber(text, value));
}

std::string CsvField(std::string_view text)
{
    const auto special = [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; };
    const bool needsQuotes = std::any_of(text.begin(), text.end(), special) ||
                             (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!needsQuotes)
        return std::string(text);
    std::string quoted = "\"";
    quoted.reserve(text.size() + 2);
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

} // namespace mirado
