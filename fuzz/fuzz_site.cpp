// SPDX-License-Identifier: GPL-3.0-or-later
//
// ReadSiteFile on a file holding the input, with a full stop and with a comma
// as the decimal separator. Every site it reads is written with WriteSiteFile
// and read back, and used as the window uses it: for a night's curve and for
// the universal and sidereal time texts.

#include <cmath>
#include <limits>
#include <string>

#include "data/errors.h"
#include "data/site.h"
#include "fuzz_support.h"
#include "night/curve.h"
#include "night/nowtexts.h"

namespace {

// Values no site file gives: the reader never yields NaN, and a line holds
// no line break.
constexpr double kUnset = std::numeric_limits<double>::quiet_NaN();
const std::string kUnsetPath = "\n";

// The 15-digit text of a value this large rounds past the largest double.
constexpr double kLargestReadableBack = 1.79769313486231e308;

bool Near(double a, double b)
{
    return std::fabs(a - b) <= 5.3e-15 * std::fabs(a) + std::numeric_limits<double>::denorm_min();
}

void ReportWarning(const std::string &text)
{
    MIRADO_FUZZ_REQUIRE(!text.empty());
}

// The window draws any site it has read and shows its clock texts; the
// astronomy routines trap their own errors, and the universal time raises
// only the program's error.
void CheckInUse(const mirado::SiteValues &site)
{
    const mirado::TRightAscension vegaRa{18, 36, 56.3};
    const mirado::TDeclination vegaDec{1, 38, 47, 1.0};
    const mirado::NightCurve curve =
        mirado::NightElevations(vegaRa, vegaDec, {2026, 12, 7}, site.longitude, site.latitude,
                                site.timeZone, ReportWarning);
    for (const mirado::NightPoint &point : curve)
        MIRADO_FUZZ_REQUIRE(point.elevationDeg >= -90.0 && point.elevationDeg <= 90.0);

    const auto now = mirado::DateTimeValue::FromParts({2026, 12, 7}, 21, 0, 0);
    const std::string lst =
        mirado::SiderealTimeText(now, site.longitude, site.timeZone, ReportWarning);
    MIRADO_FUZZ_REQUIRE(lst.rfind(" LST ", 0) == 0);

    const mirado::LocaleFormats formats{
        [](const mirado::TDateRec &date) { return std::to_string(date.year); },
        [](std::int32_t hours, std::int32_t minutes, std::int32_t seconds) {
            return std::to_string(hours) + ":" + std::to_string(minutes) + ":" +
                   std::to_string(seconds);
        }};
    try {
        MIRADO_FUZZ_REQUIRE(
            mirado::UniversalTimeText(now, site.timeZone, formats).rfind(" UT ", 0) == 0);
    } catch (const mirado::Error &) {
    }
}

void Check(const mirado::fuzz::ScratchFile &file, const mirado::fuzz::ScratchFile &saved,
           char decimalSeparator)
{
    mirado::SiteValues site{kUnset, kUnset, kUnset, kUnsetPath};
    try {
        MIRADO_FUZZ_REQUIRE(mirado::ReadSiteFile(file.path(), site, decimalSeparator));
    } catch (const mirado::Error &) {
        // The values are stored in file order up to the failing line.
        MIRADO_FUZZ_REQUIRE(std::isnan(site.latitude) || !std::isnan(site.longitude));
        MIRADO_FUZZ_REQUIRE(std::isnan(site.timeZone) || !std::isnan(site.latitude));
        MIRADO_FUZZ_REQUIRE(site.cataloguePath == kUnsetPath);
        return;
    }
    for (const double value : {site.longitude, site.latitude, site.timeZone})
        MIRADO_FUZZ_REQUIRE(std::isfinite(value));
    MIRADO_FUZZ_REQUIRE(site.cataloguePath.find_first_of(std::string("\r\n\0", 3)) ==
                        std::string::npos);
    CheckInUse(site);

    // What was read is saved and read back the same, within 15 digits.
    mirado::WriteSiteFile(saved.path(), site, decimalSeparator);
    mirado::SiteValues again{kUnset, kUnset, kUnset, kUnsetPath};
    try {
        MIRADO_FUZZ_REQUIRE(mirado::ReadSiteFile(saved.path(), again, decimalSeparator));
    } catch (const mirado::Error &) {
        MIRADO_FUZZ_REQUIRE(std::fabs(site.longitude) > kLargestReadableBack ||
                            std::fabs(site.latitude) > kLargestReadableBack ||
                            std::fabs(site.timeZone) > kLargestReadableBack);
        return;
    }
    MIRADO_FUZZ_REQUIRE(Near(site.longitude, again.longitude));
    MIRADO_FUZZ_REQUIRE(Near(site.latitude, again.latitude));
    MIRADO_FUZZ_REQUIRE(Near(site.timeZone, again.timeZone));
    MIRADO_FUZZ_REQUIRE(again.cataloguePath == site.cataloguePath);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const mirado::fuzz::ScratchFile file("site.txt");
    static const mirado::fuzz::ScratchFile saved("saved-site.txt");
    file.write(std::string_view(reinterpret_cast<const char *>(data), size));
    Check(file, saved, '.');
    Check(file, saved, ',');
    return 0;
}
