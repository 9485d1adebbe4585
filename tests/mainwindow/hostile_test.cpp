// SPDX-License-Identifier: GPL-3.0-or-later
// Catalogues and site files from anywhere, driven through the real window:
// each loads or fails with the program's text, and plotting its lines draws
// or stops at the failing line with the program's text, never a crash.
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include "chart/elevationchart.h"
#include "dialogs/select.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

// The texts a plot or a load may end with.
const QRegularExpression
    kKnownError(QStringLiteral("^(リストのインデックスが範囲を超えています \\(\\d+\\)|"
                               "'.*' is not a valid (integer|floating point) value\\.|"
                               "Integer overflow\\.|ファイル .* は開けません\\.?)$"),
                QRegularExpression::DotMatchesEverythingOption);

QByteArray RandomBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = static_cast<char>(random.bounded(256));
    return bytes;
}

QByteArray ManyLines(int count)
{
    QByteArray bytes;
    bytes.reserve(count * 28);
    for (int i = 0; i < count; ++i)
        bytes += "Star " + QByteArray::number(i) + ", 6:00:00, +30:00:00\n";
    return bytes;
}

} // namespace

class HostileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void init();
    void cleanup() { fixture_.reset(); }

    void catalogues_data();
    void catalogues();
    void aMillionLines();
    void aFileThatDisappearsBeforeTheRead();
    void manyDroppedFilesLoadTheFirst();
    void hugeSiteFile();

private:
    std::unique_ptr<test::WindowFixture> fixture_;
};

void HostileTest::init()
{
    fixture_ = std::make_unique<test::WindowFixture>();
    fixture_->start();
    fixture_->main().chart()->setAnimatedZoom(false);
}

void HostileTest::catalogues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("curves"); // -1: whatever the bytes give

    const QByteArray good = "Vega, 18:36:56.3, +38:47:01";
    QByteArray thousandFields = good;
    for (int i = 0; i < 1000; ++i)
        thousandFields += ", field " + QByteArray::number(i);

    QTest::newRow("empty") << QByteArray() << 0 << 0;
    QTest::newRow("NUL bytes") << QByteArray(4096, '\0') << 0 << 0;
    QTest::newRow("NUL after a line") << good + "\n" + QByteArray(10, '\0') + good << 1 << 1;
    QTest::newRow("one 10 MB line") << QByteArray(10 * 1024 * 1024, 'x') << 1 << 0;
    QTest::newRow("10 MB name") << QByteArray(10 * 1024 * 1024, 'x') + ", 1:0:0, +1:0:0" << 1 << 1;
    QTest::newRow("random binary") << RandomBytes(64 * 1024, 1) << -1 << -1;
    QTest::newRow("random binary 2") << RandomBytes(4096, 2) << -1 << -1;
    QTest::newRow("CR only") << good + "\r" + good + "\r" << 2 << 2;
    QTest::newRow("UTF-8 byte-order mark") << "\xEF\xBB\xBF" + good + "\n" << 1 << 1;
    QTest::newRow("UTF-8 names") << QStringLiteral("ベガ, 18:36:56, +38:47:01\n").toUtf8() << 1
                                 << 1;
    // Shift-JIS lead bytes before a comma, a colon, a quote and a blank: the
    // pair is one character, so the separator is not one.
    QTest::newRow("lead byte before comma") << QByteArray("\x83,Vega, 1:0:0, +1:0:0\n") << 1 << 1;
    QTest::newRow("lead byte before colon") << QByteArray("Vega, 1\x81:0:0, +1:0:0\n") << 1 << 0;
    QTest::newRow("lead byte before quote") << QByteArray("\x82'Vega, 1:0:0, +1:0:0\n") << 1 << 1;
    QTest::newRow("lead byte before blank") << QByteArray("\x82 Vega, 1:0:0, +1:0:0\n") << 1 << 1;
    QTest::newRow("lead byte at the end") << QByteArray("Vega, 1:0:0, +1:0:0\x81") << 1 << 0;
    QTest::newRow("1,000 fields") << thousandFields + "\n" << 1 << 1;
    QTest::newRow("1,000 sub-fields") << good + QByteArray(1000, ':') + "\n" << 1 << 1;
    QTest::newRow("huge numbers") << QByteArray(
                                         "A, 99999999999:0:0, +1:0:0\nB, 1:0:1e999, +1:0:0\n")
                                  << 2 << 0;
    QTest::newRow("second line bad") << good + "\nVega\n" + good + "\n" << 3 << 1;
}

void HostileTest::catalogues()
{
    QFETCH(QByteArray, content);
    QFETCH(int, lines);
    QFETCH(int, curves);
    TfrmMirado &main = fixture_->main();
    const QString path = fixture_->write(QStringLiteral("hostile.txt"), content);

    main.HandleDroppedFiles({path});
    QVERIFY2(fixture_->messages.isEmpty(), qPrintable(fixture_->messages.value(0).text.left(200)));
    const int loaded = static_cast<int>(main.catalogueLines().size());
    if (lines >= 0)
        QCOMPARE(loaded, lines);
    QCOMPARE(fixture_->windows().frmSelect().itemCount(), loaded);

    fixture_->windows().frmSelect().btnSelectAllClick();
    fixture_->windows().frmSelect().btnOKClick();
    const int drawn = static_cast<int>(main.chart()->attachedSeries().size());
    if (curves >= 0)
        QCOMPARE(drawn, curves);
    // Either every checked line was drawn, or the plot stopped at the first
    // failing line with one of the program's texts.
    if (drawn < loaded) {
        QCOMPARE(fixture_->messages.size(), 1);
        QVERIFY2(kKnownError.match(fixture_->messages[0].text).hasMatch(),
                 qPrintable(fixture_->messages[0].text.left(200)));
        QVERIFY(fixture_->messages[0].text.size() < 1200);
    } else {
        QVERIFY(fixture_->messages.isEmpty());
    }
    for (const SeriesId curve : main.chart()->attachedSeries())
        QVERIFY(main.chart()->seriesTitle(curve).size() <= 65);
}

void HostileTest::aMillionLines()
{
    TfrmMirado &main = fixture_->main();
    const QString path = fixture_->write(QStringLiteral("million.txt"), ManyLines(1000000));
    main.HandleDroppedFiles({path});
    QVERIFY(fixture_->messages.isEmpty());
    QCOMPARE(fixture_->windows().frmSelect().itemCount(), 1000000);
    fixture_->windows().frmSelect().setChecked(0, true);
    fixture_->windows().frmSelect().setChecked(999999, true);
    main.mnuPlotClick();
    QCOMPARE(main.chart()->attachedSeries().size(), std::size_t(2));
    QCOMPARE(main.chart()->seriesTitle(main.chart()->attachedSeries()[1]),
             QStringLiteral("Star 999999"));
}

void HostileTest::aFileThatDisappearsBeforeTheRead()
{
    TfrmMirado &main = fixture_->main();
    main.HandleDroppedFiles({fixture_->write(QStringLiteral("a.txt"), ManyLines(3))});
    const QString gone = fixture_->write(QStringLiteral("gone.txt"), ManyLines(5));
    QFile::remove(gone);
    main.HandleDroppedFiles({gone});
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].caption, QStringLiteral("警告"));
    QCOMPARE(fixture_->messages[0].text, QStringLiteral("ファイル %1 は開けません").arg(gone));
    QCOMPARE(main.catalogueLines().size(), std::size_t(3));
}

void HostileTest::manyDroppedFilesLoadTheFirst()
{
    QStringList files;
    for (int i = 0; i < 500; ++i)
        files << fixture_->write(QStringLiteral("f%1.txt").arg(i), ManyLines(i + 1));
    fixture_->main().HandleDroppedFiles(files);
    QCOMPARE(fixture_->main().catalogueLines().size(), std::size_t(1));
    // A folder first: the warning, and nothing else is tried.
    fixture_->main().HandleDroppedFiles({fixture_->dir().path(), files[4]});
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->main().catalogueLines().size(), std::size_t(1));
}

void HostileTest::hugeSiteFile()
{
    // A 20 MB number on the first line: the error names it, shortened.
    fixture_.reset();
    fixture_ = std::make_unique<test::WindowFixture>();
    fixture_->write(QStringLiteral("site.txt"), QByteArray(20 * 1024 * 1024, '7') + "x\n35\n9\n\n");
    fixture_->start();
    QCOMPARE(fixture_->messages.size(), 1);
    QVERIFY(fixture_->messages[0].text.startsWith(QStringLiteral("'7777")));
    QVERIFY(fixture_->messages[0].text.endsWith(
        QStringLiteral("…' is not a valid floating point value.")));
    QVERIFY(fixture_->messages[0].text.size() < 1100);
    QCOMPARE(fixture_->main().site().longitude, 0.0);
}

QTEST_MAIN(HostileTest)
#include "hostile_test.moc"
