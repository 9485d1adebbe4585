// SPDX-License-Identifier: GPL-3.0-or-later
// The chart in the window: the read-out under the pointer, the legend's
// whole names, and the keyboard once the chart has the focus.
#include <QGraphicsView>
#include <QSpinBox>
#include <QTest>

#include "chart/elevationchart.h"
#include "dialogs/select.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

const QByteArray kSite = "139.7\r\n35.7\r\n9\r\ncat.txt\r\n";
// The second name is longer than a legend title may be.
const QByteArray kCatalogue =
    "Vega, 18:36:56.3, +38:47:01\r\n"
    "Sirius, 6:45:08.9, -16:42:58\r\n"
    "M42 オリオン座大星雲、その周りに広がる散光星雲と暗黒星雲、トラペジウムの若い星々、"
    "そしてランニングマン星雲まで含むオリオン座の剣の領域全体, 5:35:17.3, -5:23:28\r\n";

} // namespace

class PointerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void init();
    void cleanup() { fixture_.reset(); }
    void readOutAndWholeNames();
    void keyboardAfterTabOrClick();

private:
    TfrmMirado &main() { return fixture_->main(); }
    std::unique_ptr<test::WindowFixture> fixture_;
};

void PointerTest::init()
{
    fixture_ = std::make_unique<test::WindowFixture>();
    fixture_->write(QStringLiteral("site.txt"), kSite);
    fixture_->write(QStringLiteral("cat.txt"), kCatalogue);
    fixture_->start();
    main().chart()->setAnimatedZoom(false);
    test::SetDate(main(), {2027, 1, 15});
    fixture_->windows().frmSelect().setChecked(1, true);
    fixture_->windows().frmSelect().setChecked(2, true);
    main().mnuPlotClick();
}

void PointerTest::readOutAndWholeNames()
{
    ElevationChart &chart = *main().chart();
    QCOMPARE(chart.attachedSeries().size(), std::size_t(2));
    const SeriesId m42 = chart.attachedSeries()[1];
    const QString wholeName = QString::fromUtf8(kCatalogue.split('\n')[2].split(',')[0]);
    QVERIFY(chart.seriesTitle(m42) != wholeName);

    // On the curve at 22:00 (point 30 of 96): name, line, time, elevation.
    const QPointF value = chart.seriesPoints(m42).at(30);
    QCOMPARE(value.x(), 22.0);
    const AxisRanges ranges{chart.bottomRange(), chart.leftRange()};
    const QString text = chart.toolTipAt(PixelAtValue(chart.plotArea(), ranges, value));
    const QStringList lines = text.split(u'\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], wholeName);
    QCOMPARE(lines[1], QStringLiteral("行 3"));
    QVERIFY2(lines[2].startsWith(QStringLiteral("時刻 22:00  恒星時 ")), qPrintable(lines[2]));
    QCOMPARE(lines[3].section(u' ', 0, 1), QStringLiteral("高度 %1°").arg(value.y(), 0, 'f', 1));

    // The legend's entry tells the whole name.
    const QRectF legend = chart.legendArea();
    QStringList legendTips;
    for (double y = legend.top(); y < legend.bottom(); y += 2.0) {
        const QString tip = chart.toolTipAt(QPointF(legend.left() + 30.0, y));
        if (!tip.isEmpty() && !legendTips.contains(tip))
            legendTips << tip;
    }
    QCOMPARE(legendTips, (QStringList{QStringLiteral("Sirius"), wholeName}));
}

void PointerTest::keyboardAfterTabOrClick()
{
    ElevationChart *chart = main().chart();
    QVERIFY(QTest::qWaitForWindowActive(&main()));
    QSpinBox *year = main().findChild<QSpinBox *>(QStringLiteral("sedYear"));
    year->setFocus();
    // Tab reaches the chart.
    for (int i = 0; i < 20 && !chart->hasFocus(); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(chart->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Plus);
    QVERIFY(std::abs(chart->bottomRange().min - 19.1) < 1e-9);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    QVERIFY(std::abs(chart->bottomRange().min - 17.0) < 1e-9);

    // A click takes the focus too; the date fields keep their arrow keys.
    year->setFocus();
    QTest::keyClick(year, Qt::Key_Up);
    QCOMPARE(year->value(), 2028);
    QWidget *viewport = chart->findChild<QGraphicsView *>()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, viewport->rect().center());
    QVERIFY(chart->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QVERIFY(std::abs(chart->bottomRange().min - 18.4) < 1e-9);
    QVERIFY(fixture_->messages.isEmpty());
}

QTEST_MAIN(PointerTest)
#include "pointer_test.moc"
