// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace mirado {

// The Windows font families Mirado's appearance is written in. Code names its
// fonts by these; InstallFontSubstitutions makes them draw in installed fonts.
inline constexpr const char *kMsGothic = "ＭＳ ゴシック";
inline constexpr const char *kMsPGothic = "ＭＳ Ｐゴシック";
inline constexpr const char *kMsPMincho = "ＭＳ Ｐ明朝";
inline constexpr const char *kSystemFont = "System";
inline constexpr const char *kFixedSysFont = "FixedSys";
inline constexpr const char *kCenturyFont = "Century";
inline constexpr const char *kArialFont = "Arial";

// Maps each family above to installed families of the same kind: the
// Japanese ones (fixed-pitch gothic, proportional gothic, proportional mincho)
// to lists of candidates tried in order, the Latin ones (sans-serif,
// monospace, serif, Arial) to one font each from the program's dependencies.
// Call once, at program start, before any window is built.
void InstallFontSubstitutions();

// A font of `family` whose characters are `heightPx` pixels high, whatever the
// resolution of the device it is drawn on.
QFont PixelFont(const char *family, int heightPx, bool bold = false);

} // namespace mirado
