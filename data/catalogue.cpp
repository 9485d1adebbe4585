// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue.h"

#include <vector>

#include "checked.h"
#include "fields.h"

namespace mirado {

namespace {

constexpr std::string_view kBlanks = " ";
constexpr std::string_view kFieldSeparators = ",";
constexpr std::string_view kSubFieldSeparators = ":";

bool HasMinusSign(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    return first != std::string_view::npos && text[first] == '-';
}

} // namespace

ParsedObject ParseObjectLine(std::string_view line, char decimalSeparator)
{
    ParsedObject object;

    // Name and coordinate fields.
    const std::vector<std::string> fields = SplitFields(kFieldSeparators, kBlanks, line);
    object.name = ListItem(fields, 0);

    // Right ascension.
    const std::vector<std::string> ra =
        SplitFields(kSubFieldSeparators, kBlanks, ListItem(fields, 1));
    object.ra.hours = StrToInt(ListItem(ra, 0));
    object.ra.minutes = StrToInt(ListItem(ra, 1));
    object.ra.seconds = StrToFloat(ListItem(ra, 2), decimalSeparator);

    // Declination: the sign comes from the degrees text, so -00:30:00 is south.
    const std::vector<std::string> dec =
        SplitFields(kSubFieldSeparators, kBlanks, ListItem(fields, 2));
    const std::string &degreesText = ListItem(dec, 0);
    const std::int32_t degrees = StrToInt(degreesText);
    object.dec.sign = (degrees < 0 || HasMinusSign(degreesText)) ? -1 : 1;
    object.dec.degrees = CheckedAbs(degrees);
    object.dec.minutes = CheckedAbs(StrToInt(ListItem(dec, 1)));
    object.dec.seconds = std::fabs(StrToFloat(ListItem(dec, 2), decimalSeparator));
    return object;
}

} // namespace mirado
