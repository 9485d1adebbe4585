// SPDX-License-Identifier: GPL-3.0-or-later
#include "run.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <map>
#include <optional>

#include "astro/sidereal.h"
#include "batchplanner.h"
#include "data/catalogue.h"
#include "data/encoding.h"
#include "data/errors.h"
#include "data/lines.h"
#include "data/site.h"
#include "eventwriters.h"
#include "night/clock.h"
#include "night/elevationmodel.h"
#include "night/events.h"
#include "night/nighttime.h"
#include "night/plan.h"
#include "night/season.h"
#include "night/session.h"
#include "night/sunmoon.h"
#include "seasonwriters.h"
#include "textwriters.h"

namespace mirado::tool {

namespace {

constexpr const char *kProgram = "mirado-night: ";
constexpr const char *kStandardOutputName = "standard output";

// Refuses a value the tool takes from the site file at `path` that the
// command line would refuse: "site.txt:2: latitude 95 is outside -90..90".
// Values the options give in its place are not checked.
void CheckSiteFile(const Session &session, const Options &options, const std::string &path)
{
    constexpr double kAny = std::numeric_limits<double>::infinity();
    const SiteBounds bounds{options.longitude ? kAny : kMaxLongitude,
                            options.latitude ? kAny : kMaxLatitude,
                            options.timeZone ? kAny : kMaxTimeZoneHours};
    if (const std::optional<SiteValueOutside> outside = session.siteValueOutside(bounds)) {
        const std::string bound = FormatNumber(outside->bound);
        throw Error("%s:" + std::to_string(outside->line) + ": " + std::string(outside->name) +
                        " " + FormatNumber(outside->value) + " is outside -" + bound + ".." + bound,
                    path);
    }
}

// The session the options describe: the site file they name (which must
// exist, its values within the command line's bounds) or the default site,
// with their longitude, latitude and zone in place of its own.
Session SessionOf(const Options &options)
{
    Session session(kDefaultDecimalSeparator);
    session.site() = DefaultSite();
    if (!options.sitePath.empty()) {
        if (!session.readSiteFile(options.sitePath))
            ThrowCannotOpenFile(options.sitePath);
        CheckSiteFile(session, options, options.sitePath);
    }
    SiteValues &site = session.site();
    site.longitude = options.longitude.value_or(site.longitude);
    site.latitude = options.latitude.value_or(site.latitude);
    site.timeZone = options.timeZone.value_or(site.timeZone);
    return session;
}

// The catalogue the options name, or the site file's; empty when neither does.
std::string CataloguePath(const Options &options, const SiteValues &site)
{
    return options.cataloguePath.empty() ? site.cataloguePath : options.cataloguePath;
}

// A line's trouble, after the file and the line: "catalogue.txt:2: text".
void ReportLine(Output &out, std::FILE *err, const std::string &path, int lineNumber,
                const std::string &text)
{
    out.flush();
    std::fprintf(err, "%s:%d: %s\n", path.c_str(), lineNumber, text.c_str());
}

// Loads the catalogue at `path`, "-" being standard input, and chooses the
// lines the options name. Reports each line of a UTF-8 catalogue that is not
// valid UTF-8 (its bad bytes read as U+FFFD) and a text cut off at a NUL
// byte; returns 1 when it reported anything, 0 otherwise.
int LoadCatalogue(Session &session, const Options &options, const std::string &path, Output &out,
                  std::FILE *err)
{
    if (path == kStandardStream) {
        CatalogueLines lines;
        ReadStandardInputLines(kStandardStream, lines);
        session.setCatalogue(ObjectCatalogue(std::move(lines), session.decimalSeparator()));
    } else {
        session.loadCatalogue(path);
    }
    const ObjectCatalogue &catalogue = session.catalogue();
    int status = 0;
    if (catalogue.encoding() == TextEncoding::Utf8) {
        for (std::size_t i = 0; i < catalogue.size(); ++i) {
            if (!IsValidUtf8(catalogue.lines()[i])) {
                ReportLine(out, err, path, static_cast<int>(i + 1), "invalid UTF-8");
                status = 1;
            }
        }
    }
    if (const std::size_t line = catalogue.lines().nulLine(); line > 0) {
        ReportLine(out, err, path, static_cast<int>(line),
                   "the text ends at a NUL byte; the rest of the file is not read");
        status = 1;
    }
    session.chooseLines(ChosenLines(options.objects, static_cast<int>(catalogue.size())));
    return status;
}

// The night the options name, or the site's present night. The present
// night is found either way, so a site zone that does not fit in minutes ends
// the run before anything is written.
void ChooseDate(Session &session, const std::optional<TDateRec> &date)
{
    const TDateRec tonight = session.tonight();
    session.date() = date.value_or(tonight);
}

WarningReporter PrintTo(std::FILE *err)
{
    return [err](const std::string &text) { std::fprintf(err, "%s\n", text.c_str()); };
}

int RunTimes(const Options &options, const SiteValues &site, Output &out, std::FILE *err)
{
    const WarningReporter warn = PrintTo(err);
    const TDateRec date = *options.date;
    const THMSRec time = *options.time;
    const DateTimeValue local =
        DateTimeValue::FromParts(date, time.hours, time.minutes, static_cast<int>(time.seconds));
    out << "gst0=" << GetSecGST(date, warn) << "\n";
    out << "lst=" << dblGetLSTSec(date, time, site.longitude, site.timeZone, warn) << "\n";
    out << "lst_now=" << dblGetLSTSecNow(date, time, site.longitude, site.timeZone, warn) << "\n";
    out << "ut=" << std::string_view(FormatIsoDateTime(GetUTDateTime(local, site.timeZone)))
        << "\n";
    return 0;
}

std::unique_ptr<CurveWriter> TextWriter(const Options &options, Output &out)
{
    if (options.format == Format::Json)
        return std::make_unique<JsonWriter>(out, options.unique);
    return std::make_unique<CsvWriter>(out, options.unique);
}

// Lines are planned in batches, on this thread and one more (BatchPlanner),
// so the astronomy and the making of the text overlap on two cores while the
// output is written. A batch ends after kBatchLines lines or kBatchBytes
// bytes of them, whichever comes first, so that the batches in memory stay
// small whatever the lines hold.
constexpr std::size_t kBatchLines = 8;
constexpr std::size_t kBatchBytes = 1 << 20;

void PlanBatch(const Session &session, const NightPlan &plan, const CurveWriter &writer,
               std::size_t from, std::size_t to, PlannedBatch &batch)
{
    for (std::size_t i = from; i < to; ++i) {
        const int index = session.chosenLines()[i];
        PlannedLine &planned = batch.lines.emplace_back();
        planned.lineNumber = index + 1;
        const WarningReporter warn = [&planned](const std::string &text) {
            if (planned.firstWarning.empty())
                planned.firstWarning = text;
        };
        try {
            planned.curve =
                plan.curve(session.catalogue().object(static_cast<std::size_t>(index)), warn);
            planned.textBegin = batch.text.size();
            planned.madeAhead = writer.formatAhead(*planned.curve, batch.text);
            planned.textEnd = batch.text.size();
        } catch (const Error &e) {
            planned.error = ErrorTextForDisplay(e);
        }
    }
}

int RunCurves(const Options &options, Session &session, Output &out, std::FILE *err,
              const QtParts &qt)
{
    const std::string path = CataloguePath(options, session.site());
    if (path.empty())
        throw UsageError("no catalogue: give --catalogue FILE or a site file that names one");
    int status = LoadCatalogue(session, options, path, out, err);
    ChooseDate(session, options.date);
    session.setModel(ElevationModelNamed(options.model));
    const NightPlan plan = session.plan();
    const CatalogueLines &lines = session.catalogue().lines();
    const LineSelection &chosen = session.chosenLines();

    const std::unique_ptr<CurveWriter> writer =
        options.drawsChart() ? qt.images(options, out) : TextWriter(options, out);
    const auto report = [&](int lineNumber, const std::string &text) {
        ReportLine(out, err, path, lineNumber, text);
    };
    writer->begin(plan);
    if (writer->wantsTitlesFirst()) {
        // The lines the run will draw: up to the first that does not parse,
        // or all that parse with --keep-going.
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            try {
                const auto index = static_cast<std::size_t>(chosen[i]);
                writer->title(LegendTitle(session.catalogue().object(index).name));
            } catch (const Error &) {
                if (!options.keepGoing)
                    break;
            }
        }
    }

    std::vector<std::size_t> batchEnds;
    for (std::size_t to = 0; to < chosen.size();) {
        const std::size_t from = to;
        for (std::size_t bytes = 0;
             to < chosen.size() && to - from < kBatchLines && bytes < kBatchBytes; ++to)
            bytes += lines[static_cast<std::size_t>(chosen[to])].size();
        batchEnds.push_back(to);
    }
    BatchPlanner planner(std::move(batchEnds),
                         [&](std::size_t from, std::size_t to, PlannedBatch &batch) {
                             PlanBatch(session, plan, *writer, from, to, batch);
                         });
    bool stopped = false;
    while (!stopped) {
        const PlannedBatch *batch = planner.next();
        if (!batch)
            break;
        // The texts made ahead of consecutive lines go out at once, up to a
        // line that is reported or written otherwise.
        std::size_t runBegin = 0;
        std::size_t runEnd = 0;
        const auto writeRun = [&] {
            if (runEnd > runBegin)
                writer->writeAhead(batch->text.view(runBegin, runEnd));
            runBegin = runEnd;
        };
        for (const PlannedLine &planned : batch->lines) {
            if (!planned.curve) {
                writeRun();
                report(planned.lineNumber, planned.error);
                status = 1;
                stopped = !options.keepGoing;
                if (stopped)
                    break;
                continue;
            }
            if (planned.madeAhead) {
                runEnd = planned.textEnd;
            } else {
                writeRun();
                writer->curve(*planned.curve);
            }
            if (!planned.firstWarning.empty()) {
                writeRun();
                report(planned.lineNumber, planned.firstWarning);
                status = 1;
            }
        }
        writeRun();
    }
    writer->end();
    return status;
}

int RunEvents(const Options &options, Session &session, Output &out, std::FILE *err)
{
    int status = 0;
    const std::string path = CataloguePath(options, session.site());
    const ObjectCatalogue &catalogue = session.catalogue();
    if (!path.empty())
        status = LoadCatalogue(session, options, path, out, err);

    const SiteValues &site = session.site();
    const NightSite at{site.longitude, site.latitude, site.timeZone};
    ChooseDate(session, options.from ? options.from : options.date);
    const TDateRec first = session.date();
    const TDateRec last = options.to.value_or(first);
    const std::int64_t lastDay = DateTimeValue::FromParts(last, 0, 0, 0).seconds();

    std::unique_ptr<EventWriter> writer;
    if (options.format == Format::Json)
        writer = std::make_unique<JsonEventWriter>(out);
    else
        writer = std::make_unique<CsvEventWriter>(out);
    session.setModel(ElevationModelNamed(options.model));
    const ElevationModel &model = session.model();
    writer->begin(site, options.minAltitudeDeg, model);
    // The first failure of the elevation model on each object that fails, by
    // catalogue line.
    std::map<int, std::string> firstWarnings;
    // The objects are read from their lines night by night as their events
    // are written, so that none is held. The first night reads every chosen
    // line, tells the bad ones and keeps the places of the good ones; a bad
    // line ends the list there unless told to keep going.
    LineSelection goodLines;
    bool firstNight = true;
    for (DateTimeValue day = DateTimeValue::FromParts(first, 0, 0, 0); day.seconds() <= lastDay;
         day = DateTimeValue(day.seconds() + kSecondsPerDayInt)) {
        const TDateRec date = day.date();
        const EventNight night(date, at, model);
        writer->beginNight(date, night.events());
        const LineSelection &lines = firstNight ? session.chosenLines() : goodLines;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int index = lines[i];
            std::optional<CatalogueObject> object;
            try {
                object = catalogue.object(static_cast<std::size_t>(index));
            } catch (const Error &e) {
                ReportLine(out, err, path, index + 1, ErrorTextForDisplay(e));
                status = 1;
                if (!options.keepGoing)
                    break;
                continue;
            }
            if (firstNight)
                goodLines.add(index);
            const WarningReporter warn = [&firstWarnings,
                                          line = object->line](const std::string &text) {
                firstWarnings.try_emplace(line, text);
            };
            writer->object({object->line, std::move(object->name),
                            night.object(object->ra, object->dec, options.minAltitudeDeg, warn)});
        }
        writer->endNight();
        firstNight = false;
    }
    writer->end();
    // A failure of the elevation model: once per object, after its rows.
    for (const auto &[line, text] : firstWarnings) {
        ReportLine(out, err, path, line, text);
        status = 1;
    }
    return status;
}

int RunSeason(const Options &options, Session &session, Output &out, std::FILE *err,
              const QtParts &qt)
{
    if (options.drawsChart() && !qt.seasonImages)
        throw UsageError("--season prints CSV or JSON, not images");
    int status = 0;
    const std::string path = CataloguePath(options, session.site());
    if (!path.empty())
        status = LoadCatalogue(session, options, path, out, err);

    const SiteValues &site = session.site();
    ChooseDate(session, options.from ? options.from : options.date);
    const TDateRec first = session.date();
    const std::vector<TDateRec> dates =
        SeasonDates(first, options.to.value_or(SeasonLastNight(first, kSeasonDefaultMonths)));

    // The chosen lines up to the first that does not parse, or every one
    // that parses when told to keep going.
    std::vector<CatalogueObject> objects;
    const LineSelection &lines = session.chosenLines();
    objects.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        try {
            objects.push_back(session.catalogue().object(static_cast<std::size_t>(lines[i])));
        } catch (const Error &e) {
            ReportLine(out, err, path, lines[i] + 1, ErrorTextForDisplay(e));
            status = 1;
            if (!options.keepGoing)
                break;
        }
    }

    session.setModel(ElevationModelNamed(options.model));
    // Each failure of the elevation model once, after the output.
    std::vector<std::string> warnings;
    const WarningReporter warn = [&warnings](const std::string &text) {
        if (std::find(warnings.begin(), warnings.end(), text) == warnings.end())
            warnings.push_back(text);
    };
    const Season season =
        ComputeSeason(objects, dates, {site.longitude, site.latitude, site.timeZone},
                      session.model(), options.minAltitudeDeg, warn);
    if (options.drawsChart())
        qt.seasonImages(season, options, out);
    else if (options.format == Format::Json)
        WriteSeasonJson(out, season, site, session.model());
    else
        WriteSeasonCsv(out, season);
    out.flush();
    for (const std::string &text : warnings) {
        std::fprintf(err, "%s%s\n", kProgram, text.c_str());
        status = 1;
    }
    return status;
}

int RunNowTexts(const Options &options, const SiteValues &site, Output &out, std::FILE *err,
                const QtParts &qt)
{
    const DateTimeValue at = options.at.value_or(SiteLocalNow(site.timeZone));
    qt.nowTexts(at, site, out, PrintTo(err));
    return 0;
}

} // namespace

int Run(const Options &options, std::FILE *out, std::FILE *err, const QtParts &qt)
{
    Output output(out, kStandardOutputName);
    int status = 0;
    switch (options.mode) {
    case Mode::Help:
        output << std::string_view(HelpText());
        break;
    case Mode::Version:
        output << std::string_view(VersionText()) << '\n';
        break;
    default:
        if (options.needsQt() && !qt.images)
            return qt.handOver();
        Session session = SessionOf(options);
        if (options.mode == Mode::Times)
            status = RunTimes(options, session.site(), output, err);
        else if (options.mode == Mode::NowTexts)
            status = RunNowTexts(options, session.site(), output, err, qt);
        else if (options.mode == Mode::Events)
            status = RunEvents(options, session, output, err);
        else if (options.mode == Mode::Season)
            status = RunSeason(options, session, output, err, qt);
        else
            status = RunCurves(options, session, output, err, qt);
    }
    output.finish();
    return status;
}

int Main(const std::vector<std::string> &args, std::FILE *out, std::FILE *err, const QtParts &qt)
{
    try {
        return Run(ParseArguments(args), out, err, qt);
    } catch (const ClosedPipe &) {
        return 0;
    } catch (const UsageError &e) {
        std::fprintf(err, "%s%s\n%s", kProgram, e.what(), UsageText().c_str());
    } catch (const std::exception &e) {
        std::fprintf(err, "%s%s\n", kProgram, ErrorTextForDisplay(e).c_str());
    }
    return 2;
}

} // namespace mirado::tool
