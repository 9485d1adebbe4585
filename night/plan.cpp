// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan.h"

#include "nightmarks.h"

namespace mirado {

std::string NightTitle(const TDateRec &date)
{
    return "Mirado " + std::to_string(date.year) + "." + std::to_string(date.month) + "." +
           std::to_string(date.day);
}

std::string LegendTitle(const std::string &name)
{
    return ShortenedUtf8(name, kMaxLegendTitleLength);
}

NightPlan::NightPlan(const TDateRec &date, const SiteValues &site, const ElevationModel &model)
    : date_(date), site_(site), title_(NightTitle(date) + model.titleMark()),
      modelDescription_(model.description()),
      night_(model.night(date, {site.longitude, site.latitude, site.timeZone}))
{}

PlannedCurve NightPlan::curve(const CatalogueObject &object, const WarningReporter &warn) const
{
    PlannedCurve planned;
    planned.line = object.line;
    planned.name = object.name;
    planned.legendTitle = LegendTitle(planned.name);
    planned.points = night_->object(object.ra, object.dec, warn)->curve();
    planned.ra = object.ra;
    planned.dec = object.dec;
    return planned;
}

std::optional<NightPoint> NightPlan::transit(TRightAscension ra, TDeclination dec,
                                             const WarningReporter &warn) const
{
    return TransitInNight(*night_->object(ra, dec, warn));
}

} // namespace mirado
