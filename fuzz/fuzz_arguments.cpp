// SPDX-License-Identifier: GPL-3.0-or-later
//
// mirado-night's argument parsing on the input cut into arguments at NUL
// bytes. A command line either parses into options within their bounds or is
// refused with UsageError; "--option=value" reads as "--option value".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "tools/options.h"

namespace {

using mirado::tool::Options;

std::optional<Options> Parse(const std::vector<std::string> &args)
{
    try {
        return mirado::tool::ParseArguments(args);
    } catch (const mirado::tool::UsageError &e) {
        MIRADO_FUZZ_REQUIRE(std::string_view(e.what()).size() > 0);
        return std::nullopt;
    }
}

void CheckBounds(const Options &o)
{
    MIRADO_FUZZ_REQUIRE(!o.latitude || (*o.latitude >= -90.0 && *o.latitude <= 90.0));
    MIRADO_FUZZ_REQUIRE(!o.longitude || (*o.longitude >= -360.0 && *o.longitude <= 360.0));
    MIRADO_FUZZ_REQUIRE(!o.timeZone || (*o.timeZone >= -24.0 && *o.timeZone <= 24.0));
    MIRADO_FUZZ_REQUIRE(o.width >= 16 && o.width <= 10000 && o.height >= 16 && o.height <= 10000);
    if (o.date) {
        MIRADO_FUZZ_REQUIRE(o.date->year >= 1900 && o.date->year <= 2999);
        MIRADO_FUZZ_REQUIRE(o.date->month >= 1 && o.date->month <= 12);
        MIRADO_FUZZ_REQUIRE(o.date->day >= 1 && o.date->day <= 31);
    }
    for (const auto &[first, last] : o.objects)
        MIRADO_FUZZ_REQUIRE(first >= 1 && first <= last);
    if (o.mode == mirado::tool::Mode::Times)
        MIRADO_FUZZ_REQUIRE(o.date && o.time);
    // Choosing lines never yields one past the catalogue.
    constexpr int kLines = 50;
    try {
        for (const int index : mirado::tool::ChosenLines(o.objects, kLines).toVector())
            MIRADO_FUZZ_REQUIRE(index >= 0 && index < kLines);
    } catch (const mirado::tool::UsageError &) {
    }
}

bool SameOptions(const Options &a, const Options &b)
{
    return a.mode == b.mode && a.cataloguePath == b.cataloguePath && a.sitePath == b.sitePath &&
           a.latitude == b.latitude && a.longitude == b.longitude && a.timeZone == b.timeZone &&
           a.objects == b.objects && a.pngPath == b.pngPath && a.width == b.width &&
           a.height == b.height && a.format == b.format && a.unique == b.unique &&
           a.keepGoing == b.keepGoing;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start <= input.size()) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        args.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }

    const std::optional<Options> options = Parse(args);
    if (options)
        CheckBounds(*options);

    // A first argument "--name=value" split in two parses the same way. (Only
    // the first: a later one may stand where a value is taken verbatim.)
    const std::size_t equals = args.front().find('=');
    if (options && args.front().rfind("--", 0) == 0 && equals != std::string::npos) {
        std::vector<std::string> split = {args.front().substr(0, equals),
                                          args.front().substr(equals + 1)};
        split.insert(split.end(), args.begin() + 1, args.end());
        const std::optional<Options> splitOptions = Parse(split);
        MIRADO_FUZZ_REQUIRE(splitOptions && SameOptions(*options, *splitOptions));
    }
    return 0;
}
