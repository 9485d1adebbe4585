// SPDX-License-Identifier: GPL-3.0-or-later
#include "textwriters.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "data/errors.h"
#include "night/airmass.h"
#include "night/nighttime.h"

namespace mirado::tool {

namespace {

// A curve is made ahead only when its name is shorter than this, so the
// texts of the batches in flight stay small.
constexpr std::size_t kMaxNameAhead = 1 << 10;
// The longest air mass WriteAirmass writes: a whole part of long long,
// a point and four decimals.
constexpr std::size_t kMaxAirmassChars = 32;

// The air mass to four decimals ("1.0423", "38.0886"): more than the
// formula's own accuracy, and far cheaper to write than the shortest
// round-trip form.
char *WriteAirmass(char *at, double airmass)
{
    const auto tenThousandths = static_cast<long long>(std::llround(airmass * 10000.0));
    at = std::to_chars(at, at + kMaxAirmassChars, tenThousandths / 10000).ptr;
    const auto fraction = static_cast<int>(tenThousandths % 10000);
    *at++ = '.';
    *at++ = static_cast<char>('0' + fraction / 1000);
    *at++ = static_cast<char>('0' + fraction / 100 % 10);
    *at++ = static_cast<char>('0' + fraction / 10 % 10);
    *at++ = static_cast<char>('0' + fraction % 10);
    return at;
}

char *Put(char *at, std::string_view text)
{
    return std::copy(text.begin(), text.end(), at);
}

std::size_t LongestOf(const std::array<std::string, kNightPointCount> &texts)
{
    std::size_t longest = 0;
    for (const std::string &text : texts)
        longest = std::max(longest, text.size());
    return longest;
}

std::string CsvPrefix(const PlannedCurve &curve)
{
    return std::to_string(curve.line) + "," + CsvField(curve.name) + ",";
}

} // namespace

void WriteJsonNumber(Output &out, double value)
{
    if (std::isfinite(value))
        out << value;
    else
        out << "null";
}

void WriteJsonString(Output &out, std::string_view text)
{
    out << '"' << JsonEscape(text) << '"';
}

void WriteJsonSite(Output &out, const SiteValues &site)
{
    out << "{\"longitude\":";
    WriteJsonNumber(out, site.longitude);
    out << ",\"latitude\":";
    WriteJsonNumber(out, site.latitude);
    out << ",\"timezone\":";
    WriteJsonNumber(out, site.timeZone);
    out << '}';
}

PointMoments::PointMoments(const TDateRec &date, double timeZone)
{
    for (std::size_t i = 0; i < kNightPointCount; ++i) {
        const DateTimeValue moment = NightDateTime(date, NightPointX(i));
        local_[i] = FormatIsoDateTime(moment);
        try {
            ut_[i] = FormatIsoDateTime(GetUTDateTime(moment, timeZone)) + "Z";
        } catch (const Error &) {
            ut_[i].clear();
        }
    }
}

void CsvWriter::begin(const NightPlan &plan)
{
    const PointMoments moments(plan.date(), plan.site().timeZone);
    for (std::size_t i = 0; i < kNightPointCount; ++i) {
        head_[i] = FormatNumber(NightPointX(i)) + ",";
        tail_[i] = "," + moments.local(i) + "," + moments.ut(i) + ",";
    }
    rowBytes_ = LongestOf(head_) + kMaxNumberChars + LongestOf(tail_) + kMaxAirmassChars + 1;
    out_ << "line,name,x,elevation,local,ut,airmass\n";
}

char *CsvWriter::writeRow(char *at, const PlannedCurve &curve, std::size_t i) const
{
    at = Put(at, head_[i]);
    at = WriteNumber(at, curve.points[i].elevationDeg);
    at = Put(at, tail_[i]);
    if (const std::optional<double> airmass = Airmass(curve.points[i].elevationDeg))
        at = WriteAirmass(at, *airmass);
    *at++ = '\n';
    return at;
}

void CsvWriter::curve(const PlannedCurve &curve)
{
    // A name too long to be made ahead: the prefix goes out as it is, never
    // copied with its rows.
    const std::string prefix = CsvPrefix(curve);
    std::string row(rowBytes_, '\0');
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        if (unique_ && IsSecondOfEqualPair(i))
            continue;
        const char *end = writeRow(row.data(), curve, i);
        out_ << std::string_view(prefix) << std::string_view(row.data(), end - row.data());
    }
}

bool CsvWriter::formatAhead(const PlannedCurve &curve, TextBuffer &text) const
{
    if (curve.name.size() >= kMaxNameAhead)
        return false;
    const std::string prefix = CsvPrefix(curve);
    char *at = text.room(curve.points.size() * (prefix.size() + rowBytes_));
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        if (unique_ && IsSecondOfEqualPair(i))
            continue;
        at = writeRow(Put(at, prefix), curve, i);
    }
    text.commit(at);
    return true;
}

void JsonWriter::begin(const NightPlan &plan)
{
    const PointMoments moments(plan.date(), plan.site().timeZone);
    for (std::size_t i = 0; i < kNightPointCount; ++i) {
        head_[i] = "\"x\":" + FormatNumber(NightPointX(i)) + ",\"elevation\":";
        tail_[i] = ",\"local\":\"" + moments.local(i) + "\",\"ut\":" +
                   (moments.ut(i).empty() ? std::string("null") : "\"" + moments.ut(i) + "\"") +
                   ",\"airmass\":";
    }
    pointBytes_ = LongestOf(head_) + kMaxNumberChars + LongestOf(tail_) + kMaxAirmassChars + 3;
    const SiteValues &site = plan.site();
    out_ << "{\"date\":\"" << std::string_view(FormatIsoDate(plan.date())) << "\",\n\"site\":";
    WriteJsonSite(out_, site);
    out_ << ",\n\"model\":";
    WriteJsonString(out_, plan.modelDescription());
    out_ << ",\n\"objects\":[";
}

char *JsonWriter::writePoint(char *at, const PlannedCurve &curve, std::size_t i, bool first) const
{
    at = Put(at, first ? "{" : ",{");
    at = Put(at, head_[i]);
    const double elevation = curve.points[i].elevationDeg;
    at = std::isfinite(elevation) ? WriteNumber(at, elevation) : Put(at, "null");
    at = Put(at, tail_[i]);
    if (const std::optional<double> airmass = Airmass(elevation))
        at = WriteAirmass(at, *airmass);
    else
        at = Put(at, "null");
    *at++ = '}';
    return at;
}

std::string JsonWriter::curveHead(const PlannedCurve &curve) const
{
    return "{\"line\":" + std::to_string(curve.line) + ",\"name\":\"" + JsonEscape(curve.name) +
           "\",\"points\":[";
}

void JsonWriter::curve(const PlannedCurve &curve)
{
    out_ << (first_ ? "\n" : ",\n") << std::string_view(curveHead(curve));
    std::string point(pointBytes_, '\0');
    bool firstPoint = true;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        if (unique_ && IsSecondOfEqualPair(i))
            continue;
        const char *end = writePoint(point.data(), curve, i, firstPoint);
        out_ << std::string_view(point.data(), end - point.data());
        firstPoint = false;
    }
    out_ << "]}";
    first_ = false;
}

bool JsonWriter::formatAhead(const PlannedCurve &curve, TextBuffer &text) const
{
    if (curve.name.size() >= kMaxNameAhead)
        return false;
    text.append(",\n");
    text.append(curveHead(curve));
    char *at = text.room(curve.points.size() * pointBytes_ + 2);
    bool firstPoint = true;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        if (unique_ && IsSecondOfEqualPair(i))
            continue;
        at = writePoint(at, curve, i, firstPoint);
        firstPoint = false;
    }
    text.commit(Put(at, "]}"));
    return true;
}

void JsonWriter::writeAhead(std::string_view text)
{
    out_ << (first_ ? text.substr(1) : text);
    first_ = false;
}

void JsonWriter::end()
{
    out_ << (first_ ? "]}\n" : "\n]}\n");
}

std::string JsonEscape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '"':
            escaped += "\\\"";
            break;
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char code[8];
                std::snprintf(code, sizeof code, "\\u%04x", c);
                escaped += code;
            } else {
                escaped += c;
            }
        }
    }
    return escaped;
}

} // namespace mirado::tool
