// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parts of mirado-night that need Qt, run by mirado-night-chart: the
// chart and the season chart drawn as the window shows them, as PNG, SVG or
// PDF, and the window's present-moment texts in the system locale's formats.

#include "run.h"

namespace mirado::tool {

// The image writer and the present-moment texts. Starts an application on
// the offscreen platform when there is none, so no display is needed.
QtParts ChartParts();

} // namespace mirado::tool
