// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Checked signed 32-bit arithmetic. Every operation the program does on its
// integers goes through these: a result that does not fit raises
// "Integer overflow"; a value that does not fit its target raises
// "Range check error".

#include <cmath>
#include <cstdint>
#include <limits>

#include "errors.h"

namespace mirado {

inline std::int32_t FitInt32OrOverflow(std::int64_t wide)
{
    if (wide < std::numeric_limits<std::int32_t>::min() ||
        wide > std::numeric_limits<std::int32_t>::max())
        ThrowIntegerOverflow();
    return static_cast<std::int32_t>(wide);
}

inline std::int32_t CheckedAdd(std::int32_t a, std::int32_t b)
{
    return FitInt32OrOverflow(std::int64_t{a} + b);
}

inline std::int32_t CheckedSub(std::int32_t a, std::int32_t b)
{
    return FitInt32OrOverflow(std::int64_t{a} - b);
}

inline std::int32_t CheckedMul(std::int32_t a, std::int32_t b)
{
    return FitInt32OrOverflow(std::int64_t{a} * b);
}

inline std::int32_t CheckedAbs(std::int32_t a)
{
    return FitInt32OrOverflow(a < 0 ? -std::int64_t{a} : std::int64_t{a});
}

// Whole part of x toward zero, which must fit a signed 32-bit integer
// (a NaN does not fit either).
inline std::int32_t TruncToInt32(double x)
{
    const double whole = std::trunc(x);
    if (!(whole >= -2147483648.0 && whole <= 2147483647.0))
        ThrowRangeCheckError();
    return static_cast<std::int32_t>(whole);
}

// Square root that refuses a negative or NaN argument instead of giving NaN.
inline double CheckedSqrt(double x)
{
    if (!(x >= 0.0))
        ThrowInvalidFloatOp();
    return std::sqrt(x);
}

} // namespace mirado
