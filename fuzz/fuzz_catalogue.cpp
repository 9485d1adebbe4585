// SPDX-License-Identifier: GPL-3.0-or-later
//
// ParseObjectLine on the input as one catalogue line, with a full stop and
// with a comma as the decimal separator, in Shift-JIS and (when the input is
// valid UTF-8) in UTF-8; the name it finds is the first field SplitFields
// finds, and the night's curve of every object it accepts is drawn as the
// window would draw it. Inputs run up to 1 MB.

#include <cmath>
#include <string>
#include <string_view>

#include <vector>

#include "data/catalogue.h"
#include "data/convert.h"
#include "data/encoding.h"
#include "data/errors.h"
#include "data/fields.h"
#include "fuzz_support.h"
#include "night/curve.h"

namespace {

// Whole splits of longer lines would only slow the run.
constexpr std::size_t kMaxComparedLength = 4096;

void Check(std::string_view line, char decimalSeparator, mirado::TextEncoding encoding)
{
    mirado::ParsedObject object;
    try {
        object = mirado::ParseObjectLine(line, decimalSeparator, encoding);
    } catch (const mirado::Error &) {
        return;
    }

    // Reading only the first fields finds what splitting them all finds.
    if (line.size() <= kMaxComparedLength) {
        const std::vector<std::string> fields = mirado::SplitFields(",", " ", line, encoding);
        MIRADO_FUZZ_REQUIRE(fields.size() >= 3 && fields[0] == object.name);
        const std::vector<std::string> ra = mirado::SplitFields(":", " ", fields[1], encoding);
        MIRADO_FUZZ_REQUIRE(ra.size() >= 3 && mirado::StrToInt(ra[0]) == object.ra.hours);
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
    for (const char decimalSeparator : {'.', ','}) {
        Check(line, decimalSeparator, mirado::TextEncoding::ShiftJis);
        if (mirado::IsValidUtf8(line))
            Check(line, decimalSeparator, mirado::TextEncoding::Utf8);
    }
    return 0;
}
