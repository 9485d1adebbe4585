// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mirado {

// The decimal separator of the locale the program is made for.
inline constexpr char kDefaultDecimalSeparator = '.';

// Integer conversion of a text: optional leading blanks (0x20 only), an
// optional "+" or "-", then decimal digits; without a sign the digits may
// instead be hexadecimal after "$", "x", "X", "0x" or "0X". Nothing may follow
// the digits. The value must fit a signed 32-bit integer.
// Raises "'%s' is not a valid integer value" otherwise.
std::int32_t StrToInt(std::string_view text);

// Floating-point conversion: optional leading blanks, an optional sign, digits
// with an optional decimal separator and fraction, an optional exponent (E or
// e, optional sign, digits), optional trailing blanks, nothing else. At least
// one digit must stand before the exponent. A value too large for a double is
// not valid; one too small becomes zero.
// Raises "'%s' is not a valid floating point value" otherwise.
double StrToFloat(std::string_view text, char decimalSeparator);

// The general decimal form with at most 15 significant digits: fixed notation
// for magnitudes from 0.0001 with at most 15 digits before the separator,
// scientific (1E-5, -1.5E20) otherwise; trailing zeros and a needless
// separator dropped; zero is "0".
std::string FloatToStr(double value, char decimalSeparator);

} // namespace mirado
