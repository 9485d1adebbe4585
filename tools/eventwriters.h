// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The events of nights as text: the Sun's and the Moon's, and each chosen
// object's rise, transit, set and dark hours above the altitude limit.

#include <optional>
#include <string>

#include "data/site.h"
#include "night/elevationmodel.h"
#include "night/eventtext.h"
#include "night/sunmoon.h"
#include "output.h"

namespace mirado::tool {

// One format of the events output. The run calls begin once; then per date
// in order beginNight, object once per object as soon as its events are
// computed, and endNight; and end once. Nothing of an object is kept after
// its call, so the output costs no memory per object.
class EventWriter
{
public:
    virtual ~EventWriter() = default;
    // `model` computes the objects' events.
    virtual void begin(const SiteValues &site, double minAltitudeDeg,
                       const ElevationModel &model) = 0;
    virtual void beginNight(const TDateRec &date, const NightEvents &events) = 0;
    virtual void object(const ObjectNight &object) = 0;
    virtual void endNight() = 0;
    virtual void end() = 0;
};

// One row per object per night, or one per night with the object columns
// empty when no object is chosen.
class CsvEventWriter : public EventWriter
{
public:
    explicit CsvEventWriter(Output &out) : out_(out) {}
    void begin(const SiteValues &site, double minAltitudeDeg, const ElevationModel &model) override;
    void beginNight(const TDateRec &date, const NightEvents &events) override;
    void object(const ObjectNight &object) override;
    void endNight() override;
    void end() override {}

private:
    Output &out_;
    std::optional<EventCsvNight> night_;
    bool nightHasObjects_ = false;
};

class JsonEventWriter : public EventWriter
{
public:
    explicit JsonEventWriter(Output &out) : out_(out) {}
    void begin(const SiteValues &site, double minAltitudeDeg, const ElevationModel &model) override;
    void beginNight(const TDateRec &date, const NightEvents &events) override;
    void object(const ObjectNight &object) override;
    void endNight() override;
    void end() override;

private:
    Output &out_;
    bool first_ = true;
    TDateRec date_{};
    bool firstObject_ = true;
};

// The conventions of the events by `model`, stated in the JSON output.
std::string EventConventions(const ElevationModel &model);

} // namespace mirado::tool
