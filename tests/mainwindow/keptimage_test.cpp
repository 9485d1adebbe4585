// SPDX-License-Identifier: GPL-3.0-or-later
// The example catalogue's chart, painted by the window and rendered as an
// image, against images kept from an earlier build: a change meant to make
// the chart faster must leave every pixel where it was.
//
// MIRADO_WRITE_KEPT_IMAGES=1 writes the images anew instead of comparing.
#include <QGraphicsView>
#include <QImage>
#include <QTest>

#include "chart/elevationchart.h"
#include "dialogs/select.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

// The example catalogue at the example site, all 42 lines chosen.
const QByteArray kSite = "139.7\r\n35.7\r\n9\r\ncat.txt\r\n";
constexpr TDateRec kNight{2026, 12, 7};
constexpr QSize kWindowSize{640, 480};

// What is drawn besides the curves.
enum Layers
{
    kCurvesOnly = 0,
    kDarkness = 1,
    kMoonAndTransits = 2,
};

// Where the chart is seen.
enum class Surface
{
    View,  // the window's chart view as painted
    Image, // renderImage at the design size
};

QByteArray ExampleCatalogue()
{
    QFile file(QStringLiteral(MIRADO_EXAMPLES_DIR "/catalogue.txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// `count` objects spread over the sky by a fixed sequence: curves crossing
// every part of the plot, drawn over one another.
QByteArray SpreadCatalogue(int count)
{
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

// Where the first pixel of `got` differs from `want` and how many do.
QString Difference(const QImage &want, const QImage &got)
{
    if (want.size() != got.size())
        return QStringLiteral("size: want %1x%2, got %3x%4")
            .arg(want.width())
            .arg(want.height())
            .arg(got.width())
            .arg(got.height());
    int differing = 0;
    QString first;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            if (want.pixel(x, y) != got.pixel(x, y) && differing++ == 0)
                first = QStringLiteral("(%1, %2): want #%3, got #%4")
                            .arg(x)
                            .arg(y)
                            .arg(want.pixel(x, y), 8, 16, QLatin1Char('0'))
                            .arg(got.pixel(x, y), 8, 16, QLatin1Char('0'));
    if (differing == 0)
        return {};
    return QStringLiteral("%1 pixels differ, first at %2").arg(differing).arg(first);
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
    QTest::addColumn<int>("objects"); // 0: the example catalogue
    QTest::addColumn<int>("layers");
    QTest::addColumn<int>("surface");
    QTest::addColumn<QString>("kept");
    struct Row
    {
        const char *name;
        int objects;
        int layers;
        Surface surface;
        const char *kept;
    };
    const Row rows[] = {
        {"view, curves", 0, kCurvesOnly, Surface::View, "tokyo-view.png"},
        {"view, darkness, Moon and transits", 0, kDarkness | kMoonAndTransits, Surface::View,
         "tokyo-view-layers.png"},
        {"image, curves", 0, kCurvesOnly, Surface::Image, "tokyo-image.png"},
        {"image, darkness, Moon and transits", 0, kDarkness | kMoonAndTransits, Surface::Image,
         "tokyo-image-layers.png"},
        {"view, 3,000 curves", 3000, kCurvesOnly, Surface::View, "spread-view.png"},
        {"view, 3,000 curves, darkness", 3000, kDarkness, Surface::View, "spread-view-dark.png"},
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << row.objects << row.layers << int(row.surface)
                                << QString::fromLatin1(row.kept);
}

void KeptImageTest::chartMatchesKeptImage()
{
    QFETCH(int, objects);
    QFETCH(int, layers);
    QFETCH(int, surface);
    QFETCH(QString, kept);

    const QByteArray catalogue = objects > 0 ? SpreadCatalogue(objects) : ExampleCatalogue();
    QCOMPARE(catalogue.count('\n'), objects > 0 ? objects : 42);
    test::WindowFixture fixture;
    fixture.write(QStringLiteral("cat.txt"), catalogue);
    fixture.write(QStringLiteral("site.txt"), kSite);
    TfrmMirado &main = fixture.start();
    main.resize(kWindowSize);
    main.chart()->setAnimatedZoom(false);
    test::SetDate(main, kNight);
    if (layers & kDarkness)
        main.mnuTwilightClick();
    if (layers & kMoonAndTransits) {
        main.mnuMoonClick();
        main.mnuTransitsClick();
    }
    fixture.windows().frmSelect().btnSelectAllClick();
    main.mnuPlotClick();
    QTRY_COMPARE(main.chart()->width(), main.width());

    QImage got;
    if (Surface(surface) == Surface::View) {
        QWidget *viewport = main.chart()->findChild<QGraphicsView *>()->viewport();
        // The chart takes its changes on the next passes of the event loop
        // (the legend's layout one pass after its entries); a picture of
        // many curves may take more than one paint to fill.
        for (int i = 0; i < 10; ++i) {
            QCoreApplication::processEvents();
            viewport->repaint();
        }
        got = viewport->grab().toImage();
    } else {
        got = main.chart()->renderImage();
    }
    got = got.convertToFormat(QImage::Format_RGB32);

    const QString path = QStringLiteral(MIRADO_KEPT_IMAGES_DIR "/") + kept;
    if (qEnvironmentVariableIntValue("MIRADO_WRITE_KEPT_IMAGES") == 1) {
        QVERIFY2(got.save(path), qPrintable(path));
        return;
    }
    const QImage want = QImage(path).convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!want.isNull(), qPrintable("no kept image " + path));
    const QString difference = Difference(want, got);
    if (!difference.isEmpty())
        got.save(
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("got-") + kept));
    QVERIFY2(difference.isEmpty(), qPrintable(kept + ": " + difference));
}

QTEST_MAIN(KeptImageTest)
#include "keptimage_test.moc"
