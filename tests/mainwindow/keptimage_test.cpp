// SPDX-License-Identifier: GPL-3.0-or-later
// The chart, painted by the window and rendered as an image, against images
// kept from an earlier build: a change meant to make the chart faster must
// leave every pixel where it was. MIRADO_WRITE_KEPT_IMAGES=1 writes them anew.
#include <QGraphicsView>
#include <QTest>

#include "chart/elevationchart.h"
#include "dialogs/select.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

// The example catalogue, or `count` objects spread over the sky by a fixed
// sequence: curves crossing every part of the plot, over one another.
QByteArray Catalogue(int count)
{
    QFile file(QStringLiteral(MIRADO_EXAMPLES_DIR "/catalogue.txt"));
    if (count == 0)
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    QByteArray lines;
    quint32 state = 7;
    const auto next = [&state](quint32 bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    for (int i = 0; i < count; ++i)
        lines += QStringLiteral("Object %1, %2:%3:%4, %5%6:%7:%8\r\n")
                     .arg(i)
                     .arg(next(24))
                     .arg(next(60))
                     .arg(next(60))
                     .arg(next(2) ? '+' : '-')
                     .arg(next(90))
                     .arg(next(60))
                     .arg(next(60))
                     .toLatin1();
    return lines;
}

} // namespace

class KeptImageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void chartMatchesKeptImage_data();
    void chartMatchesKeptImage();
};

void KeptImageTest::chartMatchesKeptImage_data()
{
    QTest::addColumn<int>("objects"); // 0: the example catalogue's 42
    QTest::addColumn<int>("layers");  // 1 darkness, 2 Moon and transits
    QTest::addColumn<bool>("view");   // the window's view, or renderImage
    QTest::addColumn<int>("before");  // objects plotted before, 0: none
    QTest::newRow("tokyo-view") << 0 << 0 << true << 0;
    QTest::newRow("tokyo-view after 3,000 curves") << 0 << 0 << true << 3000;
    QTest::newRow("tokyo-view-layers") << 0 << 3 << true << 0;
    QTest::newRow("tokyo-image") << 0 << 0 << false << 0;
    QTest::newRow("tokyo-image-layers") << 0 << 3 << false << 0;
    QTest::newRow("spread-view") << 3000 << 0 << true << 0;
    QTest::newRow("spread-view-dark") << 3000 << 1 << true << 0;
}

void KeptImageTest::chartMatchesKeptImage()
{
    QFETCH(int, objects);
    QFETCH(int, layers);
    QFETCH(bool, view);
    QFETCH(int, before);
    test::WindowFixture fixture;
    fixture.write(QStringLiteral("cat.txt"), Catalogue(objects));
    fixture.write(QStringLiteral("site.txt"), "139.7\r\n35.7\r\n9\r\ncat.txt\r\n");
    TfrmMirado &main = fixture.start();
    main.resize(640, 480);
    main.chart()->setAnimatedZoom(false);
    test::SetDate(main, {2026, 12, 7});
    if (layers & 1)
        main.mnuTwilightClick();
    if (layers & 2) {
        main.mnuMoonClick();
        main.mnuTransitsClick();
    }
    if (before > 0) {
        main.LoadCatalogue(
            fixture.write(QStringLiteral("before.txt"), Catalogue(before)).toStdString());
        fixture.windows().frmSelect().btnSelectAllClick();
        main.mnuPlotClick();
        QCoreApplication::processEvents();
        main.LoadCatalogue("cat.txt");
    }
    fixture.windows().frmSelect().btnSelectAllClick();
    main.mnuPlotClick();
    QTRY_COMPARE(main.chart()->width(), main.width());
    QWidget *viewport = main.chart()->findChild<QGraphicsView *>()->viewport();
    // The chart takes its changes on the next passes of the event loop (the
    // legend's layout one pass after its entries); a picture of many curves
    // may take more than one paint to fill.
    for (int i = 0; i < 10 && view; ++i) {
        QCoreApplication::processEvents();
        viewport->repaint();
    }
    const QImage got = (view ? viewport->grab().toImage() : main.chart()->renderImage())
                           .convertToFormat(QImage::Format_RGB32);

    const QString name = QString::fromLatin1(QTest::currentDataTag()).section(u' ', 0, 0) + ".png";
    const QString path = QStringLiteral(MIRADO_KEPT_IMAGES_DIR "/") + name;
    if (qEnvironmentVariableIntValue("MIRADO_WRITE_KEPT_IMAGES") == 1)
        QVERIFY2(got.save(path), qPrintable(path));
    const QImage want = QImage(path).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(got.size(), want.size());
    int differing = 0;
    QString first;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            if (want.pixel(x, y) != got.pixel(x, y) && differing++ == 0)
                first = QStringLiteral("(%1, %2): want #%3, got #%4")
                            .arg(x)
                            .arg(y)
                            .arg(want.pixel(x, y), 8, 16)
                            .arg(got.pixel(x, y), 8, 16);
    if (differing > 0)
        got.save(QCoreApplication::applicationDirPath() + "/got-" + name);
    QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1: %2 pixels differ, first at %3")
                                            .arg(name)
                                            .arg(differing)
                                            .arg(first)));
}

QTEST_MAIN(KeptImageTest)
#include "keptimage_test.moc"
