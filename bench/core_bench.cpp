// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the astronomy core, the catalogue reader and mirado-night.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "astro/elevation.h"
#include "data/lines.h"
#include "night/curve.h"
#include "tools/run.h"

namespace {

using namespace mirado;

// A catalogue of `count` lines spread over the sky, written once per size.
std::string MakeCatalogue(int count)
{
    const auto path =
        std::filesystem::temp_directory_path() / ("mirado-bench-" + std::to_string(count) + ".txt");
    if (!std::filesystem::exists(path)) {
        std::mt19937 random(42);
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < count; ++i) {
            out << "Object " << i << ", " << random() % 24 << ":" << random() % 60 << ":"
                << random() % 600 / 10.0 << ", " << (random() % 2 ? "+" : "-") << random() % 90
                << ":" << random() % 60 << ":" << random() % 60 << "\r\n";
        }
    }
    return path.string();
}

void BM_GetDegElevation(benchmark::State &state)
{
    int minute = 0;
    for (auto _ : state) {
        const THMSRec time{21, minute++ % 60, 0.0};
        benchmark::DoNotOptimize(GetDegElevation({6, 0, 0.0}, {1, 30, 0, 0.0}, {2001, 12, 31},
                                                 135.0, 35.0, time, 9.0, WarningReporter()));
    }
}
BENCHMARK(BM_GetDegElevation);

void BM_NightOfOneObject(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(NightElevations({6, 0, 0.0}, {1, 30, 0, 0.0}, {2001, 12, 31},
                                                 135.0, 35.0, 9.0, WarningReporter()));
}
BENCHMARK(BM_NightOfOneObject);

void BM_ReadCatalogueLines(benchmark::State &state)
{
    const std::string path = MakeCatalogue(static_cast<int>(state.range(0)));
    std::vector<std::string> lines;
    for (auto _ : state) {
        ReadLines(path, lines);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadCatalogueLines)->Arg(100000)->Unit(benchmark::kMillisecond);

// mirado-night --all over a catalogue, its CSV written to /dev/null.
void BM_NightToolAll(benchmark::State &state)
{
    const std::string path = MakeCatalogue(static_cast<int>(state.range(0)));
    std::FILE *null = std::fopen("/dev/null", "wb");
    std::FILE *err = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        const int status =
            night::Main({"--catalogue", path, "--date", "2001-12-31", "--all"}, null, err);
        if (status != 0)
            state.SkipWithError("mirado-night failed");
    }
    std::fclose(null);
    std::fclose(err);
    state.SetItemsProcessed(state.iterations() * state.range(0) * kNightPointCount);
}
BENCHMARK(BM_NightToolAll)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
