// SPDX-License-Identifier: GPL-3.0-or-later
//
// ParseObjectLine on the input as one catalogue line, with a full stop and
// with a comma as the decimal separator, and the night's curve of every
// object it accepts, as the window would draw it.

#include <cmath>
#include <string>
#include <string_view>

#include "data/catalogue.h"
#include "data/errors.h"
#include "fuzz_support.h"
#include "night/curve.h"

namespace {

void Check(std::string_view line, char decimalSeparator)
{
    mirado::ParsedObject object;
    try {
        object = mirado::ParseObjectLine(line, decimalSeparator);
    } catch (const mirado::Error &) {
        return;
    }

    MIRADO_FUZZ_REQUIRE(!object.name.empty() && object.name[0] != ' ');
    MIRADO_FUZZ_REQUIRE(line.find(object.name) != std::string_view::npos);
    MIRADO_FUZZ_REQUIRE(object.dec.sign == 1 || object.dec.sign == -1);
    MIRADO_FUZZ_REQUIRE(object.dec.degrees >= 0 && object.dec.minutes >= 0);
    MIRADO_FUZZ_REQUIRE(object.dec.seconds >= 0.0 && std::isfinite(object.dec.seconds));
    MIRADO_FUZZ_REQUIRE(std::isfinite(object.ra.seconds));

    // Any object the reader accepts can be drawn: the astronomy routines trap
    // their own errors, and every point lies on the chart's scale.
    const mirado::NightCurve curve = mirado::NightElevations(
        object.ra, object.dec, {2026, 12, 7}, 139.7, 35.7, 9.0, [](const std::string &text) {
            MIRADO_FUZZ_REQUIRE(text.rfind("GetDegElevation ", 0) == 0 ||
                                text.rfind("dblGet", 0) == 0 || text.rfind("GetSecGST ", 0) == 0);
        });
    for (const mirado::NightPoint &point : curve)
        MIRADO_FUZZ_REQUIRE(point.elevationDeg >= -90.0 && point.elevationDeg <= 90.0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view line(reinterpret_cast<const char *>(data), size);
    Check(line, '.');
    Check(line, ',');
    return 0;
}
