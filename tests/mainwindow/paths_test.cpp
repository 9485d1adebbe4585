// SPDX-License-Identifier: GPL-3.0-or-later
// One catalogue read by every path that reads objects: the window's plot,
// mirado-night's curves, its events and its images must give the same
// objects and stop at the same bad line with the same error.
#include <QAction>
#include <QRegularExpression>
#include <QTest>
#include <cstdio>
#include <memory>

#include "chart/elevationchart.h"
#include "dialogs/select.h"
#include "tools/nightchart.h"
#include "tools/run.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

constexpr TDateRec kNight{2026, 12, 21};
constexpr const char *kNightText = "2026-12-21";
// The point at 21:00 on the night axis.
constexpr std::size_t kPointAt21 = 24;
constexpr const char *kXAt21 = "21";
// Both paths compute the same doubles and the text keeps every digit.
constexpr double kElevationToleranceDeg = 1e-12;

// What one path gives: the objects up to the first bad line, in order, their
// elevations at 21:00 where the path shows them, and that line's error.
struct PathResult
{
    QStringList names;
    QList<double> elevationsAt21;
    int errorLine = 0; // 0: none, or the path does not say
    QString error;
};

std::string ReadBack(std::FILE *file)
{
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    return text;
}

// Runs mirado-night in the process on the night, the default site and the
// catalogue at `path`.
PathResult RunTool(const std::string &path, std::vector<std::string> args, QString &out)
{
    args.insert(args.begin(), {"--catalogue", path, "--date", kNightText});
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> outFile(std::tmpfile(), std::fclose);
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> errFile(std::tmpfile(), std::fclose);
    tool::Main(args, outFile.get(), errFile.get(), tool::ChartParts());
    out = QString::fromStdString(ReadBack(outFile.get()));

    // "path:line: text" for the line that ended the run.
    PathResult result;
    const QString err = QString::fromStdString(ReadBack(errFile.get()));
    const QString prefix = QString::fromStdString(path) + u':';
    if (err.startsWith(prefix)) {
        const QString rest = err.mid(prefix.size()).section(u'\n', 0, 0);
        result.errorLine = rest.section(u':', 0, 0).toInt();
        result.error = rest.section(u':', 1).mid(1);
    } else if (!err.isEmpty()) {
        result.error = err;
    }
    return result;
}

// The names of CSV rows (line, name first) in order, each once, and the
// elevation of the row at `x`.
void ReadCsvRows(const QString &csv, int nameColumn, PathResult &result, const char *x = nullptr)
{
    QStringList lines = csv.split(u'\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        lines.removeFirst();
    QString lastLine;
    for (const QString &row : lines) {
        const QStringList fields = row.split(u',');
        if (fields.value(nameColumn - 1) != lastLine) {
            lastLine = fields.value(nameColumn - 1);
            result.names << fields.value(nameColumn);
        }
        if (x && fields.value(2) == QLatin1String(x))
            result.elevationsAt21 << fields.value(3).toDouble();
    }
}

PathResult RunCurves(const std::string &path)
{
    QString csv;
    PathResult result = RunTool(path, {}, csv);
    ReadCsvRows(csv, 1, result, kXAt21);
    return result;
}

PathResult RunEvents(const std::string &path)
{
    QString csv;
    PathResult result = RunTool(path, {"--events"}, csv);
    ReadCsvRows(csv, 2, result);
    return result;
}

// The legend's entries of an SVG image: the texts after the axis labels.
PathResult RunImages(const std::string &path, const QString &svgPath)
{
    QString none;
    PathResult result = RunTool(path, {"--svg", svgPath.toStdString()}, none);
    QFile file(svgPath);
    file.open(QIODevice::ReadOnly);
    const QString svg = QString::fromUtf8(file.readAll());
    QStringList texts;
    static const QRegularExpression kText(QStringLiteral("<text[^>]*>([^<]*)</text>"));
    for (auto match = kText.globalMatch(svg); match.hasNext();)
        texts << match.next().captured(1);
    static const QRegularExpression kNumber(QStringLiteral("^[0-9]+$"));
    const qsizetype lastLabel = texts.lastIndexOf(kNumber);
    result.names = texts.mid(lastLabel + 1);
    return result;
}

QString Describe(const PathResult &r)
{
    return QStringLiteral("names [%1], line %2, error \"%3\"")
        .arg(r.names.join(QStringLiteral(" | ")))
        .arg(r.errorLine)
        .arg(r.error);
}

} // namespace

class PathsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void everyPathReadsTheSameObjects_data();
    void everyPathReadsTheSameObjects();

private:
    PathResult plotInWindow(test::WindowFixture &fixture, const QString &path);
};

PathResult PathsTest::plotInWindow(test::WindowFixture &fixture, const QString &path)
{
    TfrmMirado &main = fixture.start();
    test::SetDate(main, kNight);
    main.OpenCatalogueFile(path);
    TfrmSelect &select = fixture.windows().frmSelect();
    for (int i = 0; i < select.itemCount(); ++i)
        select.setChecked(i, true);
    main.findChild<QAction *>(QStringLiteral("mnuPlot"))->trigger();

    PathResult result;
    ElevationChart &chart = *main.chart();
    for (const SeriesId series : chart.attachedSeries()) {
        result.names << chart.seriesTitle(series);
        result.elevationsAt21 << chart.seriesPoints(series).at(kPointAt21).y();
    }
    for (const Message &message : fixture.messages)
        result.error += message.text;
    return result;
}

void PathsTest::everyPathReadsTheSameObjects_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QStringList>("wantNames");
    QTest::addColumn<int>("wantErrorLine");
    QTest::addColumn<QString>("wantError");

    const QString noError;
    const QString missingField = QStringLiteral("リストのインデックスが範囲を超えています (2)");
    QTest::newRow("Shift-JIS") << QByteArray("\x83\x78\x83\x4B, 18:36:56, +38:47:01\r\n"
                                             "Sirius, 6:45:09, -16:42:58\r\n")
                               << QStringList{"ベガ", "Sirius"} << 0 << noError;
    QTest::newRow("UTF-8 name ending in a lead byte")
        << QByteArray("ト, 12:00:00, +10:00:00\r\n") << QStringList{"ト"} << 0 << noError;
    QTest::newRow("UTF-8 with a byte-order mark")
        << QByteArray("\xEF\xBB\xBFナビ, 1:00:00, +10:00:00\nベガ, 18:36:56, +38:47:01\n")
        << QStringList{"ナビ", "ベガ"} << 0 << noError;
    QTest::newRow("Shift-JIS name ending in a lead byte")
        << QByteArray("Vega, 18:36:56, +38:47:01\n\x83\x78\x83, 1:0:0, +1:0:0\n")
        << QStringList{"Vega"} << 2 << missingField;
    QTest::newRow("a bad line ends the list")
        << QByteArray("Vega, 18:36:56, +38:47:01\nVega 2, 18:36:56\nDeneb, 20:41:26, +45:16:49\n")
        << QStringList{"Vega"} << 2 << missingField;
    QTest::newRow("UTF-8 text in the error")
        << QByteArray("ベガ, 18:ト:56, +38:47:01\n") << QStringList{} << 1
        << QStringLiteral("'ト' is not a valid integer value");
    QTest::newRow("Shift-JIS text in the error")
        << QByteArray("Vega, 18:\x83\x78:56, +38:47:01\n") << QStringList{} << 1
        << QStringLiteral("'ベ' is not a valid integer value");
}

void PathsTest::everyPathReadsTheSameObjects()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(QStringList, wantNames);
    QFETCH(int, wantErrorLine);
    QFETCH(QString, wantError);

    test::WindowFixture fixture;
    const QString path = fixture.write(QStringLiteral("cat.txt"), catalogue);
    const std::string toolPath = QFile::encodeName(path).toStdString();

    const PathResult window = plotInWindow(fixture, path);
    const struct
    {
        const char *name;
        PathResult got;
    } tools[] = {
        {"curves", RunCurves(toolPath)},
        {"events", RunEvents(toolPath)},
        {"images", RunImages(toolPath, fixture.dir().filePath(QStringLiteral("night.svg")))},
    };

    // The window shows the error in its box, with the box's full stop.
    QVERIFY2(window.names == wantNames && window.error == WithFullStop(wantError),
             qPrintable(QStringLiteral("window: got %1; want names [%2], error \"%3\"")
                            .arg(Describe(window), wantNames.join(QStringLiteral(" | ")),
                                 WithFullStop(wantError))));
    for (const auto &[name, got] : tools) {
        QVERIFY2(got.names == wantNames && got.errorLine == wantErrorLine && got.error == wantError,
                 qPrintable(QStringLiteral("%1: got %2; want names [%3], line %4, error \"%5\"")
                                .arg(QLatin1String(name), Describe(got),
                                     wantNames.join(QStringLiteral(" | ")))
                                .arg(wantErrorLine)
                                .arg(wantError)));
    }

    // The same coordinates: the window's curves and the numbers agree.
    const PathResult &curves = tools[0].got;
    QCOMPARE(curves.elevationsAt21.size(), window.elevationsAt21.size());
    for (qsizetype i = 0; i < curves.elevationsAt21.size(); ++i)
        QVERIFY2(qAbs(curves.elevationsAt21[i] - window.elevationsAt21[i]) <=
                     kElevationToleranceDeg,
                 qPrintable(QStringLiteral("%1 at 21:00: window %2°, curves %3°")
                                .arg(wantNames[i])
                                .arg(window.elevationsAt21[i], 0, 'g', 17)
                                .arg(curves.elevationsAt21[i], 0, 'g', 17)));
}

QTEST_MAIN(PathsTest)
#include "paths_test.moc"
