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

constexpr std::size_t kRowBatchBytes = 1 << 16;
// A curve is made ahead only when its name is shorter than this, so the
// texts of the batches in flight stay small.
constexpr std::size_t kMaxNameAhead = 1 << 10;

// The air mass to four decimals ("1.0423", "38.0886"): more than the
// formula's own accuracy, and far cheaper to write than the shortest
// round-trip form.
void AppendAirmass(std::string &text, double airmass)
{
    const auto tenThousandths = static_cast<long long>(std::llround(airmass * 10000.0));
    char digits[32];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, tenThousandths / 10000);
    text.append(digits, end);
    const auto fraction = static_cast<int>(tenThousandths % 10000);
    text += '.';
    text += static_cast<char>('0' + fraction / 1000);
    text += static_cast<char>('0' + fraction / 100 % 10);
    text += static_cast<char>('0' + fraction / 10 % 10);
    text += static_cast<char>('0' + fraction % 10);
}

void AppendNumber(std::string &text, double value)
{
    char digits[kMaxNumberChars];
    text.append(digits, WriteNumber(digits, value));
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
    out_ << "line,name,x,elevation,local,ut,airmass\n";
}

void CsvWriter::curve(const PlannedCurve &curve)
{
    const std::string prefix = std::to_string(curve.line) + "," + CsvField(curve.name) + ",";
    const bool hugePrefix = prefix.size() >= kRowBatchBytes;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        if (unique_ && IsSecondOfEqualPair(i))
            continue;
        // A huge name goes out as it is, never copied.
        if (hugePrefix)
            out_ << std::string_view(prefix);
        std::string &rows = out_.pending();
        if (!hugePrefix)
            rows += prefix;
        appendRow(rows, curve, i);
        out_.settle();
    }
}

void CsvWriter::appendRow(std::string &rows, const PlannedCurve &curve, std::size_t i) const
{
    rows += head_[i];
    AppendNumber(rows, curve.points[i].elevationDeg);
    rows += tail_[i];
    if (const std::optional<double> airmass = Airmass(curve.points[i].elevationDeg))
        AppendAirmass(rows, *airmass);
    rows += '\n';
}

bool CsvWriter::formatAhead(const PlannedCurve &curve, std::string &text) const
{
    if (curve.name.size() >= kMaxNameAhead)
        return false;
    const std::string prefix = std::to_string(curve.line) + "," + CsvField(curve.name) + ",";
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        if (unique_ && IsSecondOfEqualPair(i))
            continue;
        text += prefix;
        appendRow(text, curve, i);
    }
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
    const SiteValues &site = plan.site();
    out_ << "{\"date\":\"" << std::string_view(FormatIsoDate(plan.date())) << "\",\n\"site\":";
    WriteJsonSite(out_, site);
    out_ << ",\n\"model\":";
    WriteJsonString(out_, plan.modelDescription());
    out_ << ",\n\"objects\":[";
}

void JsonWriter::appendPoint(std::string &text, const PlannedCurve &curve, std::size_t i,
                             bool first) const
{
    text += first ? "{" : ",{";
    text += head_[i];
    const double elevation = curve.points[i].elevationDeg;
    if (std::isfinite(elevation))
        AppendNumber(text, elevation);
    else
        text += "null";
    text += tail_[i];
    if (const std::optional<double> airmass = Airmass(elevation))
        AppendAirmass(text, *airmass);
    else
        text += "null";
    text += '}';
}

std::string JsonWriter::curveHead(const PlannedCurve &curve) const
{
    return "{\"line\":" + std::to_string(curve.line) + ",\"name\":\"" + JsonEscape(curve.name) +
           "\",\"points\":[";
}

void JsonWriter::curve(const PlannedCurve &curve)
{
    out_ << (first_ ? "\n" : ",\n") << std::string_view(curveHead(curve));
    bool firstPoint = true;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        if (unique_ && IsSecondOfEqualPair(i))
            continue;
        appendPoint(out_.pending(), curve, i, firstPoint);
        out_.settle();
        firstPoint = false;
    }
    out_ << "]}";
    first_ = false;
}

bool JsonWriter::formatAhead(const PlannedCurve &curve, std::string &text) const
{
    if (curve.name.size() >= kMaxNameAhead)
        return false;
    text += curveHead(curve);
    bool firstPoint = true;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        if (unique_ && IsSecondOfEqualPair(i))
            continue;
        appendPoint(text, curve, i, firstPoint);
        firstPoint = false;
    }
    text += "]}";
    return true;
}

void JsonWriter::writeAhead(const std::string &text)
{
    out_ << (first_ ? "\n" : ",\n") << std::string_view(text);
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
