// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include "chart/elevationchart.h"
#include "dialogs/select.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

// Where the chart is seen: the window at its smallest, images of the tool's
// sizes, and a printed A4 page.
enum class Place
{
    Window,
    Image,
    Print,
};

// Titles of 64 full-width characters, the widest a legend shows.
QByteArray WideTitles()
{
    QByteArray lines;
    for (const char *fill : {"天", "Ｍ"}) {
        QByteArray name;
        for (int i = 0; i < 64; ++i)
            name += fill;
        lines += name + ", 6:00:00, +30:00:00\r\n";
    }
    return lines + "Vega, 18:36:56.3, +38:47:01\r\n";
}

QByteArray ExampleCatalogue()
{
    QFile file(QStringLiteral(MIRADO_EXAMPLES_DIR "/catalogue.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The hour labels are whole numbers, ascending by one step, and apart.
void CheckLabels(const std::vector<AxisLabel> &labels, const QString &where)
{
    QVERIFY2(labels.size() >= 4,
             qPrintable(where + QStringLiteral(": %1 labels").arg(labels.size())));
    static const QRegularExpression wholeNumber(QStringLiteral("^\\d+$"));
    QStringList texts;
    for (const AxisLabel &label : labels)
        texts << label.text;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        QVERIFY2(wholeNumber.match(labels[i].text).hasMatch(),
                 qPrintable(where + ": label \"" + labels[i].text + "\" in " + texts.join(u' ')));
        if (i == 0)
            continue;
        QVERIFY2(labels[i - 1].rect.right() <= labels[i].rect.left(),
                 qPrintable(where + ": labels overlap in " + texts.join(u' ')));
        const int step = labels[1].text.toInt() - labels[0].text.toInt();
        QVERIFY2(step > 0 && labels[i].text.toInt() - labels[i - 1].text.toInt() == step,
                 qPrintable(where + ": uneven labels " + texts.join(u' ')));
    }
}

} // namespace

class LabelsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void hourLabelsStayWhole_data();
    void hourLabelsStayWhole();
};

void LabelsTest::hourLabelsStayWhole_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<int>("place");
    QTest::addColumn<QSize>("size");
    const QByteArray examples = ExampleCatalogue();
    QVERIFY(examples.count('\n') >= 42);
    const QByteArray m13 = "M13 ヘルクレス座球状星団, 16:41:41.6, +36:27:37\r\n";
    for (const auto &[name, catalogue] :
         {std::pair{"42 examples", examples}, std::pair{"64 full-width characters", WideTitles()},
          std::pair{"M13", m13}}) {
        const QString prefix = QString::fromLatin1(name);
        QTest::newRow(qPrintable(prefix + ", window 640x480"))
            << catalogue << int(Place::Window) << QSize(640, 480);
        for (const QSize size : {QSize(632, 347), QSize(640, 375), QSize(800, 500)})
            QTest::newRow(qPrintable(
                prefix + QStringLiteral(", image %1x%2").arg(size.width()).arg(size.height())))
                << catalogue << int(Place::Image) << size;
        QTest::newRow(qPrintable(prefix + ", A4 print"))
            << catalogue << int(Place::Print) << QSize();
    }
}

void LabelsTest::hourLabelsStayWhole()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(int, place);
    QFETCH(QSize, size);

    test::WindowFixture fixture;
    fixture.write(QStringLiteral("cat.txt"), catalogue);
    fixture.write(QStringLiteral("site.txt"), "135\r\n35\r\n9\r\ncat.txt\r\n");
    TfrmMirado &main = fixture.start();
    main.resize(640, 480);
    fixture.windows().frmSelect().btnSelectAllClick();
    main.mnuPlotClick();
    main.mnuNowClick();
    main.tmrNowTimer();
    // The layout has followed the resize before the labels are read.
    QTRY_COMPARE(main.chart()->width(), main.width());
    ElevationChart &chart = *main.chart();
    QVERIFY(chart.attachedSeries().size() >= 2);

    // Only the legend elides: the series keep their whole names.
    for (const SeriesId id : chart.attachedSeries())
        QVERIFY(!chart.seriesTitle(id).contains(u'…'));

    // A print is laid out for the page's print rectangle at its resolution.
    const QString pdf = fixture.dir().filePath(QStringLiteral("chart.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setOutputFileName(pdf);
    const QSize layout = place == int(Place::Image)   ? size
                         : place == int(Place::Print) ? ElevationChart::PrintLayoutSize(printer)
                                                      : chart.size();
    const QString where = QStringLiteral("%1x%2").arg(layout.width()).arg(layout.height());
    const std::vector<AxisLabel> labels = chart.bottomAxisLabels(layout);
    CheckLabels(labels, where);
    if (QTest::currentTestFailed())
        return;
    // The legend keeps to a third of the chart's width.
    const QRectF legend = chart.legendArea(layout);
    QVERIFY2(legend.width() <= layout.width() / 3.0 + 1.0,
             qPrintable(where + QStringLiteral(": legend %1 px wide").arg(legend.width())));

    if (place == int(Place::Print)) {
        // The page shows the same labels, whole.
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed");
        chart.printChart(printer);
        QProcess process;
        process.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(process.waitForFinished(30000));
        const QString text = QString::fromUtf8(process.readAllStandardOutput());
        QStringList want;
        for (const AxisLabel &label : labels)
            want << QRegularExpression::escape(label.text);
        const QRegularExpression row(QStringLiteral("(^|\\s)") + want.join(QStringLiteral("\\s+")) +
                                     QStringLiteral("(\\s|$)"));
        QVERIFY2(row.match(text).hasMatch(), qPrintable("A4 page:\n" + text));
    }
}

QTEST_MAIN(LabelsTest)
#include "labels_test.moc"
