// SPDX-License-Identifier: GPL-3.0-or-later
// The text outputs' numbers against std::to_chars, which they must equal
// byte for byte.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "night/textformat.h"

namespace mirado {
namespace {

std::string Reference(double value)
{
    char text[kMaxNumberChars];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string Written(double value)
{
    char text[kMaxNumberChars];
    return std::string(text, WriteNumber(text, value));
}

TEST(WriteNumber, EdgesOfItsOwnRange)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const struct
    {
        const char *name;
        double value;
    } rows[] = {
        {"lowest power of two", std::ldexp(1.0, -7)},
        {"just below it", std::nextafter(std::ldexp(1.0, -7), 0.0)},
        {"just above it", std::nextafter(std::ldexp(1.0, -7), 1.0)},
        {"just below 2^7", std::nextafter(128.0, 0.0)},
        {"2^7", 128.0},
        {"one, below a power of two's narrow gap", 1.0},
        {"just below one", std::nextafter(1.0, 0.0)},
        {"a half", -0.5},
        {"whole", 90.0},
        {"shortest of 17 digits", 31.833333333333332},
        {"rounds up to a carry", 99.99999999999999},
        {"zero", 0.0},
        {"negative zero", -0.0},
        {"subnormal", 5e-324},
        {"infinity", -kInf},
        {"not a number", std::numeric_limits<double>::quiet_NaN()},
    };
    for (const auto &row : rows)
        EXPECT_EQ(Written(row.value), Reference(row.value)) << row.name;
    EXPECT_EQ(FormatNumber(12.5), "12.5");
}

// Random doubles of every exponent of its range and either sign, then
// short decimals such as the elevations' rounded neighbours, whose
// shortest text is a tie or an end of the interval that reads back.
TEST(WriteNumber, RandomValuesAsStdToChars)
{
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<std::uint64_t> fraction(0, (std::uint64_t{1} << 52) - 1);
    std::uniform_int_distribution<int> exponent(-8, 7);
    int mismatches = 0;
    for (int i = 0; i < 400'000 && mismatches < 5; ++i) {
        const std::uint64_t bits = (random() & (std::uint64_t{1} << 63)) |
                                   (static_cast<std::uint64_t>(exponent(random) + 1023) << 52) |
                                   fraction(random);
        const double value = std::bit_cast<double>(bits);
        const std::string want = Reference(value);
        const std::string got = Written(value);
        if (got != want) {
            ++mismatches;
            ADD_FAILURE() << "bits " << std::hex << bits << ": want " << want << ", got " << got;
        }
    }
    std::uniform_int_distribution<int> digits(1, 99'999);
    std::uniform_int_distribution<int> places(0, 7);
    for (int i = 0; i < 200'000 && mismatches < 5; ++i) {
        const double value = digits(random) / std::pow(10.0, places(random));
        for (const double near : {std::nextafter(value, 0.0), value, std::nextafter(value, 1e9)}) {
            const std::string want = Reference(near);
            const std::string got = Written(near);
            if (got != want) {
                ++mismatches;
                ADD_FAILURE() << "want " << want << ", got " << got;
            }
        }
    }
}

} // namespace
} // namespace mirado
