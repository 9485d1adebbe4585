// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the astronomy core, the catalogue reader (also on 100 MB hostile
// catalogues) and mirado-night.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "astro/elevation.h"
#include "data/catalogue.h"
#include "data/encoding.h"
#include "data/errors.h"
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

// The large hostile shapes, 100 MB each, written once.
enum class Shape
{
    LineBreaks,    // nothing but line breaks: 100 million empty lines
    SubFieldLine,  // one line of "1:" sub-fields in its right ascension
    OrdinaryLines, // lines of a name and two coordinates
};

constexpr std::size_t kShapeBytes = 100 * 1024 * 1024;

std::string MakeShape(Shape shape)
{
    const char *names[] = {"breaks", "subfields", "ordinary"};
    const auto path =
        std::filesystem::temp_directory_path() /
        (std::string("mirado-bench-100mb-") + names[static_cast<int>(shape)] + ".txt");
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) >= kShapeBytes)
        return path.string();
    std::string text;
    switch (shape) {
    case Shape::LineBreaks:
        text.assign(kShapeBytes, '\n');
        break;
    case Shape::SubFieldLine:
        text = "Star, ";
        while (text.size() < kShapeBytes)
            text += "1:";
        text += ", +1:0:0";
        break;
    case Shape::OrdinaryLines:
        for (int i = 0; text.size() < kShapeBytes; ++i)
            text += "Star " + std::to_string(i) + ", 6:00:00, +30:00:00\n";
        break;
    }
    std::ofstream(path, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    return path.string();
}

// Reading a large catalogue as the window and mirado-night read it: its lines,
// its encoding and its first line parsed. The bytes per second are the
// reading speed; at least 50 MB/s is wanted.
void BM_ReadLargeCatalogue(benchmark::State &state)
{
    const std::string path = MakeShape(static_cast<Shape>(state.range(0)));
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path));
    for (auto _ : state) {
        const ObjectCatalogue catalogue = ObjectCatalogue::Read(path, '.');
        try {
            benchmark::DoNotOptimize(catalogue.object(0));
        } catch (const Error &) {
            // The empty lines of line breaks do not parse.
        }
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ReadLargeCatalogue)
    ->ArgName("shape")
    ->Arg(static_cast<int>(Shape::LineBreaks))
    ->Arg(static_cast<int>(Shape::SubFieldLine))
    ->Arg(static_cast<int>(Shape::OrdinaryLines))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// mirado-night --all over a catalogue, its CSV written to /dev/null.
void BM_NightToolAll(benchmark::State &state)
{
    const std::string path = MakeCatalogue(static_cast<int>(state.range(0)));
    std::FILE *null = std::fopen("/dev/null", "wb");
    std::FILE *err = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        const int status =
            tool::Main({"--catalogue", path, "--date", "2001-12-31", "--all"}, null, err);
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
