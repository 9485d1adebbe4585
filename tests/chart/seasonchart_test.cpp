// SPDX-License-Identifier: GPL-3.0-or-later
// The season chart drawn into an image: the cells read back at known nights,
// and the point under the pointer found again from the cell drawn there.
#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>

#include "chart/seasonchart.h"

using namespace mirado;

namespace {

constexpr TDateRec kFirstNight{2027, 5, 20};
constexpr std::size_t kNights = 60;
// Nights 20 to 30 (9 to 19 June) have no astronomical darkness.
constexpr std::size_t kFirstWhiteNight = 20;
constexpr std::size_t kLastWhiteNight = 30;

// Three objects over sixty nights at a high northern site: the first has 8
// hours on night 5 (the most of any cell) and its best night on night 40,
// the second has none, the third its best on the first night.
Season MadeSeason()
{
    Season season;
    season.site = {25.0, 69.0, 2.0};
    season.modelName = "chart";
    season.minAltitudeDeg = 30.0;
    const std::vector<TDateRec> dates = SeasonDates(kFirstNight, {2027, 7, 18});
    for (std::size_t n = 0; n < kNights; ++n) {
        const bool white = n >= kFirstWhiteNight && n <= kLastWhiteNight;
        season.nights.push_back({dates[n], white ? 0.0 : 6.0, 0.5});
    }
    const auto object = [&](std::string name, double hours) {
        SeasonObject row;
        row.object.name = std::move(name);
        row.cells.assign(kNights, {hours, hours});
        return row;
    };
    season.objects.push_back(object("A galaxy whose name is much longer than the column", 1.0));
    season.objects[0].cells[5] = {8.0, 0.0};
    season.objects[0].cells[6] = {2.0, 2.0};
    season.objects[0].cells[7] = {0.0, 0.0};
    season.objects[0].bestNight = 40;
    season.objects.push_back(object("M13", 0.0));
    season.objects.push_back(object("M31", 3.0));
    season.objects[2].bestNight = 0;
    for (SeasonObject &row : season.objects)
        for (std::size_t n = kFirstWhiteNight; n <= kLastWhiteNight; ++n)
            row.cells[n] = {};
    return season;
}

QImage Rendered(const SeasonChart &chart, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    chart.paint(painter, size);
    return image;
}

int ChannelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

} // namespace

class SeasonChartTest : public QObject
{
    Q_OBJECT

private slots:
    void cellShades_data();
    void cellShades();
    void noDarknessIsHatched();
    void bestNightMarked();
    void hitTestRoundTrip_data();
    void hitTestRoundTrip();
};

void SeasonChartTest::cellShades_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("night");
    QTest::addColumn<QRgb>("want");
    QTest::addColumn<int>("tolerance");
    QTest::newRow("the most hours, darkest") << 0 << 5 << SeasonChart::kFullHoursColour << 2;
    QTest::newRow("no hours, lightest") << 0 << 7 << SeasonChart::kNoHoursColour << 2;
    QTest::newRow("row without hours") << 1 << 50 << SeasonChart::kNoHoursColour << 2;
    // 3 of 8 hours: three eighths of the way.
    QTest::newRow("three eighths") << 2 << 45 << qRgb(163, 169, 189) << 2;
}

void SeasonChartTest::cellShades()
{
    QFETCH(int, row);
    QFETCH(int, night);
    QFETCH(QRgb, want);
    QFETCH(int, tolerance);
    const Season season = MadeSeason();
    const SeasonChart chart(season);
    const QSize size(SeasonChart::kDefaultWidthPx, chart.naturalHeight());
    const QImage image = Rendered(chart, size);
    // A corner away from any marker.
    const QRectF cell = chart.cellRect(row, night, size);
    const QRgb got = image.pixel(cell.topLeft().toPoint() + QPoint(1, 1));
    QVERIFY2(ChannelDistance(got, want) <= tolerance,
             qPrintable(QStringLiteral("want #%1 got #%2")
                            .arg(want & 0xffffff, 6, 16, QLatin1Char('0'))
                            .arg(got & 0xffffff, 6, 16, QLatin1Char('0'))));
}

void SeasonChartTest::noDarknessIsHatched()
{
    const Season season = MadeSeason();
    const SeasonChart chart(season);
    const QSize size(SeasonChart::kDefaultWidthPx, chart.naturalHeight());
    const QImage image = Rendered(chart, size);
    // Every pixel of a white night's cell is the fill or the hatching, and
    // both show: it cannot read as a cell of no hours.
    for (int row = 0; row < 3; ++row) {
        const QRect cell = chart.cellRect(row, 25, size).toRect().adjusted(0, 1, 0, -1);
        bool fill = false;
        bool hatch = false;
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const QRgb got = image.pixel(x, y);
                fill |= ChannelDistance(got, SeasonChart::kNoDarknessColour) <= 1;
                hatch |= ChannelDistance(got, SeasonChart::kNoDarknessHatch) <= 1;
                QVERIFY2(ChannelDistance(got, SeasonChart::kNoDarknessColour) <= 1 ||
                             ChannelDistance(got, SeasonChart::kNoDarknessHatch) <= 1,
                         qPrintable(QStringLiteral("row %1 at %2,%3: got #%4")
                                        .arg(row)
                                        .arg(x)
                                        .arg(y)
                                        .arg(got & 0xffffff, 6, 16)));
            }
        }
        QVERIFY2(
            fill && hatch,
            qPrintable(QStringLiteral("row %1: fill %2 hatch %3").arg(row).arg(fill).arg(hatch)));
    }
}

void SeasonChartTest::bestNightMarked()
{
    const Season season = MadeSeason();
    const SeasonChart chart(season);
    const QSize size(SeasonChart::kDefaultWidthPx, chart.naturalHeight());
    const QImage image = Rendered(chart, size);
    QVERIFY(!chart.bestMarkerCentre(1, size));
    for (const int row : {0, 2}) {
        const std::optional<QPointF> centre = chart.bestMarkerCentre(row, size);
        QVERIFY(centre);
        const QRgb got = image.pixel(centre->toPoint());
        QVERIFY2(
            ChannelDistance(got, SeasonChart::kBestFill) <= 8,
            qPrintable(
                QStringLiteral("row %1: want white, got #%2").arg(row).arg(got & 0xffffff, 6, 16)));
        // The outline shows above the fill, within the row.
        bool outline = false;
        for (int dy = 1; dy < SeasonChart::kRowHeightPx / 2; ++dy)
            outline |= qGray(image.pixel(centre->toPoint() - QPoint(0, dy))) < 100;
        QVERIFY2(outline, qPrintable(QStringLiteral("row %1: no outline").arg(row)));
    }
}

void SeasonChartTest::hitTestRoundTrip_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("natural height") << QSize(SeasonChart::kDefaultWidthPx, 0);
    QTest::newRow("rows squeezed") << QSize(500, 120);
    QTest::newRow("narrow, cells under a pixel") << QSize(90, 200);
}

void SeasonChartTest::hitTestRoundTrip()
{
    QFETCH(QSize, size);
    const Season season = MadeSeason();
    const SeasonChart chart(season);
    if (size.height() == 0)
        size.setHeight(chart.naturalHeight());
    for (std::size_t row = 0; row < season.objects.size(); ++row) {
        for (const std::size_t night : {std::size_t{0}, std::size_t{31}, kNights - 1}) {
            const QRectF cell = chart.cellRect(row, night, size);
            const std::optional<SeasonChart::Hit> hit = chart.hitAt(cell.center(), size);
            QVERIFY2(hit && hit->row == row && hit->night == night,
                     qPrintable(QStringLiteral("want %1/%2 got %3/%4")
                                    .arg(row)
                                    .arg(night)
                                    .arg(hit ? int(hit->row) : -1)
                                    .arg(hit && hit->night ? int(*hit->night) : -1)));
        }
        const std::optional<SeasonChart::Hit> name =
            chart.hitAt(chart.nameRect(row, size).center(), size);
        QVERIFY(name && name->row == row && !name->night);
    }
    const SeasonChart::Layout layout = chart.layout(size);
    QVERIFY(!chart.hitAt(layout.moonStrip.center(), size));
    QVERIFY(!chart.hitAt(QPointF(layout.rows.center().x(), layout.rows.bottom() + 1), size));
}

QTEST_MAIN(SeasonChartTest)
#include "seasonchart_test.moc"
