// SPDX-License-Identifier: GPL-3.0-or-later
// Wall-clock time of whole mirado-night processes, start to exit, as a script
// sees them:
//   - a catalogue with no lines (the cost of starting);
//   - 1,000 objects x 96 points, every CSV column, written to a file, by the
//     chart model and by the precise one, with the precise model's time
//     against its bound: twice the chart model's or 20 ms, the larger; and
//     the same bytes copied by cat, what the file system alone costs, and
//     the same run to /dev/null, what it costs without the file system;
//   - a year of events for 100 objects by each model (the precise one within
//     a second);
//   - a season of a year x 100 objects as CSV by each model;
//   - the season chart of a year of nights x 100 objects as PNG, by each
//     model, within 1.5 s;
//   - a 10 MB name as CSV and JSON to /dev/null and as PNG, SVG and PDF.
// Prints the median and the fastest wall-clock time of the runs of each, and
// the median processor time (user and system), which a busy machine inflates
// less.
//
//   build/bench/tool_bench [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include "benchcatalogue.h"

extern char **environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Timing
{
    double wallMs = -1.0; // negative: the run failed
    double cpuMs = 0.0;   // user and system time of the process
};

// Runs the program once with standard output sent to `outPath`.
Timing RunOnce(const std::vector<std::string> &args, const std::string &outPath)
{
    std::vector<char *> argv;
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    int status = 0;
    rusage usage{};
    const bool spawned =
        posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
        wait4(child, &status, 0, &usage) == child;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    if (!spawned || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    const auto toMs = [](const timeval &t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return {ms, toMs(usage.ru_utime) + toMs(usage.ru_stime)};
}

// The precise model may take this many times the chart model's time, or
// kPreciseFloorMs, whichever is larger.
constexpr double kPreciseFactor = 2.0;
constexpr double kPreciseFloorMs = 20.0;
constexpr double kPreciseYearMs = 1000.0;
// A year's season chart of 100 objects, as PNG, by either model.
constexpr double kSeasonPngMs = 1500.0;
constexpr const char *kCat = "/bin/cat";

// Runs the program `runs` times; prints and returns the median wall-clock
// time in milliseconds (negative when a run failed).
double Report(const char *name, std::vector<std::string> args, const std::string &outPath, int runs,
              const char *program = MIRADO_NIGHT_PATH)
{
    args.insert(args.begin(), program);
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        const Timing timing = RunOnce(args, outPath);
        if (timing.wallMs < 0) {
            std::printf("%-42s failed\n", name);
            return -1.0;
        }
        wall.push_back(timing.wallMs);
        cpu.push_back(timing.cpuMs);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-42s wall median %7.2f ms, fastest %7.2f ms; cpu median %7.2f ms (%d runs)\n",
                name, wall[wall.size() / 2], wall.front(), cpu[cpu.size() / 2], runs);
    return wall[wall.size() / 2];
}

void Verdict(const char *what, double gotMs, double boundMs)
{
    std::printf("  %s: %.2f ms against a bound of %.2f ms: %s\n", what, gotMs, boundMs,
                gotMs >= 0 && gotMs <= boundMs ? "within" : "OVER");
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const fs::path dir = fs::temp_directory_path() / "mirado-night-bench";
    fs::create_directories(dir);
    const auto write = [&](const char *name, const std::string &bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    };
    const std::string empty = write("empty.txt", "");
    const std::string thousand = write("thousand.txt", mirado::bench::BenchCatalogue(1000));
    const std::string huge =
        write("huge.txt", std::string(10'000'000, 'x') + ", 6:00:00, +30:00:00\r\n");
    const std::string csv = (dir / "out.csv").string();
    const std::vector<std::string> site = {"--longitude", "135", "--latitude", "35",
                                           "--timezone",  "9",   "--date",     "2026-12-07"};
    const auto with = [&](std::vector<std::string> args) {
        args.insert(args.end(), site.begin(), site.end());
        return args;
    };

    Report("no lines", with({"--catalogue", empty}), csv, runs * 5);
    const double chartMs = Report("1,000 objects x 96 points, CSV to a file",
                                  with({"--catalogue", thousand}), csv, runs);
    // The floor of the file system: the same bytes copied by cat into the
    // same file, truncated as a shell's redirection truncates it.
    fs::copy_file(csv, dir / "floor.csv", fs::copy_options::overwrite_existing);
    Report("  the same bytes by cat, the floor", {(dir / "floor.csv").string()}, csv, runs, kCat);
    Report("  the same to /dev/null, no file", with({"--catalogue", thousand}), "/dev/null", runs);
    const double preciseMs =
        Report("  the same, --model precise", with({"--catalogue", thousand, "--model", "precise"}),
               csv, runs);
    Verdict("precise model", preciseMs, std::max(kPreciseFactor * chartMs, kPreciseFloorMs));
    Report("1,000 objects, JSON to a file", with({"--catalogue", thousand, "--format", "json"}),
           csv, runs);
    const std::string hundred = write("hundred.txt", mirado::bench::BenchCatalogue(100));
    const std::vector<std::string> tokyo = {"--longitude", "139.7",      "--latitude",
                                            "35.7",        "--timezone", "9"};
    std::vector<std::string> year = {"--catalogue", hundred, "--events",  "--from",
                                     "2027-01-01",  "--to",  "2027-12-31"};
    year.insert(year.end(), tokyo.begin(), tokyo.end());
    Report("events, a year of nights x 100 objects", year, csv, std::max(1, runs / 3));
    year.insert(year.end(), {"--model", "precise"});
    Verdict("precise model",
            Report("  the same, --model precise", year, csv, std::max(1, runs / 3)),
            kPreciseYearMs);
    std::vector<std::string> season = {"--catalogue", hundred, "--season",  "--from",
                                       "2027-01-01",  "--to",  "2027-12-31"};
    season.insert(season.end(), tokyo.begin(), tokyo.end());
    Report("season, a year x 100 objects, CSV", season, csv, std::max(1, runs / 3));
    season.insert(season.end(), {"--model", "precise"});
    Report("  the same, --model precise", season, csv, std::max(1, runs / 3));
    const std::string png = (dir / "season.png").string();
    for (const char *model : {"chart", "precise"}) {
        std::vector<std::string> season = {"--catalogue", hundred,   "--season",   "--from",
                                           "2027-01-01",  "--to",    "2027-12-31", "--png",
                                           png,           "--model", model};
        season.insert(season.end(), tokyo.begin(), tokyo.end());
        const std::string name = std::string(model) == "chart" ? "season, a year x 100 objects, PNG"
                                                               : "  the same, --model precise";
        Verdict("season PNG", Report(name.c_str(), season, csv, std::max(1, runs / 3)),
                kSeasonPngMs);
    }
    const int slow = std::max(1, runs / 7);
    Report("10 MB name, CSV to /dev/null", with({"--catalogue", huge}), "/dev/null", slow);
    Report("10 MB name, JSON to /dev/null", with({"--catalogue", huge, "--format", "json"}),
           "/dev/null", slow);
    for (const char *image : {"--png", "--svg", "--pdf"})
        Report((std::string("10 MB name, ") + (image + 2) + " to /dev/null").c_str(),
               with({"--catalogue", huge, image, "-"}), "/dev/null", slow);
    fs::remove_all(dir);
    return 0;
}
