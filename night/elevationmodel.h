// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How an object's elevation over a night is computed: the one seam between
// the curves, the events and whichever model computes them.
//
// A model is set up for one night at one site (night), then for one object
// of that night (object): what depends on the night alone is prepared once
// for every object, what depends on the object alone once for every moment.
// Moments are hours after 00:00 site time of the night's date, 12 to 36, the
// measure of the chart's night axis (24 is midnight, 31 is 07:00 the next
// morning).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "astro/types.h"
#include "curve.h"
#include "data/catalogue.h"
#include "nighttime.h"

namespace mirado {

// A turning point of an object's elevation: the upper culmination (transit,
// the highest point) or the lower one.
struct Culmination
{
    double hours = 0.0;
    bool upper = false;
};

// One object prepared for one night at one site; valid while the night it
// came from lives.
class ObjectElevation
{
public:
    virtual ~ObjectElevation() = default;

    // Elevation in degrees, -90 to 90, at `hours` (12 to 36; a little outside
    // works too).
    virtual double elevationDeg(double hours) const = 0;

    // The night's 96 points, at the x of NightPointX.
    virtual NightCurve curve() const = 0;

    // Every culmination from 12 to 36 hours in time order, with at least one
    // upper culmination; between two neighbours the elevation is monotonic.
    virtual std::vector<Culmination> culminations() const = 0;
};

// A model set up for one night at one site. It holds nothing that changes,
// so several threads may prepare and use objects of it at once.
class NightElevationModel
{
public:
    virtual ~NightElevationModel() = default;

    // The object at `ra`, `dec` (the catalogue's coordinates). The model's
    // routines report their failures on it through `warn` and go on.
    virtual std::unique_ptr<ObjectElevation> object(TRightAscension ra, TDeclination dec,
                                                    WarningReporter warn) const = 0;
};

// The models' names, as --model and the user's settings name them.
inline constexpr std::string_view kChartModelName = "chart";
inline constexpr std::string_view kPreciseModelName = "precise";

class ElevationModel
{
public:
    virtual ~ElevationModel() = default;

    // "chart" or "precise", as --model names it.
    virtual std::string_view name() const = 0;

    // What the numbers are, in one paragraph of English: the statement of the
    // JSON output and of the events' conventions.
    virtual std::string description() const = 0;

    // Appended to the chart's title, so a chart tells which model drew it:
    // empty for the chart model.
    virtual std::string titleMark() const = 0;

    // The model for the night of `date` at `site`. Raises the program's Error
    // when the model cannot take the date or the site.
    virtual std::unique_ptr<NightElevationModel> night(TDateRec date,
                                                       const NightSite &site) const = 0;
};

// The model that --model `name` names, or none for an unknown name.
std::unique_ptr<ElevationModel> ElevationModelNamed(std::string_view name);

} // namespace mirado
