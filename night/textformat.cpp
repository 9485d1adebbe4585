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

// The doubles WriteNumber writes itself: binary exponents -7 to 6, so
// 2^-7 <= |value| < 2^7, which std::to_chars writes in fixed notation.
constexpr int kMantissaBits = 52;
constexpr int kExponentBias = 1023;
constexpr std::uint64_t kExponentMask = 0x7ff;
constexpr int kLowestExponent = -7;
constexpr int kHighestExponent = 6;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233"
    "34353637383940414243444546474849505152535455565758596061626364656667"
    "6869707172737475767778798081828384858687888990919293949596979899";

// 10^0 to 10^19.
constexpr auto kPowersOfTen = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t &p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}();

// Writes `n`, below 1000.
char *WriteSmall(char *at, std::uint32_t n)
{
    if (n >= 100) {
        *at++ = static_cast<char>('0' + n / 100);
        n %= 100;
    } else if (n < 10) {
        *at++ = static_cast<char>('0' + n);
        return at;
    }
    std::memcpy(at, kDigitPairs + 2 * n, 2);
    return at + 2;
}

// Writes the eight decimal digits of `n` (below 10^8), leading zeros too.
// Its four pairs are found apart, not one after the other.
void WriteEightDigits(char *at, std::uint32_t n)
{
    const std::uint32_t high = n / 10'000;
    const std::uint32_t low = n % 10'000;
    std::memcpy(at, kDigitPairs + 2 * (high / 100), 2);
    std::memcpy(at + 2, kDigitPairs + 2 * (high % 100), 2);
    std::memcpy(at + 4, kDigitPairs + 2 * (low / 100), 2);
    std::memcpy(at + 6, kDigitPairs + 2 * (low % 100), 2);
}

// Writes the last `count` decimal digits of `n`, leading zeros too, to end
// at `end`.
void WriteDigitsBefore(char *end, std::uint64_t n, std::size_t count)
{
    constexpr std::uint64_t kHundredMillion = 100'000'000;
    for (; count >= 8; count -= 8) {
        end -= 8;
        WriteEightDigits(end, static_cast<std::uint32_t>(n % kHundredMillion));
        n /= kHundredMillion;
    }
    auto rest = static_cast<std::uint32_t>(n);
    for (; count >= 2; count -= 2) {
        end -= 2;
        std::memcpy(end, kDigitPairs + 2 * (rest % 100), 2);
        rest /= 100;
    }
    if (count == 1)
        *--end = static_cast<char>('0' + rest % 10);
}

#ifdef __SIZEOF_INT128__
using Wide = unsigned __int128;

// The decimal places the digits are searched from for a double of binary
// exponent `exponent`: enough that the interval of the numbers that read
// back as it spans at least 16 units of the last place, so at least one
// digit is dropped and the last is rounded, while its whole part stays
// below 10 * 2^57. The 78913 / 2^18 is log10(2) rounded down.
constexpr int StartPlaces(int exponent)
{
    return ((kMantissaBits + 4 - exponent) * 78913 >> 18) + 1;
}
static_assert(StartPlaces(kLowestExponent) == 19 && StartPlaces(kHighestExponent) == 16);

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
    // parts cut off are zero. The shift is below 64 bits, the whole parts
    // fit 64 bits.
    const int places = StartPlaces(exponent);
    const std::uint64_t scale = kPowersOfTen[static_cast<std::size_t>(places)];
    const std::uint64_t cutMask = (std::uint64_t{1} << shift) - 1;
    const auto wholePart = [shift](Wide product) {
        return static_cast<std::uint64_t>(product >> 64) << (64 - shift) |
               static_cast<std::uint64_t>(product) >> shift;
    };
    const Wide r = Wide{mv} * scale;
    const Wide p = Wide{mp} * scale;
    const Wide m = Wide{mm} * scale;
    std::uint64_t vr = wholePart(r);
    std::uint64_t vp = wholePart(p);
    std::uint64_t vm = wholePart(m);
    bool vrExact = (static_cast<std::uint64_t>(r) & cutMask) == 0;
    bool vmExact = endsRead && (static_cast<std::uint64_t>(m) & cutMask) == 0;
    if (!endsRead && (static_cast<std::uint64_t>(p) & cutMask) == 0)
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

    // Fixed notation. The whole part of the text is that of the value, as
    // no whole number lies between a double and a text that reads back as
    // it.
    const auto whole =
        static_cast<std::uint32_t>(std::bit_cast<double>(bits & ~(std::uint64_t{1} << 63)));
    const int exponent10 = removed - places;
    if (exponent10 >= 0)
        return WriteSmall(first, whole);
    const auto fractionDigits = static_cast<std::size_t>(-exponent10);
    first = WriteSmall(first, whole);
    *first++ = '.';
    char *const end = first + fractionDigits;
    WriteDigitsBefore(end, digits - whole * kPowersOfTen[fractionDigits], fractionDigits);
    return end;
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
