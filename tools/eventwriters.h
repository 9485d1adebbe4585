// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The events of nights as text: the Sun's and the Moon's, and each chosen
// object's rise, transit, set and dark hours above the altitude limit.

#include <string>
#include <vector>

#include "data/site.h"
#include "night/elevationmodel.h"
#include "night/eventrows.h"
#include "night/events.h"
#include "night/sunmoon.h"
#include "output.h"

namespace mirado::tool {

// One format of the events output. The run calls begin once, night once per
// date in order, and end once.
class EventWriter
{
public:
    virtual ~EventWriter() = default;
    // `model` computes the objects' events.
    virtual void begin(const SiteValues &site, double minAltitudeDeg,
                       const ElevationModel &model) = 0;
    virtual void night(const TDateRec &date, const NightEvents &events,
                       const std::vector<ObjectNight> &objects) = 0;
    virtual void end() = 0;
};

// One row per object per night, or one per night with the object columns
// empty when no object is chosen.
class CsvEventWriter : public EventWriter
{
public:
    explicit CsvEventWriter(Output &out) : out_(out) {}
    void begin(const SiteValues &site, double minAltitudeDeg, const ElevationModel &model) override;
    void night(const TDateRec &date, const NightEvents &events,
               const std::vector<ObjectNight> &objects) override;
    void end() override {}

private:
    Output &out_;
};

class JsonEventWriter : public EventWriter
{
public:
    explicit JsonEventWriter(Output &out) : out_(out) {}
    void begin(const SiteValues &site, double minAltitudeDeg, const ElevationModel &model) override;
    void night(const TDateRec &date, const NightEvents &events,
               const std::vector<ObjectNight> &objects) override;
    void end() override;

private:
    Output &out_;
    bool first_ = true;
};

// The conventions of the events by `model`, stated in the JSON output.
std::string EventConventions(const ElevationModel &model);

} // namespace mirado::tool
