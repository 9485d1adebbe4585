// SPDX-License-Identifier: GPL-3.0-or-later
#include "textwriters.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "data/errors.h"

namespace mirado::night {

namespace {

constexpr std::size_t kRowBatchBytes = 1 << 16;

void AppendNumber(std::string &text, double value)
{
    char digits[32];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, end);
}

// Two digits, with a leading zero.
void AppendTwoDigits(std::string &text, int value)
{
    text += static_cast<char>('0' + value / 10);
    text += static_cast<char>('0' + value % 10);
}

std::string IsoDate(const TDateRec &date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

// A number as JSON has it; JSON has no infinities.
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

} // namespace

const char *const kModelStatement =
    "Geometric elevation of the catalogue's coordinates as given: no refraction, precession, "
    "nutation or aberration; Greenwich sidereal time from the 1900 formula. Each point is "
    "computed for its clock time on the night's date, the morning points (x from 24) too, as "
    "the Mirado chart draws them.";

std::string IsoDateTime(const DateTimeValue &value)
{
    const TDateRec d = value.date();
    const THMSRec t = value.time();
    std::string text = IsoDate(d);
    text += 'T';
    AppendTwoDigits(text, t.hours);
    text += ':';
    AppendTwoDigits(text, t.minutes);
    text += ':';
    AppendTwoDigits(text, static_cast<int>(t.seconds));
    return text;
}

PointMoments::PointMoments(const TDateRec &date, double timeZone)
{
    for (std::size_t i = 0; i < kNightPointCount; ++i) {
        const THMSRec clock = NightPointClockTime(i);
        const DateTimeValue moment = DateTimeValue::FromParts(date, clock.hours, clock.minutes, 0);
        local_[i] = IsoDateTime(moment);
        try {
            ut_[i] = IsoDateTime(GetUTDateTime(moment, timeZone)) + "Z";
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
        tail_[i] = "," + moments.local(i) + "," + moments.ut(i) + "\n";
    }
    out_ << "line,name,x,elevation,local,ut\n";
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
        out_.settle();
    }
}

void JsonWriter::begin(const NightPlan &plan)
{
    moments_.emplace(plan.date(), plan.site().timeZone);
    const SiteValues &site = plan.site();
    out_ << "{\"date\":\"" << std::string_view(IsoDate(plan.date())) << "\",\n\"site\":{";
    out_ << "\"longitude\":";
    WriteJsonNumber(out_, site.longitude);
    out_ << ",\"latitude\":";
    WriteJsonNumber(out_, site.latitude);
    out_ << ",\"timeZone\":";
    WriteJsonNumber(out_, site.timeZone);
    out_ << "},\n\"model\":";
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
