// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue.h"

#include <cmath>
#include <utility>

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

ParsedObject ParseObjectLine(std::string_view line, char decimalSeparator, TextEncoding encoding)
{
    ParsedObject object;

    // Name.
    FieldScanner fields(kFieldSeparators, kBlanks, line, encoding);
    object.name = std::string(fields.item(0));

    // Right ascension.
    FieldScanner ra(kSubFieldSeparators, kBlanks, fields.item(1), encoding);
    object.ra.hours = StrToInt(ra.item(0));
    object.ra.minutes = StrToInt(ra.item(1));
    object.ra.seconds = StrToFloat(ra.item(2), decimalSeparator);

    // Declination: the sign comes from the degrees text, so -00:30:00 is south.
    FieldScanner dec(kSubFieldSeparators, kBlanks, fields.item(2), encoding);
    const std::string_view degreesText = dec.item(0);
    const std::int32_t degrees = StrToInt(degreesText);
    object.dec.sign = (degrees < 0 || HasMinusSign(degreesText)) ? -1 : 1;
    object.dec.degrees = CheckedAbs(degrees);
    object.dec.minutes = CheckedAbs(StrToInt(dec.item(1)));
    object.dec.seconds = std::fabs(StrToFloat(dec.item(2), decimalSeparator));
    return object;
}

ObjectCatalogue::ObjectCatalogue(CatalogueLines lines, char decimalSeparator)
    : lines_(std::move(lines)), encoding_(DetectDisplayEncoding(lines_)),
      decimalSeparator_(decimalSeparator)
{}

ObjectCatalogue ObjectCatalogue::Read(const std::string &path, char decimalSeparator)
{
    CatalogueLines lines;
    ReadLines(path, lines);
    return ObjectCatalogue(std::move(lines), decimalSeparator);
}

CatalogueObject ObjectCatalogue::object(std::size_t index) const
{
    const ParsedObject parsed = ParseObjectLine(lines_[index], decimalSeparator_, encoding_);
    return {static_cast<int>(index + 1), DecodeToUtf8(parsed.name, encoding_), parsed.ra,
            parsed.dec};
}

} // namespace mirado
