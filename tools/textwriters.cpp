// SPDX-License-Identifier: GPL-3.0-or-later
#include "textwriters.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "data/errors.h"
#include "night/airmass.h"
#include "night/nighttime.h"

namespace mirado::night {

namespace {

constexpr std::size_t kRowBatchBytes = 1 << 16;

void AppendNumber(std::string &text, double value)
{
    char digits[32];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, end);
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

const char *const kModelStatement =
    "Geometric elevation of the catalogue's coordinates as given: no refraction, precession, "
    "nutation or aberration; Greenwich sidereal time from the 1900 formula. Each point is "
    "computed for its clock time on the night's date, the morning points (x from 24) too, as "
    "the Mirado chart draws them.";

PointMoments::PointMoments(const TDateRec &date, double timeZone)
{
    for (std::size_t i = 0; i < kNightPointCount; ++i) {
        const THMSRec clock = NightPointClockTime(i);
        const DateTimeValue moment = DateTimeValue::FromParts(date, clock.hours, clock.minutes, 0);
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
        rows += head_[i];
        AppendNumber(rows, curve.points[i].elevationDeg);
        rows += tail_[i];
        if (const std::optional<double> airmass = Airmass(curve.points[i].elevationDeg))
            AppendNumber(rows, *airmass);
        rows += '\n';
        out_.settle();
    }
}

void JsonWriter::begin(const NightPlan &plan)
{
    moments_.emplace(plan.date(), plan.site().timeZone);
    const SiteValues &site = plan.site();
    out_ << "{\"date\":\"" << std::string_view(FormatIsoDate(plan.date())) << "\",\n\"site\":";
    WriteJsonSite(out_, site);
    out_ << ",\n\"model\":";
    WriteJsonString(out_, kModelStatement);
    out_ << ",\n\"objects\":[";
}

void JsonWriter::curve(const PlannedCurve &curve)
{
    out_ << (first_ ? "\n" : ",\n") << "{\"line\":" << curve.line << ",\"name\":";
    WriteJsonString(out_, curve.name);
    out_ << ",\"points\":[";
    bool firstPoint = true;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        if (unique_ && IsSecondOfEqualPair(i))
            continue;
        out_ << (firstPoint ? "{\"x\":" : ",{\"x\":");
        WriteJsonNumber(out_, curve.points[i].x);
        out_ << ",\"elevation\":";
        WriteJsonNumber(out_, curve.points[i].elevationDeg);
        out_ << ",\"local\":\"" << std::string_view(moments_->local(i)) << "\",\"ut\":";
        if (moments_->ut(i).empty())
            out_ << "null";
        else
            out_ << '"' << std::string_view(moments_->ut(i)) << '"';
        out_ << ",\"airmass\":";
        if (const std::optional<double> airmass = Airmass(curve.points[i].elevationDeg))
            WriteJsonNumber(out_, *airmass);
        else
            out_ << "null";
        out_ << '}';
        firstPoint = false;
    }
    out_ << "]}";
    first_ = false;
}

void JsonWriter::end()
{
    out_ << (first_ ? "]}\n" : "\n]}\n");
}

std::string CsvField(std::string_view text)
{
    const auto special = [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; };
    const bool needsQuotes = std::any_of(text.begin(), text.end(), special) ||
                             (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!needsQuotes)
        return std::string(text);
    std::string quoted = "\"";
    quoted.reserve(text.size() + 2);
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
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

} // namespace mirado::night
