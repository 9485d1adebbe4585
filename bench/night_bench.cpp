// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the night engine: the Sun's and the Moon's events night by night,
// and a year of nights for a hundred objects.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "astro/clocktime.h"
#include "night/events.h"
#include "night/sunmoon.h"

namespace {

using namespace mirado;

const NightSite kTokyo{139.7, 35.7, 9.0};

TDateRec NthDayOf2027(int n)
{
    return DateTimeValue(DateTimeValue::FromParts({2027, 1, 1}, 0, 0, 0).seconds() +
                         std::int64_t{n} * 86400)
        .date();
}

struct Object
{
    TRightAscension ra;
    TDeclination dec;
};

std::vector<Object> Objects(int count)
{
    std::mt19937 random(42);
    std::vector<Object> objects;
    for (int i = 0; i < count; ++i) {
        objects.push_back(
            {{static_cast<std::int32_t>(random() % 24), static_cast<std::int32_t>(random() % 60),
              random() % 600 / 10.0},
             {random() % 2 ? 1 : -1, static_cast<std::int32_t>(random() % 90),
              static_cast<std::int32_t>(random() % 60), static_cast<double>(random() % 60)}});
    }
    return objects;
}

void BM_SunMoonEventsOneNight(benchmark::State &state)
{
    int n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SunMoonEvents(NthDayOf2027(n), kTokyo));
        n = (n + 1) % 365;
    }
}
BENCHMARK(BM_SunMoonEventsOneNight);

void BM_ObjectNightEvents(benchmark::State &state)
{
    const std::vector<Object> objects = Objects(100);
    const NightEvents night = SunMoonEvents({2027, 1, 15}, kTokyo);
    std::size_t i = 0;
    for (auto _ : state) {
        const Object &o = objects[i];
        benchmark::DoNotOptimize(ObjectNightEvents(o.ra, o.dec, {2027, 1, 15}, kTokyo,
                                                   night.darkIntervals, 30.0, nullptr));
        i = (i + 1) % objects.size();
    }
}
BENCHMARK(BM_ObjectNightEvents);

// The whole season: 365 nights of the Sun and the Moon and 100 objects.
void BM_YearOfNights100Objects(benchmark::State &state)
{
    const std::vector<Object> objects = Objects(100);
    for (auto _ : state) {
        for (int n = 0; n < 365; ++n) {
            const TDateRec date = NthDayOf2027(n);
            const NightEvents night = SunMoonEvents(date, kTokyo);
            for (const Object &o : objects) {
                benchmark::DoNotOptimize(ObjectNightEvents(o.ra, o.dec, date, kTokyo,
                                                           night.darkIntervals, 30.0, nullptr));
            }
        }
    }
}
BENCHMARK(BM_YearOfNights100Objects)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
