// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "night/plan.h"
#include "output.h"

namespace mirado::tool {

// One output format of a night's curves. The run calls begin once, curve for
// each catalogue line that parsed, in catalogue order, and end once, also
// when a bad line stopped the run early, so every format can close what it
// opened (a JSON document stays valid). A writer holds no curve longer than it
// needs; text writers stream each one out as it comes.
class CurveWriter
{
public:
    virtual ~CurveWriter() = default;
    virtual void begin(const NightPlan &plan) = 0;
    // An image lays its legend out before its first curve: when true, the
    // run gives, after begin, the legend title of every curve it will give,
    // in the same order.
    virtual bool wantsTitlesFirst() const { return false; }
    virtual void title(const std::string &legendTitle) { static_cast<void>(legendTitle); }
    virtual void curve(const PlannedCurve &curve) = 0;
    virtual void end() = 0;

    // Text writers may make a curve's text ahead, on the thread that planned
    // it, after begin: true when the writer has appended to `text` what
    // curve() would write for it, false when it does not (an image, or a
    // name so long that its rows are better streamed than held). writeAhead
    // then writes such texts in their turn, those of several curves in a
    // row at once.
    virtual bool formatAhead(const PlannedCurve &, TextBuffer &) const { return false; }
    virtual void writeAhead(std::string_view text) { static_cast<void>(text); }
};

} // namespace mirado::tool
