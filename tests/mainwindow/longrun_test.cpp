// SPDX-License-Identifier: GPL-3.0-or-later
// Long runs: a week of clock ticks with the present-moment display on, and a
// thousand plots in a row, neither of which may grow the memory.
#include <QLabel>
#include <QTest>
#include <malloc.h>

#include "chart/elevationchart.h"
#include "dialogs/select.h"
#include "platform/localeformat.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

// Bytes the allocator has handed out and not yet taken back.
double AllocatedBytes()
{
    return static_cast<double>(mallinfo2().uordblks);
}

QByteArray Catalogue(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "Star " + QByteArray::number(i) + ", " + QByteArray::number(i % 24) + ":" +
                 QByteArray::number(i % 60) + ":00, +" + QByteArray::number(i % 80) + ":00:00\n";
    return bytes;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

} // namespace

class LongRunTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void aWeekOfTicks();
    void aThousandPlots();
};

void LongRunTest::aWeekOfTicks()
{
    test::WindowFixture fixture;
    fixture.write(QStringLiteral("cat.txt"), Catalogue(5));
    fixture.write(QStringLiteral("site.txt"), "135\n35\n9\ncat.txt\n");
    TfrmMirado &main = fixture.start();
    main.chart()->setAnimatedZoom(false);
    fixture.windows().frmSelect().btnSelectAllClick();
    main.mnuPlotClick();
    main.mnuNowClick();

    // From 2026-12-28 00:00:00, one second a tick, to 2027-01-04 00:00:00:
    // seven midnights, 07:00 and 09:00 changes and the year's end.
    const QDateTime start(QDate(2026, 12, 28), QTime(0, 0));
    constexpr int kTicks = 7 * 24 * 3600;
    const int step = kSanitized ? 20 : 1; // the sanitized build samples the week
    const LocaleFormats &formats = main.localeFormats();
    auto *label = main.findChild<QLabel *>("lblLocalTime");
    auto *ut = main.findChild<QLabel *>("StatusBarPanel0");
    double allocatedAfterFirstDay = 0.0;

    for (int tick = 0; tick < kTicks; tick += step) {
        const QDateTime now = start.addSecs(tick);
        fixture.setNow(now);
        RunGuarded(&main, [&main] { main.tmrNowTimer(); });
        if (tick % 3600 == 0)
            QCoreApplication::processEvents();

        // Checkpoints: the marker, the local-time label and the UT panel.
        const QTime t = now.time();
        if (t.second() == 0 && t.minute() == 0 &&
            (t.hour() == 6 || t.hour() == 7 || t.hour() == 8 || t.hour() == 9 || t.hour() == 0)) {
            const double wantX = t.hour() < 7 ? t.hour() + 24 : t.hour();
            QCOMPARE(main.chart()->seriesPoints(main.nowSeries()),
                     QList<QPointF>{QPointF(wantX, 45.0)});
            const QDate labelDate = t.hour() < 9 ? now.date().addDays(-1) : now.date();
            const TDateRec d{labelDate.year(), labelDate.month(), labelDate.day()};
            QVERIFY2(label->text().startsWith(QString::fromStdString(formats.shortDate(d))),
                     qPrintable(now.toString(Qt::ISODate) + " " + label->text()));
            const QDateTime utNow = now.addSecs(-9 * 3600);
            QCOMPARE(ut->text().section(u' ', 0, 2), QStringLiteral(" UT %1.%2.%3")
                                                         .arg(utNow.date().year())
                                                         .arg(utNow.date().month())
                                                         .arg(utNow.date().day()));
        }
        if (tick == 24 * 3600)
            allocatedAfterFirstDay = AllocatedBytes();
    }
    QCoreApplication::processEvents();
    const double allocatedAtTheEnd = AllocatedBytes();
    qInfo("allocated after the first day %.0f bytes, after the week %.0f bytes",
          allocatedAfterFirstDay, allocatedAtTheEnd);
    QVERIFY(fixture.messages.isEmpty());
    QCOMPARE(main.chart()->seriesPoints(main.nowSeries()).size(), 1);
    if (!kSanitized)
        QVERIFY(allocatedAtTheEnd < allocatedAfterFirstDay * 1.01 + 64 * 1024);
}

void LongRunTest::aThousandPlots()
{
    test::WindowFixture fixture;
    fixture.write(QStringLiteral("cat.txt"), Catalogue(100));
    fixture.write(QStringLiteral("site.txt"), "135\n35\n9\ncat.txt\n");
    TfrmMirado &main = fixture.start();
    main.chart()->setAnimatedZoom(false);
    fixture.windows().frmSelect().btnSelectAllClick();

    const int plots = kSanitized ? 100 : 1000;
    double afterFirst = 0.0;
    for (int i = 0; i < plots; ++i) {
        main.mnuPlotClick();
        QCoreApplication::processEvents();
        if (i == 0)
            afterFirst = AllocatedBytes();
        if (i == 1 || i == 9 || i == 99 || i == 499)
            qInfo("after plot %d: %.0f bytes", i + 1, AllocatedBytes());
    }
    const double afterLast = AllocatedBytes();
    qInfo("allocated after the first plot %.0f bytes, after plot %d %.0f bytes (%+.2f %%)",
          afterFirst, plots, afterLast, 100.0 * (afterLast - afterFirst) / afterFirst);
    QCOMPARE(main.chart()->attachedSeries().size(), std::size_t(100));
    QVERIFY(fixture.messages.isEmpty());
    if (!kSanitized)
        QVERIFY(afterLast < afterFirst * 1.03);
}

QTEST_MAIN(LongRunTest)
#include "longrun_test.moc"
