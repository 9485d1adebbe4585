// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The catalogue of the tool's benchmark, also the input of the test that
// keeps its output fixed byte for byte.

#include <cstdio>
#include <string>

namespace mirado::bench {

// `count` lines; object i at right ascension i * 7919 seconds of time modulo
// a day, declination -60 + (i * 37 mod 140) degrees, lines ending in CR LF.
// The astropy comparison (astropy_night.py) computes the same objects.
inline std::string BenchCatalogue(int count)
{
    std::string text;
    char line[64];
    for (int i = 0; i < count; ++i) {
        const int ra = i * 7919 % 86400;
        const int dec = -60 + i * 37 % 140;
        std::snprintf(line, sizeof line, "Object %04d, %d:%02d:%02d, %+d:00:00\r\n", i, ra / 3600,
                      ra / 60 % 60, ra % 60, dec);
        text += line;
    }
    return text;
}

} // namespace mirado::bench
