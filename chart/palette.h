// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRgb>

#include <array>
#include <span>

namespace mirado {

// The automatic series colours, in the order they are handed out.
inline constexpr std::array<QRgb, 16> kSeriesPalette = {
    qRgb(255, 0, 0),     // red
    qRgb(0, 128, 0),     // green
    qRgb(255, 255, 0),   // yellow
    qRgb(0, 0, 255),     // blue
    qRgb(255, 255, 255), // white
    qRgb(128, 128, 128), // grey
    qRgb(255, 0, 255),   // fuchsia
    qRgb(0, 128, 128),   // teal
    qRgb(0, 0, 128),     // navy
    qRgb(128, 0, 0),     // maroon
    qRgb(0, 255, 0),     // lime
    qRgb(128, 128, 0),   // olive
    qRgb(128, 0, 128),   // purple
    qRgb(192, 192, 192), // silver
    qRgb(0, 255, 255),   // aqua
    qRgb(0, 0, 0),       // black
};

// The colour an automatic-colour series gets when it is attached: the first
// palette colour that none of `inUse` (the colours of the series already
// attached) matches, or the first palette colour when every one is taken.
// Colours are compared on red, green and blue; alpha is ignored.
QRgb PickAutomaticColour(std::span<const QRgb> inUse);

} // namespace mirado
