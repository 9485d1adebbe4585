// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The night's curves as text: CSV and JSON, each point with its place on the
// night axis, its elevation and the moment it was computed for.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "astro/clocktime.h"
#include "curvewriter.h"
#include "data/site.h"
#include "night/eventtext.h"
#include "output.h"

namespace mirado::tool {

// The two date-time columns of each point of a night, formed once a night:
// the point's moment on the night axis, site-local "2026-12-08T01:30:00"
// (x = 25.5 of the night of 2026-12-07), and its universal time
// "2026-12-07T16:30:00Z" (empty when the time zone's minutes do not fit).
class PointMoments
{
public:
    PointMoments(const TDateRec &date, double timeZone);
    const std::string &local(std::size_t index) const { return local_[index]; }
    const std::string &ut(std::size_t index) const { return ut_[index]; }

private:
    std::array<std::string, kNightPointCount> local_;
    std::array<std::string, kNightPointCount> ut_;
};

class CsvWriter : public CurveWriter
{
public:
    CsvWriter(Output &out, bool unique) : out_(out), unique_(unique) {}
    void begin(const NightPlan &plan) override;
    void curve(const PlannedCurve &curve) override;
    void end() override {}
    bool formatAhead(const PlannedCurve &curve, TextBuffer &text) const override;
    void writeAhead(std::string_view text) override { out_ << text; }

private:
    // Writes point `i`'s row after its line and name; at most rowBytes_.
    char *writeRow(char *at, const PlannedCurve &curve, std::size_t i) const;

    Output &out_;
    bool unique_;
    // Per point: "x," and ",local,ut,", the row's parts around the elevation;
    // the air mass follows.
    std::array<std::string, kNightPointCount> head_;
    std::array<std::string, kNightPointCount> tail_;
    std::size_t rowBytes_ = 0;
};

class JsonWriter : public CurveWriter
{
public:
    JsonWriter(Output &out, bool unique) : out_(out), unique_(unique) {}
    void begin(const NightPlan &plan) override;
    void curve(const PlannedCurve &curve) override;
    void end() override;
    // The text made ahead starts with the "," that parts it from the curve
    // before; writeAhead leaves it out before the first curve.
    bool formatAhead(const PlannedCurve &curve, TextBuffer &text) const override;
    void writeAhead(std::string_view text) override;

private:
    std::string curveHead(const PlannedCurve &curve) const;
    // Writes point `i` as an object, after a comma unless it is the first;
    // at most pointBytes_.
    char *writePoint(char *at, const PlannedCurve &curve, std::size_t i, bool first) const;

    Output &out_;
    bool unique_;
    bool first_ = true;
    // Per point: "x":…,"elevation": and ,"local":…,"ut":…,"airmass": around
    // the elevation.
    std::array<std::string, kNightPointCount> head_;
    std::array<std::string, kNightPointCount> tail_;
    std::size_t pointBytes_ = 0;
};

// Escapes a JSON string (without the surrounding quotes).
std::string JsonEscape(std::string_view text);

// A number as JSON has it (null for what JSON cannot hold), a quoted string,
// and the site as {"longitude", "latitude", "timezone"}.
void WriteJsonNumber(Output &out, double value);
void WriteJsonString(Output &out, std::string_view text);
void WriteJsonSite(Output &out, const SiteValues &site);

} // namespace mirado::tool
