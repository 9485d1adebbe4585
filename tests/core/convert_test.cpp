// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/convert.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

#include "data/errors.h"

namespace mirado {
namespace {

struct IntRow
{
    const char *name;
    const char *text;
    bool valid;
    std::int32_t want;
};

TEST(StrToInt, Table)
{
    const IntRow rows[] = {
        {"plain", "18", true, 18},
        {"leading blanks", "  18", true, 18},
        {"trailing blank", "18 ", false, 0},
        {"plus", "+5", true, 5},
        {"minus", "-5", true, -5},
        {"minus zero", "-0", true, 0},
        {"dollar hex", "$1F", true, 31},
        {"x hex", "x1f", true, 31},
        {"X hex", "X10", true, 16},
        {"0x hex", "0x10", true, 16},
        {"0X hex", "0X7fffffff", true, 2147483647},
        {"signed hex", "-$10", false, 0},
        {"hex too big", "$80000000", false, 0},
        {"max", "2147483647", true, 2147483647},
        {"max + 1", "2147483648", false, 0},
        {"min", "-2147483648", true, std::numeric_limits<std::int32_t>::min()},
        {"min - 1", "-2147483649", false, 0},
        {"many digits", "00000000000000000000042", true, 42},
        {"tab is not a blank", "\t5", false, 0},
        {"empty", "", false, 0},
        {"blank only", " ", false, 0},
        {"sign only", "+", false, 0},
        {"prefix only", "0x", false, 0},
        {"inner blank", "1 2", false, 0},
        {"decimal point", "1.0", false, 0},
        {"blank after sign", "- 5", false, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.valid) {
            EXPECT_EQ(StrToInt(row.text), row.want);
        } else {
            try {
                const auto got = StrToInt(row.text);
                ADD_FAILURE() << "want an error, got " << got;
            } catch (const Error &e) {
                EXPECT_EQ(std::string(e.what()),
                          "'" + std::string(row.text) + "' is not a valid integer value");
            }
        }
    }
}

struct FloatRow
{
    const char *name;
    const char *text;
    char separator;
    bool valid;
    double want;
};

TEST(StrToFloat, Table)
{
    const FloatRow rows[] = {
        {"plain", "56.3", '.', true, 56.3},
        {"blanks both sides", "  56.3  ", '.', true, 56.3},
        {"exponent", "5.63E1", '.', true, 56.3},
        {"lower exponent with sign", "5.63e+1", '.', true, 56.3},
        {"negative exponent", "1.397E2", '.', true, 139.7},
        {"minus", "-1.5", '.', true, -1.5},
        {"plus", "+1.5", '.', true, 1.5},
        {"no integer part", ".5", '.', true, 0.5},
        {"no fraction", "5.", '.', true, 5.0},
        {"integer", "9", '.', true, 9.0},
        {"comma in full-stop locale", "1,5", '.', false, 0},
        {"comma locale", "1,5", ',', true, 1.5},
        {"full stop in comma locale", "1.5", ',', false, 0},
        {"tab", "\t1", '.', false, 0},
        {"exponent without digits", "1e", '.', false, 0},
        {"exponent only", "e5", '.', false, 0},
        {"separator only", ".", '.', false, 0},
        {"empty", "", '.', false, 0},
        {"overflow", "1e400", '.', false, 0},
        {"underflow becomes zero", "1e-400", '.', true, 0.0},
        {"underflow with leading zeros", "0.0001e-400", '.', true, 0.0},
        {"nan", "nan", '.', false, 0},
        {"inf", "inf", '.', false, 0},
        {"hex", "0x1p3", '.', false, 0},
        {"two signs", "+-1", '.', false, 0},
        {"inner blank", "1 .5", '.', false, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.valid) {
            EXPECT_EQ(StrToFloat(row.text, row.separator), row.want);
        } else {
            try {
                const auto got = StrToFloat(row.text, row.separator);
                ADD_FAILURE() << "want an error, got " << got;
            } catch (const Error &e) {
                EXPECT_EQ(std::string(e.what()),
                          "'" + std::string(row.text) + "' is not a valid floating point value");
            }
        }
    }
}

struct LongTextRow
{
    const char *name;
    std::string text;
    bool valid;
    double want;
};

// Texts whose digits outnumber what a small exponent counter could hold: the
// exponent and the count of leading digits together decide between a value
// too large, one that underflows to zero and one in range.
TEST(StrToFloat, LongMantissaAgainstLongExponent)
{
    const std::string millionZeros(1'000'000, '0');
    const LongTextRow rows[] = {
        {"many fraction zeros, larger exponent, too large", "0." + millionZeros + "1e99999999",
         false, 0.0},
        {"many integer digits, smaller negative exponent, underflow",
         "1" + millionZeros + "e-99999999", true, 0.0},
        {"many fraction zeros made up by the exponent", "0." + millionZeros + "25e1000003", true,
         250.0},
        {"many integer digits taken back by the exponent", "4" + millionZeros + "e-1000000", true,
         4.0},
        {"exponent of twenty digits, too large", "1e99999999999999999999", false, 0.0},
        {"exponent of twenty digits, underflow", "1e-99999999999999999999", true, 0.0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.valid) {
            EXPECT_EQ(StrToFloat(row.text, '.'), row.want);
        } else {
            try {
                const auto got = StrToFloat(row.text, '.');
                ADD_FAILURE() << "want an error, got " << got;
            } catch (const Error &e) {
                EXPECT_EQ(e.format(), kNotValidFloatFormat);
                EXPECT_EQ(e.argument(), row.text);
            }
        }
    }
}

struct FormatRow
{
    double value;
    char separator;
    const char *want;
};

TEST(FloatToStr, GeneralFormatWithFifteenDigits)
{
    const FormatRow rows[] = {
        {135.0, '.', "135"},
        {139.75, '.', "139.75"},
        {139.75, ',', "139,75"},
        {-9.5, '.', "-9.5"},
        {0.0, '.', "0"},
        {-0.0, '.', "0"},
        {0.1, '.', "0.1"},
        {0.0001, '.', "0.0001"},
        {0.00001, '.', "1E-5"},
        {-0.000012345, '.', "-1.2345E-5"},
        {1.0 / 3.0, '.', "0.333333333333333"},
        {2.0 / 3.0, '.', "0.666666666666667"},
        {123456789012345.0, '.', "123456789012345"},
        {1e15, '.', "1E15"},
        {999999999999999.9, '.', "1E15"},
        {1.5e20, '.', "1.5E20"},
        {139.7, '.', "139.7"},
        {35.123456789012345, '.', "35.1234567890123"},
        {std::numeric_limits<double>::max(), '.', "1.79769313486231E308"},
        {-std::numeric_limits<double>::max(), '.', "-1.79769313486231E308"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(FloatToStr(row.value, row.separator), row.want) << "value " << row.value;
}

TEST(FloatToStr, ReadsBackAsTheValueRoundedToFifteenDigits)
{
    for (const double value :
         {139.75, -9.5, 1.0 / 3.0, 1e-7, 35.6581, 1e300, -123.456e-10,
          std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min()}) {
        const double back = StrToFloat(FloatToStr(value, '.'), '.');
        EXPECT_NEAR(back, value, std::fabs(value) * 1e-14) << FloatToStr(value, '.');
    }
}

} // namespace
} // namespace mirado
