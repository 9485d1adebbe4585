// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "convert.h"
#include "encoding.h"
#include "lines.h"

namespace mirado {

// A right ascension as read from a catalogue line: sign and range unchecked.
struct TRightAscension
{
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    double seconds = 0.0;
};

// A declination: `sign` (+1 north, -1 south) multiplies the whole angle
// degrees + minutes / 60 + seconds / 3600, whose parts are unsigned.
struct TDeclination
{
    std::int32_t sign = 1;
    std::int32_t degrees = 0;
    std::int32_t minutes = 0;
    double seconds = 0.0;
};

struct ParsedObject
{
    std::string name; // field 1 as split: leading blanks gone, trailing blanks kept
    TRightAscension ra;
    TDeclination dec;
};

// Parses one catalogue line "name, hh:mm:ss.s, ±dd:mm:ss.s". Further fields
// and sub-fields are ignored and not even split, so a huge line costs no more
// than its first fields. The line is split as a text in `encoding`: only in
// Shift-JIS does a lead byte take the byte after it along. Raises the list's index error for a
// missing field or sub-field, the conversion errors for a sub-field that is not a number, and
// "Integer overflow" for a degrees or minutes sub-field of -2147483648. The declination is south
// when its degrees text carries a minus sign, also for -00.
ParsedObject ParseObjectLine(std::string_view line, char decimalSeparator, TextEncoding encoding);

// One object of a catalogue as its line gives it.
struct CatalogueObject
{
    int line = 0;     // 1-based line number in the catalogue
    std::string name; // the whole name, UTF-8
    TRightAscension ra;
    TDeclination dec;
};

// A catalogue as read: its lines, the encoding they are shown and split in
// (detected once from all of them), and the decimal separator its numbers
// are read with. The window, the planner and mirado-night read objects only
// through object(), so a line means the same to every one of them.
class ObjectCatalogue
{
public:
    ObjectCatalogue() = default;
    ObjectCatalogue(CatalogueLines lines, char decimalSeparator);

    // The catalogue in the file at `path`, a leading byte-order mark skipped.
    // Raises "ファイル %s は開けません" when the file cannot be read.
    static ObjectCatalogue Read(const std::string &path, char decimalSeparator);

    const CatalogueLines &lines() const { return lines_; }
    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    TextEncoding encoding() const { return encoding_; }
    char decimalSeparator() const { return decimalSeparator_; }

    // The object of line `index` (0-based, below size()), its name decoded.
    // Raises the line's error as ParseObjectLine does.
    CatalogueObject object(std::size_t index) const;

private:
    CatalogueLines lines_;
    TextEncoding encoding_ = TextEncoding::ShiftJis;
    char decimalSeparator_ = kDefaultDecimalSeparator;
};

} // namespace mirado
