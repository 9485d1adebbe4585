// SPDX-License-Identifier: GPL-3.0-or-later
// The built mirado-night run as a shell runs it: arguments, standard input,
// pipes and redirections, checked by what it prints and its exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <regex>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "benchcatalogue.h"
#include "test_files.h"

namespace {

// Whether `text` holds (`whole`: is) a match of `pattern`. The standard
// library's matcher recurses once per character it takes, and under the
// address sanitizer's larger frames a few kilobytes of output overflow the
// main thread's stack, so the match runs on a thread with room for it.
bool Matches(const std::string &text, const std::string &pattern, bool whole)
{
    struct Job
    {
        const std::string &text;
        const std::string &pattern;
        bool whole;
        bool found = false;
    } job{text, pattern, whole};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, std::size_t{1} << 30);
    pthread_t thread;
    const int started = pthread_create(
        &thread, &attributes,
        [](void *argument) -> void * {
            auto &j = *static_cast<Job *>(argument);
            const std::regex re(j.pattern);
            j.found = j.whole ? std::regex_match(j.text, re) : std::regex_search(j.text, re);
            return nullptr;
        },
        &job);
    pthread_attr_destroy(&attributes);
    if (started != 0)
        return false;
    pthread_join(thread, nullptr);
    return job.found;
}

struct Result
{
    int status = -1;
    std::string out;
    std::string err;
    long maxRssKb = 0;
};

// Runs `command` with bash in `folder`, $NIGHT naming the built program;
// `input` is its standard input.
Result Shell(const std::string &folder, const std::string &command, const std::string &input = "")
{
    mirado::test::TempDir io;
    const std::string in = io.write("in", input);
    const std::string out = io.file("out");
    const std::string err = io.file("err");
    const pid_t child = fork();
    if (child == 0) {
        const auto redirect = [](const std::string &path, int flags, int fd) {
            const int opened = open(path.c_str(), flags, 0600);
            dup2(opened, fd);
            close(opened);
        };
        redirect(in, O_RDONLY, 0);
        redirect(out, O_WRONLY | O_CREAT | O_TRUNC, 1);
        redirect(err, O_WRONLY | O_CREAT | O_TRUNC, 2);
        if (chdir(folder.c_str()) != 0)
            _exit(127);
        setenv("NIGHT", MIRADO_NIGHT_PATH, 1);
        setenv("NIGHT_CHART", MIRADO_NIGHT_CHART_PATH, 1);
        unsetenv("QT_QPA_PLATFORM");
        execl("/bin/bash", "bash", "-c", command.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    Result result;
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = mirado::test::ReadAll(out);
    result.err = mirado::test::ReadAll(err);
    result.maxRssKb = usage.ru_maxrss;
    return result;
}

constexpr const char *kSite = "--longitude 135 --latitude 35 --timezone 9 --date 2001-12-31";
constexpr const char *kListIndex = "リストのインデックスが範囲を超えています \\(2\\)";

struct Row
{
    const char *name;
    std::string command;
    int wantStatus;
    std::string wantOut; // a regular expression searched in standard output
    std::string wantErr; // a regular expression matched against the whole of standard error
    std::string input = "";
};

class Convention : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir_.write("catalogue.txt", std::string("A, 6:00:00, +30:00:00\r\nB, 7:0:0\r\n"
                                                "C, 8:0:0, +1:0:0\r\n"));
        dir_.write("good.txt", std::string("A, 6:00:00, +30:00:00\nB, 7:00:00, -10:00:00\n"));
        dir_.write("empty.txt", std::string());
    }

    void check(const std::vector<Row> &rows)
    {
        for (const Row &row : rows) {
            const Result r = Shell(dir_.file(""), row.command, row.input);
            EXPECT_EQ(r.status, row.wantStatus) << row.name << "\nerr: " << r.err;
            EXPECT_TRUE(Matches(r.out, row.wantOut, false))
                << row.name << ": want /" << row.wantOut
                << "/ in stdout, got: " << r.out.substr(0, 300);
            EXPECT_TRUE(Matches(r.err, row.wantErr, true))
                << row.name << ": want stderr /" << row.wantErr << "/, got: " << r.err;
        }
    }

    mirado::test::TempDir dir_;
};

TEST_F(Convention, HelpVersionAndUsage)
{
    const std::string site = kSite;
    check({
        {"--help", "$NIGHT --help", 0,
         "^Usage: mirado-night (.|\n)*--objects LIST(.|\n)*Exit status:(.|\n)*Example:", ""},
        {"-h", "$NIGHT -h", 0, "^Usage: mirado-night", ""},
        {"--version", "$NIGHT --version", 0, "^mirado-night 0\\.8\\.1\n$", ""},
        {"-V", "$NIGHT -V", 0, "^mirado-night 0\\.8\\.1\n$", ""},
        {"unknown option", "$NIGHT --frobnicate", 2, "^$",
         "mirado-night: unknown option '--frobnicate'\nUsage: mirado-night (.|\n)*"},
        {"no arguments", "$NIGHT", 2, "^$", "mirado-night: nothing to do\nUsage:(.|\n)*"},
        {"--option=value",
         "$NIGHT --catalogue=good.txt --latitude=35 --longitude=135 "
         "--timezone=9 --date=2001-12-31 --objects=2",
         0, "^line,name,x,elevation,local,ut,airmass\n2,B,17,", ""},
    });
}

TEST_F(Convention, BadValuesAreRefusedNamingTheOption)
{
    const std::string run = "$NIGHT --catalogue good.txt ";
    const std::string usage = "\nUsage: mirado-night (.|\n)*";
    check({
        {"not a calendar date", run + "--date 2026-02-31", 2, "^$",
         "mirado-night: --date: .*'2026-02-31'" + usage},
        {"latitude", run + "--latitude 90.5", 2, "^$",
         "mirado-night: --latitude takes a number from -90 to 90, not '90.5'" + usage},
        {"longitude", run + "--longitude=-361", 2, "^$",
         "mirado-night: --longitude takes a number from -360 to 360, not '-361'" + usage},
        {"time zone", run + "--timezone 24.5", 2, "^$",
         "mirado-night: --timezone takes a number from -24 to 24, not '24.5'" + usage},
        {"empty objects", run + "--objects ''", 2, "^$", "mirado-night: --objects: .*" + usage},
        {"reversed objects", run + "--objects 2-1", 2, "^$",
         "mirado-night: --objects: .*reversed" + usage},
    });
}

// The site file's values are held to the command line's bounds, naming the
// file, the line and the value; a value the options replace is not checked.
TEST_F(Convention, SiteFileValuesAreRefusedNamingTheLine)
{
    const auto site = [](const std::string &longitude, const std::string &latitude,
                         const std::string &zone) {
        return "printf -- '" + longitude + "\\r\\n" + latitude + "\\r\\n" + zone +
               "\\r\\ngood.txt\\r\\n' > s.txt; $NIGHT --site s.txt --date 2001-12-31 ";
    };
    const std::string refused = "mirado-night: s.txt:";
    check({
        {"latitude 95", site("135", "95", "9") + "--events", 2, "^$",
         refused + "2: latitude 95 is outside -90..90\n"},
        {"latitude 1000", site("135", "1000", "9"), 2, "^$",
         refused + "2: latitude 1000 is outside -90..90\n"},
        {"latitude 1e308", site("135", "1e308", "9"), 2, "^$",
         refused + "2: latitude 1e\\+308 is outside -90..90\n"},
        {"latitude -1e308", site("135", "-1e308", "9") + "--events", 2, "^$",
         refused + "2: latitude -1e\\+308 is outside -90..90\n"},
        {"longitude first", site("400", "-95", "30"), 2, "^$",
         refused + "1: longitude 400 is outside -360..360\n"},
        {"time zone 100", site("135", "35", "100"), 2, "^$",
         refused + "3: time zone 100 is outside -24..24\n"},
        {"time zone 1e308, before the night is found", site("135", "35", "1e308") + "--events", 2,
         "^$", refused + "3: time zone 1e\\+308 is outside -24..24\n"},
        {"the bounds themselves", site("-360", "90", "-24") + "--objects 1", 0, "\n1,A,17,", ""},
        {"replaced by the options",
         site("400", "95", "100") + "--longitude 135 --latitude 35 --timezone 9 --objects 1", 0,
         "\n1,A,17,[^\n]*,2001-12-31T17:00:00,2001-12-31T08:00:00Z,", ""},
        {"only the replaced one", site("135", "95", "9") + "--timezone 9", 2, "^$",
         refused + "2: latitude 95 is outside -90..90\n"},
    });
}

TEST_F(Convention, StandardStreams)
{
    const std::string site = kSite;
    check({
        {"catalogue from standard input", "$NIGHT --catalogue - " + site, 0,
         "^line,name,x,elevation,local,ut,airmass\n1,ベガ,17,", "",
         "\x83\x78\x83\x4B, 18:36:56, +38:47:01\n"},
        {"a bad line of standard input", "$NIGHT --catalogue - " + site, 1, "^line[^\n]*\n$",
         std::string("-:1: ") + kListIndex + "\n", "X, 1:0:0\n"},
        {"PNG to standard output", "$NIGHT --catalogue good.txt --png - " + site, 0, "^\x89PNG\r\n",
         ""},
        {"SVG to standard output", "$NIGHT --catalogue good.txt --svg - " + site, 0, "<svg", ""},
        {"PDF to standard output", "$NIGHT --catalogue good.txt --pdf=- " + site, 0, "^%PDF-", ""},
        {"a full disk", "$NIGHT --catalogue good.txt " + site + " > /dev/full", 2, "^$",
         "mirado-night: cannot write standard output: No space left on device\n"},
        {"a full disk for an image", "$NIGHT --catalogue good.txt --png - " + site + " >/dev/full",
         2, "^$", "mirado-night: cannot write standard output: No space left on device\n"},
        {"an image that cannot be written whole leaves the old file",
         "printf old > old.png; (trap '' XFSZ; ulimit -f 8; $NIGHT --catalogue good.txt --png "
         "old.png --size 3000x3000 " +
             site + "); s=$?; cat old.png; echo; ls | grep -c '^old[.]png[.]'; exit $s",
         2, "^old\n0\n$", "mirado-night: cannot write old.png: File too large\n"},
        {"a closed pipe",
         "set -o pipefail; for i in $(seq 40); do cat good.txt; done > many.txt; "
         "$NIGHT --catalogue many.txt " +
             site + " | head -n 2",
         0, "^line,name[^\n]*\n1,A,17,[^\n]*\n$", ""},
        {"a closed pipe on an image",
         "set -o pipefail; $NIGHT --catalogue good.txt --png - --size 4000x4000 " + site +
             " | head -c 4",
         0, "^\x89PNG$", ""},
    });
}

TEST_F(Convention, BadCatalogueLines)
{
    const std::string site = kSite;
    // 50 lines, 3, 20 and 41 bad: the lines of each row, the troubles in order.
    const std::string manyWithBadLines =
        "for i in $(seq 50); do case $i in 3|20|41) echo 'X, 1:0:0';; *) echo \"O$i, "
        "$((i % 24)):00:00, +10:00:00\";; esac; done > many.txt; set -o pipefail; "
        "$NIGHT --catalogue many.txt " +
        site;
    const std::string rows = " | cut -d, -f1 | uniq | tr '\\n' ' '";
    std::string goodRows = "line ";
    std::string badLines;
    for (int i = 1; i <= 50; ++i) {
        if (i == 3 || i == 20 || i == 41)
            badLines += "many.txt:" + std::to_string(i) + ": " + kListIndex + "\n";
        else
            goodRows += std::to_string(i) + " ";
    }
    const std::string json = " --format json > out.json; s=$?; /usr/bin/python3 -m json.tool "
                             "out.json > /dev/null || exit 99; cat out.json; exit $s";
    check({
        {"the rows before it, then the file and the line",
         "$NIGHT --catalogue catalogue.txt " + site, 1, "^line[^\n]*\n(1,A,[^\n]*\n){96}$",
         std::string("catalogue.txt:2: ") + kListIndex + "\n"},
        {"--keep-going", "$NIGHT --catalogue catalogue.txt --keep-going " + site, 1,
         "\n1,A,31.83[^\n]*\n3,C,17,", std::string("catalogue.txt:2: ") + kListIndex + "\n"},
        {"JSON stays valid", "$NIGHT --catalogue catalogue.txt " + site + json, 1,
         "\"objects\":\\[\n\\{\"line\":1,[^\n]*\n\\]\\}\n$",
         std::string("catalogue.txt:2: ") + kListIndex + "\n"},
        {"JSON of no lines", "$NIGHT --catalogue empty.txt " + site + json, 0,
         "\"objects\":\\[\\]\\}\n$", ""},
        {"JSON with --keep-going and --unique",
         "$NIGHT --catalogue catalogue.txt --keep-going --unique " + site + json, 1,
         "\\{\"line\":3,", std::string("catalogue.txt:2: ") + kListIndex + "\n"},
        {"events: JSON stays valid past a bad line",
         "$NIGHT --catalogue catalogue.txt --events " + site + json, 1,
         "\"objects\":\\[\n\\{\"line\":1,[^\n]*,\"moon_separation\":[0-9.]+\\}\\]\\}\n\\]\\}\n$",
         std::string("catalogue.txt:2: ") + kListIndex + "\n"},
        {"events: JSON of a season without objects",
         "$NIGHT --events --from 2026-12-30 --to 2027-01-01 --longitude 135 --latitude 35 "
         "--timezone 9" +
             json,
         0, "\"date\":\"2026-12-30\"(.|\n)*\"date\":\"2026-12-31\"(.|\n)*\"date\":\"2027-01-01\"",
         ""},
        {"bad lines in several batches, --keep-going", manyWithBadLines + " --keep-going" + rows, 1,
         "^" + goodRows + "$", badLines},
        {"bad lines in several batches, stopping at the first", manyWithBadLines + rows, 1,
         "^line 1 2 $", std::string("many.txt:3: ") + kListIndex + "\n"},
        {"a failing routine: one warning a line, every row",
         "printf 'A, 600000:00:00, +1:0:0\\nB, 6:0:0, +1:0:0\\n' > w.txt; $NIGHT --catalogue "
         "w.txt " +
             site,
         1, "^line[^\n]*\n(1,A,[^\n]*\n){96}(2,B,[^\n]*\n){96}$", "w.txt:1: dblGetHASec [^\n]*\n"},
    });
}

// A text cut off at a NUL byte and a line of a UTF-8 catalogue with an
// invalid byte: the rows the tool can give, each trouble named by file and
// line, exit 1. NUL bytes at the very end are no trouble.
TEST_F(Convention, CutOffAndBadlyEncodedText)
{
    const std::string site = kSite;
    const std::string cut = "the text ends at a NUL byte; the rest of the file is not read";
    const std::string vega = "Vega, 18:36:56, +38:47:01\\n";
    const std::string utf8 = "for i in $(seq 49); do printf 'ベガ, 1:0:0, +1:0:0\\n'; done; ";
    check({
        {"NUL at the start of line 3",
         "printf '" + vega + vega + "\\0" + vega + "' > nul.txt; $NIGHT --catalogue nul.txt " +
             site,
         1, "^line[^\n]*\n(1,Vega,[^\n]*\n){96}(2,Vega,[^\n]*\n){96}$", "nul.txt:3: " + cut + "\n"},
        {"standard input cut within line 2",
         "printf '" + vega + "Deneb\\0x' | $NIGHT --catalogue - " + site, 1,
         "^line[^\n]*\n(1,Vega,[^\n]*\n){96}$", "-:2: " + cut + "\n-:2: [^\n]*\n"},
        {"NUL bytes at the end only",
         "printf '" + vega + "\\0\\0\\0' > end.txt; $NIGHT --catalogue end.txt " + site, 0,
         "\n1,Vega,", ""},
        {"one invalid line of a UTF-8 catalogue",
         "(" + utf8 + "printf 'ベ\\377ガ, 1:0:0, +1:0:0\\n') > u.txt; $NIGHT --catalogue u.txt " +
             site,
         1, "\n49,ベガ,[^\n]*\n50,ベ\uFFFDガ,", "u.txt:50: invalid UTF-8\n"},
    });
}

TEST_F(Convention, CsvColumnsAndUnique)
{
    const std::string site = kSite;
    const Result all = Shell(dir_.file(""), "$NIGHT --catalogue good.txt --objects 1 " + site);
    const Result unique =
        Shell(dir_.file(""), "$NIGHT --catalogue good.txt --objects 1 --unique " + site);
    ASSERT_EQ(all.status, 0) << all.err;
    ASSERT_EQ(unique.status, 0) << unique.err;
    const std::regex row("1,A,([0-9.]+),(-?[0-9.e-]+),(200[12]-[0-9-]{5}T[0-9:]{8}),"
                         "(2001-12-3[01]T[0-9:]{8}Z),([0-9.e]*)\n");
    const auto count = [&](const std::string &text) {
        return std::distance(std::sregex_iterator(text.begin(), text.end(), row),
                             std::sregex_iterator());
    };
    EXPECT_EQ(all.out.rfind("line,name,x,elevation,local,ut,airmass\n", 0), 0u);
    EXPECT_EQ(count(all.out), 96);
    EXPECT_EQ(count(unique.out), 90);
    // The pair at x = 24: evening 24:00 and morning 00:00, both the moment on
    // the night axis, the next day's midnight; --unique keeps the first.
    const std::string midnight = ",2002-01-01T00:00:00,2001-12-31T15:00:00Z,";
    EXPECT_NE(all.out.find("\n1,A,24,"), std::string::npos);
    EXPECT_NE(all.out.find(midnight, all.out.find(midnight) + 1), std::string::npos);
    EXPECT_NE(unique.out.find(midnight), std::string::npos);
    EXPECT_EQ(unique.out.find(midnight, unique.out.find(midnight) + 1), std::string::npos);
    EXPECT_NE(unique.out.find(",2002-01-01T01:00:00,2001-12-31T16:00:00Z,"), std::string::npos);
}

TEST_F(Convention, JsonShape)
{
    const std::string check =
        "import json, sys\n"
        "d = json.load(sys.stdin)\n"
        "assert sorted(d) == ['date', 'model', 'objects', 'site'], sorted(d)\n"
        "assert d['date'] == '2001-12-31'\n"
        "assert d['site'] == {'longitude': 135, 'latitude': 35, 'timezone': 9}, d['site']\n"
        "assert 'refraction' in d['model'] and 'precession' in d['model']\n"
        "assert 'nutation' in d['model'] and '1900' in d['model']\n"
        "o = d['objects']\n"
        "assert [(x['line'], x['name']) for x in o] == [(1, 'A'), (2, 'B')], o\n"
        "p = o[1]['points']\n"
        "assert len(p) == 96 and sorted(p[0]) == ['airmass', 'elevation', 'local', 'ut', 'x']\n"
        "assert p[0]['x'] == 17 and p[0]['local'] == '2001-12-31T17:00:00'\n"
        "assert p[0]['ut'] == '2001-12-31T08:00:00Z'\n"
        "print('ok')\n";
    dir_.write("check.py", check);
    const Result checked =
        Shell(dir_.file(""), std::string("set -o pipefail; $NIGHT --catalogue good.txt "
                                         "--format=json ") +
                                 kSite + " | /usr/bin/python3 check.py");
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_EQ(checked.out, "ok\n") << checked.err;
}

TEST_F(Convention, TheCompanionIsFoundWhereItIsInstalled)
{
    const std::string site = kSite;
    check({
        {"installed layout",
         "mkdir -p usr/bin usr/lib/mirado && cp \"$NIGHT\" usr/bin/ && cp \"$NIGHT_CHART\" "
         "usr/lib/mirado/ && usr/bin/mirado-night --catalogue good.txt --png - " +
             site,
         0, "^\x89PNG\r\n", ""},
        {"no companion", "mkdir -p alone && cp \"$NIGHT\" alone/ && alone/mirado-night --now-texts",
         2, "^$",
         "mirado-night: images and --now-texts need mirado-night-chart, which is not installed "
         "beside this program or in ../lib/mirado\n"},
        {"the text path needs no companion",
         "mkdir -p alone && cp \"$NIGHT\" alone/ && alone/mirado-night --catalogue good.txt " +
             site,
         0, "^line,name,x,elevation,local,ut,airmass\n", ""},
    });
}

// The 1,000 objects of the tool's benchmark by each model and format, kept
// byte for byte by every change to how they are computed and written. The
// sums hold for the libm and liberfa of Debian 12.
TEST(TextPath, ThousandObjectsByteForByte)
{
    mirado::test::TempDir dir;
    dir.write("thousand.txt", mirado::bench::BenchCatalogue(1000));
    const std::string tokyo = "--longitude 135 --latitude 35 --timezone 9 --date 2026-12-07 ";
    const std::string santiago =
        "--longitude -70.5 --latitude -33.4 --timezone -4.5 --date 2027-06-21 ";
    struct Row
    {
        const char *name;
        std::string options;
        std::string wantSha256;
    };
    const Row rows[] = {
        {"chart CSV", tokyo, "4ca9224648c24fe7a3fb37cc54c809b2efb6bb3472e4ff0213620c2ecbad4bd9"},
        {"chart JSON", tokyo + "--format json",
         "74e18be93d9f4b98b713550745597fd0663c4f2625d2d2bfe52ff9833d6979a9"},
        {"precise CSV", tokyo + "--model precise",
         "9b4dd4de5fcb0d5cc6610928303221fc7030a08c56df0c84e2f18d757f9141e1"},
        {"precise JSON", tokyo + "--model precise --format json",
         "10e8f1c499160b4711504a9921d094a2d28e57930165e8229e714784aa90cc5f"},
        {"chart CSV, --unique", tokyo + "--unique",
         "2c11f8d4e7cb09e3ce66c3e58bedea8153fdafee2148e03837ad60f3ccd0b9f3"},
        {"precise JSON, --unique", tokyo + "--model precise --format json --unique",
         "a2adf653f5df94ffbc254a8c347cd3e95b326eb73043585467ddac0ac1007ea5"},
        {"chart CSV, south and half-hour zone", santiago,
         "15d16680beb9ba46f3dccc079007a0cd43dfa26ff03dee1bc9c83fd95488d078"},
    };
    for (const Row &row : rows) {
        const Result r = Shell(dir.file(""), "set -o pipefail; $NIGHT --catalogue thousand.txt " +
                                                 row.options + " | sha256sum");
        EXPECT_EQ(r.status, 0) << row.name << ": " << r.err;
        EXPECT_EQ(r.out, row.wantSha256 + "  -\n") << row.name;
    }
}

TEST(TextPath, LinksNoQtLibrary)
{
    const Result r = Shell("/", "ldd \"$NIGHT\"");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("libQt"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("libc.so"), std::string::npos) << r.out;
}

#ifndef MIRADO_SANITIZE
// A 10 MB name: every image output holds only its legend's 64 characters,
// every text output streams the whole name, each within 200 MB of an empty
// run.
// Large catalogues read by the tool: at most 6 times the file's size above
// an empty file for line breaks alone (a line each), 3 times for ordinary
// lines, plus 50 MB.
TEST(LargeCatalogue, MemoryInProportionToTheFile)
{
    mirado::test::TempDir dir;
    constexpr std::size_t kBytes = 25'000'000;
    dir.write("breaks.txt", std::string(kBytes, '\n'));
    std::string ordinary;
    for (int n = 0; ordinary.size() < kBytes; ++n)
        ordinary += "Object " + std::to_string(n) + ", 6:45:08.9, -16:42:58\r\n";
    dir.write("ordinary.txt", ordinary);
    dir.write("empty.txt", std::string());
    const std::string site = kSite;
    const Result empty = Shell(dir.file(""), "exec $NIGHT --catalogue empty.txt " + site);
    ASSERT_EQ(empty.status, 0) << empty.err;
    struct Row
    {
        const char *file;
        long factor;
        int wantStatus; // the first line of breaks.txt is empty: a bad line
    };
    for (const Row &row : {Row{"breaks.txt", 6, 1}, Row{"ordinary.txt", 3, 0}}) {
        const std::string command = std::string("exec $NIGHT --catalogue ") + row.file +
                                    " --objects 1 " + site + " > /dev/null";
        const Result large = Shell(dir.file(""), command);
        EXPECT_EQ(large.status, row.wantStatus) << command << ": " << large.err;
        const long boundKb = row.factor * static_cast<long>(kBytes / 1024) + 50 * 1024;
        EXPECT_LE(large.maxRssKb - empty.maxRssKb, boundKb)
            << row.file << ": " << large.maxRssKb << " kB against " << empty.maxRssKb;
    }
}

// Standard input from /dev/zero: the text ends at its first byte, at once,
// within 50 MB of an empty run (the address space is bounded so that a
// reader that never stops fails quickly).
TEST(EndlessInput, ReadingStopsAtTheFirstNul)
{
    mirado::test::TempDir dir;
    dir.write("empty.txt", std::string());
    const std::string site = kSite;
    const Result empty = Shell(dir.file(""), "exec $NIGHT --catalogue empty.txt " + site);
    ASSERT_EQ(empty.status, 0) << empty.err;
    const Result zero = Shell(dir.file(""), "ulimit -v 4000000; exec $NIGHT --catalogue - " + site +
                                                " < /dev/zero");
    EXPECT_EQ(zero.status, 0) << zero.err;
    EXPECT_EQ(zero.out, empty.out);
    EXPECT_LE(zero.maxRssKb - empty.maxRssKb, 50 * 1024)
        << zero.maxRssKb << " kB against " << empty.maxRssKb;
}

// An image of many curves holds their legend titles, never their points: at
// most 3 times the file's size plus 50 MB above an empty run, and `perCurve`
// bytes for each curve's legend entry.
TEST(LargeCatalogue, AnImageHoldsNoCurvesPoints)
{
    mirado::test::TempDir dir;
    constexpr long kObjects = 100'000;
    constexpr long kPerCurveBytes = 400;
    std::string catalogue;
    for (long n = 0; n < kObjects; ++n)
        catalogue += "Object " + std::to_string(n) + ", " + std::to_string(n % 24) +
                     ":45:08.9, -16:42:58\r\n";
    dir.write("many.txt", catalogue);
    dir.write("empty.txt", std::string());
    const std::string site = kSite;
    for (const std::string image : {"--png out.png", "--png - > /dev/null"}) {
        const Result empty =
            Shell(dir.file(""), "exec $NIGHT --catalogue empty.txt " + site + " " + image);
        ASSERT_EQ(empty.status, 0) << empty.err;
        const std::string command = "exec $NIGHT --catalogue many.txt " + site + " " + image;
        const Result many = Shell(dir.file(""), command);
        ASSERT_EQ(many.status, 0) << command << ": " << many.err;
        const long boundKb = 3 * static_cast<long>(catalogue.size() / 1024) + 50 * 1024 +
                             kObjects * kPerCurveBytes / 1024;
        EXPECT_LE(many.maxRssKb - empty.maxRssKb, boundKb)
            << command << ": " << many.maxRssKb << " kB against " << empty.maxRssKb;
    }
}

TEST(HugeName, MemoryStaysBounded)
{
    mirado::test::TempDir dir;
    dir.write("huge.txt", std::string(10'000'000, 'x') + ", 6:00:00, +30:00:00\n");
    dir.write("empty.txt", std::string());
    constexpr long kBoundKb = 200 * 1024;
    const std::string site = kSite;
    for (const std::string options : {"", "--png out.png", "--svg out.svg", "--pdf out.pdf"}) {
        const Result empty =
            Shell(dir.file(""), "exec $NIGHT --catalogue empty.txt " + site + " " + options);
        ASSERT_EQ(empty.status, 0) << empty.err;
        for (const std::string format : {"", "--format json"}) {
            if (!options.empty() && !format.empty())
                continue;
            const std::string command = "exec $NIGHT --catalogue huge.txt " + site + " " + options +
                                        " " + format + " > /dev/null";
            const Result huge = Shell(dir.file(""), command);
            ASSERT_EQ(huge.status, 0) << command << ": " << huge.err;
            EXPECT_LE(huge.maxRssKb - empty.maxRssKb, kBoundKb)
                << command << ": " << huge.maxRssKb << " kB against " << empty.maxRssKb;
        }
    }
    // Every byte of the name, in each of the 90 rows.
    const Result csv =
        Shell(dir.file(""), "$NIGHT --catalogue huge.txt " + site + " --unique | wc -c");
    EXPECT_GT(std::stoll(csv.out), 90LL * 10'000'000) << csv.out;
}

// --events writes each object's events as they are computed: over every
// object of a large catalogue it holds no more than over one of them.
TEST(LargeCatalogue, EventsHoldNoObject)
{
    mirado::test::TempDir dir;
    constexpr int kObjects = 250'000;
    constexpr long kBoundKb = 16 * 1024; // the objects alone took 50 MB
    std::string catalogue;
    for (int n = 0; n < kObjects; ++n)
        catalogue += "Object " + std::to_string(n) + ", " + std::to_string(n % 24) +
                     ":45:08.9, -16:42:58\r\n";
    dir.write("many.txt", catalogue);
    const std::string run = std::string("exec $NIGHT --events --catalogue many.txt ") + kSite;
    for (const std::string format : {"csv", "json"}) {
        const std::string tail = " --format " + format + " > /dev/null";
        const Result one = Shell(dir.file(""), run + " --objects 1" + tail);
        const Result all = Shell(dir.file(""), run + tail);
        ASSERT_EQ(one.status, 0) << one.err;
        ASSERT_EQ(all.status, 0) << all.err;
        EXPECT_LE(all.maxRssKb - one.maxRssKb, kBoundKb)
            << format << ": " << all.maxRssKb << " kB against " << one.maxRssKb;
    }
}
#endif

} // namespace
