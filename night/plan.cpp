// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan.h"

#include "data/catalogue.h"

namespace mirado {

std::string NightTitle(const TDateRec &date)
{
    return "Mirado " + std::to_string(date.year) + "." + std::to_string(date.month) + "." +
           std::to_string(date.day);
}

NightPlan::NightPlan(const TDateRec &date, const SiteValues &site, TextEncoding encoding,
                     char decimalSeparator, const ElevationModel &model)
    : date_(date), site_(site), encoding_(encoding), decimalSeparator_(decimalSeparator),
      title_(NightTitle(date) + model.titleMark()), modelDescription_(model.description()),
      night_(model.night(date, {site.longitude, site.latitude, site.timeZone}))
{}

PlannedCurve NightPlan::curve(int index, std::string_view line, const WarningReporter &warn) const
{
    const ParsedObject object = ParseObjectLine(line, decimalSeparator_, encoding_);
    PlannedCurve planned;
    planned.line = index + 1;
    planned.name = DecodeToUtf8(object.name, encoding_);
    planned.legendTitle = ShortenedUtf8(planned.name, kMaxLegendTitleLength);
    planned.points = night_->object(object.ra, object.dec, warn)->curve();
    return planned;
}

} // namespace mirado
