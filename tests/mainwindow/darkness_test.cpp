// SPDX-License-Identifier: GPL-3.0-or-later
// The darkness shading of the main window: off at the first start, kept in
// the user's settings, following the night of the last plot.
#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QSpinBox>
#include <QTest>

#include "chart/elevationchart.h"
#include "dialogs/select.h"
#include "night/darkness.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

const QByteArray kSite = "139.7\r\n35.7\r\n9\r\ncat.txt\r\n";
const QByteArray kCatalogue = "Vega, 18:36:56.3, +38:47:01\r\n"
                              "Sirius, 6:45:08.9, -16:42:58\r\n";

// The bands a night at the example site should show.
std::vector<ShadeBand> BandsOf(const TDateRec &date, const NightSite &site)
{
    std::vector<ShadeBand> bands;
    for (const DarknessStretch &s : DarknessStretches(date, site))
        bands.push_back({s.begin, s.end, s.level});
    return bands;
}

bool SameBands(const std::vector<ShadeBand> &a, const std::vector<ShadeBand> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].fromX != b[i].fromX || a[i].toX != b[i].toX || a[i].level != b[i].level)
            return false;
    return true;
}

} // namespace

class DarknessTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void init();
    void cleanup() { fixture_.reset(); }
    void menuItemOpensTheViewMenusLastGroupAndStartsOff();
    void followsTheNightOfTheLastPlot();
    void choiceIsKeptForTheNextStart();
    void offLeavesTheChartAsItWas();

private:
    TfrmMirado &main() { return fixture_->main(); }
    QAction *item() { return main().findChild<QAction *>(QStringLiteral("mnuTwilight")); }
    void plot()
    {
        fixture_->windows().frmSelect().setChecked(0, true);
        fixture_->windows().frmSelect().setChecked(1, true);
        main().mnuPlotClick();
    }

    const NightSite site_{139.7, 35.7, 9.0};
    std::unique_ptr<test::WindowFixture> fixture_;
};

void DarknessTest::init()
{
    fixture_ = std::make_unique<test::WindowFixture>();
    fixture_->write(QStringLiteral("site.txt"), kSite);
    fixture_->write(QStringLiteral("cat.txt"), kCatalogue);
    fixture_->start();
    main().chart()->setAnimatedZoom(false);
}

void DarknessTest::menuItemOpensTheViewMenusLastGroupAndStartsOff()
{
    QAction *twilight = item();
    QVERIFY(twilight);
    QCOMPARE(twilight->text(), QStringLiteral("薄明の表示(&T)"));
    QVERIFY(twilight->isCheckable());
    QVERIFY(!twilight->isChecked());
    const QList<QAction *> actions =
        main().findChild<QMenu *>(QStringLiteral("mnuShow"))->actions();
    const qsizetype at = actions.indexOf(twilight);
    QVERIFY(at > 0);
    QVERIFY(actions.at(at - 1)->isSeparator());
    QVERIFY(main().chart()->shadeBands().empty());
}

void DarknessTest::followsTheNightOfTheLastPlot()
{
    const TDateRec first{2026, 12, 28};
    const TDateRec second{2027, 6, 21};
    test::SetDate(main(), first);
    plot();
    item()->trigger();
    QVERIFY(item()->isChecked());
    QVERIFY(!main().chart()->shadeBands().empty());
    QVERIFY(SameBands(main().chart()->shadeBands(), BandsOf(first, site_)));

    // New date fields change nothing until the next plot, as with the curves.
    test::SetDate(main(), second);
    QVERIFY(SameBands(main().chart()->shadeBands(), BandsOf(first, site_)));
    plot();
    QVERIFY(SameBands(main().chart()->shadeBands(), BandsOf(second, site_)));
    QCOMPARE(main().chart()->attachedSeries().size(), std::size_t(2));

    item()->trigger();
    QVERIFY(!item()->isChecked());
    QVERIFY(main().chart()->shadeBands().empty());
    QVERIFY(fixture_->messages.isEmpty());
}

void DarknessTest::choiceIsKeptForTheNextStart()
{
    item()->trigger();
    QCOMPARE(QSettings(QSettings::IniFormat, QSettings::UserScope, "mirado", "mirado")
                 .value("view/twilight")
                 .toBool(),
             true);

    // A new start reads it back and shades the date fields' night at once.
    fixture_->start();
    QVERIFY(item()->isChecked());
    const TDateRec shown{main().selectedDate()};
    QVERIFY(SameBands(main().chart()->shadeBands(), BandsOf(shown, site_)));

    item()->trigger();
    fixture_->start();
    QVERIFY(!item()->isChecked());
    QVERIFY(main().chart()->shadeBands().empty());
}

void DarknessTest::offLeavesTheChartAsItWas()
{
    test::SetDate(main(), {2026, 12, 28});
    plot();
    const QImage before = main().chart()->renderImage();
    item()->trigger();
    const QImage shaded = main().chart()->renderImage();
    QVERIFY(shaded != before);
    item()->trigger();
    QCOMPARE(main().chart()->renderImage(), before);
}

QTEST_MAIN(DarknessTest)
#include "darkness_test.moc"
