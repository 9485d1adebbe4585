// SPDX-License-Identifier: GPL-3.0-or-later
// 表示 → 季節の見通し: the season of the plotted (or checked) objects, its
// fields' limits, the tooltip of a cell, a double-click that plots its night,
// the saved image and Escape.
#include <QAction>
#include <QDateEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "chart/elevationchart.h"
#include "dialogs/season.h"
#include "dialogs/select.h"
#include "mainwindow/elevationplot.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

const QByteArray kTokyo = "139.7\r\n35.7\r\n9\r\n";
const QByteArray kCatalogue = "Vega, 18:36:56.3, +38:47:01\n"
                              "M31 Andromeda Galaxy and its two companions M32 and M110, "
                              "00:42:44.3, +41:16:09\n"
                              "Canopus, 06:23:57.1, -52:41:45\n";
constexpr int kWaitMs = 30000;

} // namespace

class SeasonTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void cleanup() { fixture_.reset(); }
    void opensWithTheRightObjects_data();
    void opensWithTheRightObjects();
    void fieldLimits_data();
    void fieldLimits();
    void hoverDoubleClickSaveAndEscape();
    void cancelledSeasonNeverShows();

private:
    TfrmMirado &start(const TDateRec &date)
    {
        fixture_ = std::make_unique<test::WindowFixture>();
        fixture_->write(QStringLiteral("site.txt"), kTokyo + "cat.txt\r\n");
        fixture_->write(QStringLiteral("cat.txt"), kCatalogue);
        TfrmMirado &main = fixture_->start();
        test::SetDate(main, date);
        return main;
    }
    // Opens the dialog, runs `act` once its season is shown, then closes it.
    void withSeason(const std::function<void(TfrmSeason &)> &act)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            TfrmSeason &dialog = *fixture_->main().seasonDialog();
            if (QTest::qWaitFor([&] { return !dialog.isComputing() && dialog.season(); }, kWaitMs))
                act(dialog);
            ran = true;
            dialog.reject();
        });
        fixture_->main().findChild<QAction *>(QStringLiteral("mnuSeason"))->trigger();
        QVERIFY(ran);
    }

    std::unique_ptr<test::WindowFixture> fixture_;
};

void SeasonTest::opensWithTheRightObjects_data()
{
    QTest::addColumn<bool>("plotFirst");
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<QStringList>("want");
    QTest::addColumn<int>("wantNights");
    QTest::newRow("after a plot: the plotted objects, though unchecked since")
        << true << QList<int>{0, 2} << QStringList{"Vega", "Canopus"} << 365;
    QTest::newRow("before a plot: the checked objects") << false << QList<int>{1}
                                                        << QStringList{"M31 Andromeda Galaxy and "
                                                                       "its two companions M32 "
                                                                       "and M110"}
                                                        << 365;
}

void SeasonTest::opensWithTheRightObjects()
{
    QFETCH(bool, plotFirst);
    QFETCH(QList<int>, checked);
    QFETCH(QStringList, want);
    QFETCH(int, wantNights);
    TfrmMirado &main = start({2026, 12, 7});
    TfrmSelect &select = fixture_->windows().frmSelect();
    for (const int row : checked)
        select.setChecked(row, true);
    if (plotFirst) {
        main.mnuPlotClick();
        for (const int row : checked)
            select.setChecked(row, false);
        test::SetDate(main, {2027, 3, 1}); // the plotted night still counts
    }
    withSeason([&](TfrmSeason &dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("季節の見通し"));
        const Season &season = *dialog.season();
        QStringList got;
        for (const SeasonObject &object : season.objects)
            got << QString::fromStdString(object.object.name);
        QCOMPARE(got, want);
        QCOMPARE(int(season.nights.size()), wantNights);
        QCOMPARE(FormatIsoDate(season.nights.front().date), std::string("2026-12-07"));
        QCOMPARE(season.minAltitudeDeg, 30.0);
        QCOMPARE(season.site.latitude, 35.7);
    });
    QVERIFY(fixture_->messages.isEmpty());
}

void SeasonTest::fieldLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("want");
    QTest::newRow("months below 1") << "sedMonths" << 0 << 1;
    QTest::newRow("months above 24") << "sedMonths" << 25 << 24;
    QTest::newRow("months 24") << "sedMonths" << 24 << 24;
    QTest::newRow("altitude below -90") << "sedMinAltitude" << -91 << -90;
    QTest::newRow("altitude above 90") << "sedMinAltitude" << 91 << 90;
    QTest::newRow("altitude -90") << "sedMinAltitude" << -90 << -90;
}

void SeasonTest::fieldLimits()
{
    QFETCH(QString, field);
    QFETCH(int, set);
    QFETCH(int, want);
    TfrmSeason dialog;
    auto *spin = dialog.findChild<QSpinBox *>(field);
    QVERIFY(spin);
    spin->setValue(set);
    QCOMPARE(spin->value(), want);
}

void SeasonTest::hoverDoubleClickSaveAndEscape()
{
    TfrmMirado &main = start({2026, 12, 7});
    fixture_->windows().frmSelect().btnSelectAllClick();
    main.mnuPlotClick();
    const QString image = fixture_->dir().filePath(QStringLiteral("season.svg"));
    const QString pdf = fixture_->dir().filePath(QStringLiteral("season.pdf"));
    main.setPrintDialogsForTesting(
        [&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        },
        {});
    withSeason([&](TfrmSeason &dialog) {
        // Three months from 1 July: the fields recompute.
        dialog.setStartDate({2027, 7, 1});
        dialog.setMonths(3);
        QVERIFY(QTest::qWaitFor(
            [&] { return !dialog.isComputing() && dialog.season()->nights.size() == 92; },
            kWaitMs));
        const Season &season = *dialog.season();
        QCOMPARE(FormatIsoDate(season.nights.front().date), std::string("2027-07-01"));

        // The tooltip of Vega's cell on 10 August.
        const SeasonChart chart(season);
        QWidget &view = *dialog.chartView();
        const QSizeF size = view.size();
        const QPoint cell = chart.cellRect(0, 40, size).center().toPoint();
        const SeasonObject::Cell &numbers = season.objects[0].cells[40];
        const QString tip = dialog.toolTipAt(cell);
        for (const QString &part :
             {QStringLiteral("Vega　2027-08-10"),
              QStringLiteral("30° 以上 %1 時間").arg(numbers.darkHoursAbove, 0, 'f', 1),
              QStringLiteral("月明かりなし %1 時間").arg(numbers.moonFreeHoursAbove, 0, 'f', 1),
              QStringLiteral("月の輝面比 %1%")
                  .arg(std::lround(season.nights[40].moonIllumination * 100))})
            QVERIFY2(tip.contains(part),
                     qPrintable(QStringLiteral("want %1 in: %2").arg(part, tip)));
        // Over a name, the whole of it.
        QCOMPARE(dialog.toolTipAt(chart.nameRect(1, size).center().toPoint()),
                 QStringLiteral("M31 Andromeda Galaxy and its two companions M32 and M110"));

        // A double-click on a night sets the date fields and plots it.
        QTest::mouseDClick(&view, Qt::LeftButton, {}, cell);
        QCOMPARE(main.selectedDate().year, 2027);
        QCOMPARE(main.selectedDate().month, 8);
        QCOMPARE(main.selectedDate().day, 10);
        QVERIFY(main.elevationPlot().plotted());
        QCOMPARE(FormatIsoDate(main.elevationPlot().plotted()->date), std::string("2027-08-10"));

        // The image, as the file dialog names it.
        dialog.setSaveDialogForTesting([&](const QString &) { return image; });
        dialog.findChild<QPushButton *>(QStringLiteral("btnSave"))->click();

        // One page through the window's printer.
        dialog.findChild<QPushButton *>(QStringLiteral("btnPrint"))->click();

        // 閉じる is the default button; Escape closes.
        QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("btnClose"))->isDefault());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
    });
    QFile saved(image);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().contains("<svg"));
    QFile printed(pdf);
    QVERIFY(printed.open(QIODevice::ReadOnly));
    QVERIFY(printed.readAll().contains("/Count 1"));
    QVERIFY(fixture_->messages.isEmpty());
}

void SeasonTest::cancelledSeasonNeverShows()
{
    // A field changed while a season is computed: only the last one shows.
    TfrmSeason dialog;
    SeasonSubject subject;
    subject.objects.push_back({1, "Vega", {18, 36, 56.3}, {1, 38, 47, 1.0}});
    subject.site = {139.7, 35.7, 9.0};
    subject.modelName = "chart";
    dialog.setSubject(subject, {2027, 1, 1});
    dialog.setMonths(2);
    QVERIFY(QTest::qWaitFor([&] { return !dialog.isComputing(); }, kWaitMs));
    QVERIFY(dialog.season());
    QCOMPARE(int(dialog.season()->nights.size()), 59);
    // Cancelled at once: the last season stays, also after the thread ends.
    dialog.setMonths(24);
    dialog.cancel();
    QVERIFY(!dialog.isComputing());
    QTest::qWait(300);
    QCOMPARE(int(dialog.season()->nights.size()), 59);
}

QTEST_MAIN(SeasonTest)
#include "season_test.moc"
