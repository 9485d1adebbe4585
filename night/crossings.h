// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Threshold crossings of an altitude curve over the night. The curve is a
// function of hours (12 to 36) giving degrees; it is handed over together
// with its breakpoints: samples in time order, the first at the span's start,
// the last at its end, with every turning point of the curve among them, so
// that the curve is monotonic between neighbours. A body counts as above a
// threshold when its altitude is at or above it.

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "nighttime.h"

namespace mirado {

struct NightSample
{
    double hours = 0.0;
    double degrees = 0.0;
};

struct NightCrossing
{
    double hours = 0.0;
    bool rising = false; // from below the threshold to at or above it
};

// The root search stops when the altitude is this close to the threshold or
// the bracket this short; both are far below what the events need.
inline constexpr double kCrossingToleranceDeg = 1e-6;
inline constexpr double kCrossingToleranceHours = 1e-5;
// Turning points are located to this many hours (18 s): near a turning point
// the altitude changes by less than 0.0001 degrees within it.
inline constexpr double kTurningToleranceHours = 0.005;

// The crossing of `threshold` between `a` and `b`, which lie on one monotonic
// piece on opposite sides of it. Regula falsi with the Illinois modification:
// the bracket is kept, so the search cannot leave it.
template <typename Curve>
double SolveCrossing(const Curve &curve, NightSample a, NightSample b, double threshold)
{
    constexpr int kMaxSteps = 100;
    double fa = a.degrees - threshold;
    double fb = b.degrees - threshold;
    int side = 0;
    double best = a.hours;
    for (int step = 0; step < kMaxSteps; ++step) {
        const double width = b.hours - a.hours;
        double t = a.hours + width * fa / (fa - fb);
        if (!(t > a.hours && t < b.hours)) // a flat or degenerate bracket
            t = a.hours + width / 2;
        best = t;
        const double ft = curve(t) - threshold;
        if (std::abs(ft) < kCrossingToleranceDeg || std::abs(width) < kCrossingToleranceHours)
            break;
        if ((ft >= 0) == (fb >= 0)) {
            b = {t, ft + threshold};
            fb = ft;
            if (side == -1)
                fa /= 2;
            side = -1;
        } else {
            a = {t, ft + threshold};
            fa = ft;
            if (side == +1)
                fb /= 2;
            side = +1;
        }
    }
    return best;
}

// Every crossing of `threshold` in time order.
template <typename Curve>
std::vector<NightCrossing>
FindCrossings(const Curve &curve, const std::vector<NightSample> &breakpoints, double threshold)
{
    std::vector<NightCrossing> crossings;
    for (std::size_t i = 1; i < breakpoints.size(); ++i) {
        const NightSample a = breakpoints[i - 1];
        const NightSample b = breakpoints[i];
        const bool aboveA = a.degrees >= threshold;
        const bool aboveB = b.degrees >= threshold;
        if (aboveA != aboveB)
            crossings.push_back({SolveCrossing(curve, a, b, threshold), aboveB});
    }
    return crossings;
}

// The first crossing in the given direction, if any.
inline std::optional<double> FirstCrossing(const std::vector<NightCrossing> &crossings, bool rising)
{
    for (const NightCrossing &c : crossings) {
        if (c.rising == rising)
            return c.hours;
    }
    return std::nullopt;
}

// The stretches of the span during which the curve is at or above
// `threshold` (`above` true) or below it (`above` false).
inline std::vector<NightInterval> IntervalsOf(const std::vector<NightSample> &breakpoints,
                                              const std::vector<NightCrossing> &crossings,
                                              double threshold, bool above)
{
    std::vector<NightInterval> intervals;
    if (breakpoints.empty())
        return intervals;
    bool inside = (breakpoints.front().degrees >= threshold) == above;
    double begin = breakpoints.front().hours;
    for (const NightCrossing &c : crossings) {
        if (inside)
            intervals.push_back({begin, c.hours});
        inside = c.rising == above;
        begin = c.hours;
    }
    if (inside)
        intervals.push_back({begin, breakpoints.back().hours});
    return intervals;
}

// The stretches common to two sets of disjoint intervals, each in time order.
inline std::vector<NightInterval> CommonIntervals(const std::vector<NightInterval> &a,
                                                  const std::vector<NightInterval> &b)
{
    std::vector<NightInterval> common;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const double begin = std::max(a[i].begin, b[j].begin);
        const double end = std::min(a[i].end, b[j].end);
        if (end > begin)
            common.push_back({begin, end});
        if (a[i].end < b[j].end)
            ++i;
        else
            ++j;
    }
    return common;
}

// Total hours common to two sets of disjoint intervals, each in time order,
// summed in time order.
inline double OverlapHours(const std::vector<NightInterval> &a, const std::vector<NightInterval> &b)
{
    double total = 0.0;
    for (const NightInterval &common : CommonIntervals(a, b))
        total += common.end - common.begin;
    return total;
}

// Breakpoints of a smooth curve found by sampling it every `stepHours` over
// the span: the span's ends and every turning point the samples show, each
// located by golden-section search between the samples around it.
template <typename Curve>
std::vector<NightSample> SampledBreakpoints(const Curve &curve, double stepHours)
{
    const int steps = static_cast<int>(std::ceil((kNightEndHours - kNightStartHours) / stepHours));
    const double step = (kNightEndHours - kNightStartHours) / steps;
    std::vector<NightSample> samples(steps + 1);
    for (int i = 0; i <= steps; ++i) {
        const double t = i == steps ? kNightEndHours : kNightStartHours + i * step;
        samples[i] = {t, curve(t)};
    }

    std::vector<NightSample> breakpoints{samples.front()};
    for (int i = 1; i < steps; ++i) {
        const double before = samples[i].degrees - samples[i - 1].degrees;
        const double after = samples[i + 1].degrees - samples[i].degrees;
        if ((before > 0) == (after > 0) && before != 0 && after != 0)
            continue;
        // A maximum when the curve stops rising, else a minimum.
        const double sense = before > 0 || after < 0 ? 1.0 : -1.0;
        constexpr double kInverseGolden = 0.6180339887498949;
        double lo = samples[i - 1].hours;
        double hi = samples[i + 1].hours;
        double x1 = hi - kInverseGolden * (hi - lo);
        double x2 = lo + kInverseGolden * (hi - lo);
        double f1 = sense * curve(x1);
        double f2 = sense * curve(x2);
        while (hi - lo > kTurningToleranceHours) {
            if (f1 > f2) {
                hi = x2;
                x2 = x1;
                f2 = f1;
                x1 = hi - kInverseGolden * (hi - lo);
                f1 = sense * curve(x1);
            } else {
                lo = x1;
                x1 = x2;
                f1 = f2;
                x2 = lo + kInverseGolden * (hi - lo);
                f2 = sense * curve(x2);
            }
        }
        const double t = (lo + hi) / 2;
        if (t > breakpoints.back().hours)
            breakpoints.push_back({t, curve(t)});
    }
    if (samples.back().hours > breakpoints.back().hours)
        breakpoints.push_back(samples.back());
    return breakpoints;
}

} // namespace mirado
