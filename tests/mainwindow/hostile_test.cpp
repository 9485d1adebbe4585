// SPDX-License-Identifier: GPL-3.0-or-later
// Catalogues and site files from anywhere, driven through the real window:
// each loads or fails with the program's text, and plotting its lines draws
// or stops at the failing line with the program's text, never a crash.
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
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

// The hostile shapes of large catalogues, `megabytes` long: nothing but line
// breaks (a line each), one line of "1:" sub-fields, and ordinary lines.
QByteArray LineBreaks(int megabytes)
{
    return QByteArray(megabytes * 1024 * 1024, '\n');
}

QByteArray OneLineOfSubFields(int megabytes)
{
    QByteArray line = "Star, ";
    line += QByteArray("1:").repeated(megabytes * 512 * 1024);
    return line + ", +1:0:0";
}

QByteArray OrdinaryLines(int megabytes)
{
    QByteArray bytes = ManyLines(100000);
    bytes = bytes.repeated(megabytes * 1024 * 1024 / static_cast<int>(bytes.size()) + 1);
    bytes.truncate(bytes.lastIndexOf('\n', megabytes * 1024 * 1024) + 1);
    return bytes;
}

// The peak resident memory in bytes of the probe run as `mode` on `argument`,
// a child process of its own, as the probe reads it for itself; -1 when it
// fails.
qint64 ProbePeakBytes(const QString &mode, const QString &argument)
{
    QProcess probe;
    probe.setProcessChannelMode(QProcess::SeparateChannels);
    probe.start(QStringLiteral(MIRADO_MEMORY_PROBE), {mode, argument});
    if (!probe.waitForFinished(300000) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0)
        return -1;
    const QList<QByteArray> figures = probe.readAllStandardOutput().trimmed().split(' ');
    return figures.size() == 3 ? figures[2].toLongLong() * 1024 : -1;
}

// The peak resident memory of the probe run as `mode` on a catalogue of
// `bytes`, named by a site file in a scratch folder.
qint64 ProbeCatalogue(const QString &mode, const QByteArray &bytes)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("cat.txt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return -1;
    file.close();
    QFile site(folder.filePath(QStringLiteral("site.txt")));
    if (!site.open(QIODevice::WriteOnly))
        return -1;
    site.write("135\r\n35\r\n9\r\n" + QFile::encodeName(file.fileName()) + "\r\n");
    site.close();
    return ProbePeakBytes(mode, mode == u"read" ? file.fileName() : folder.path());
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
    void textCutOffAtANul();
    void aMillionLines();
    void aFileThatDisappearsBeforeTheRead();
    void manyDroppedFilesLoadTheFirst();
    void hugeSiteFile();
    void largeHostileShapes_data();
    void largeHostileShapes();
    void memoryInProportionToTheFile_data();
    void memoryInProportionToTheFile();
    void memoryOfACurve_data();
    void memoryOfACurve();

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
    QTest::newRow("NUL bytes after a line") << good + "\n" + QByteArray(10, '\0') << 1 << 1;
    QTest::newRow("one 10 MB line") << QByteArray(10 * 1024 * 1024, 'x') << 1 << 0;
    QTest::newRow("10 MB name") << QByteArray(10 * 1024 * 1024, 'x') + ", 1:0:0, +1:0:0" << 1 << 1;
    QTest::newRow("random binary") << RandomBytes(64 * 1024, 1) << -1 << -1;
    QTest::newRow("random binary 2") << RandomBytes(4096, 2) << -1 << -1;
    QTest::newRow("CR only") << good + "\r" + good + "\r" << 2 << 2;
    QTest::newRow("UTF-8 byte-order mark") << "\xEF\xBB\xBF" + good + "\n" << 1 << 1;
    QTest::newRow("UTF-8 names") << QStringLiteral("ベガ, 18:36:56, +38:47:01\n").toUtf8() << 1
                                 << 1;
    // Names whose last UTF-8 byte would be a Shift-JIS lead byte (0x8B, 0x9F).
    QTest::newRow("UTF-8 names ending in lead bytes")
        << QStringLiteral("すばる, 3:47:00, +24:07:00\n北極星, 2:31:49, +89:15:51\n").toUtf8() << 2
        << 2;
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
    // Only a text cut off at a NUL byte warns as it loads.
    const qsizetype nul = content.indexOf('\0');
    const bool cutOff = nul >= 0 && content.count('\0') < content.size() - nul;
    QCOMPARE(fixture_->messages.size(), cutOff ? 1 : 0);
    if (cutOff)
        QVERIFY2(fixture_->messages[0].text.contains(QStringLiteral("行目に NUL 文字があるため")),
                 qPrintable(fixture_->messages[0].text.left(200)));
    fixture_->messages.clear();
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

// A text cut off at a NUL byte loads up to it and says so in one warning.
void HostileTest::textCutOffAtANul()
{
    const QByteArray vega = "Vega, 18:36:56, +38:47:01\n";
    const QString path =
        fixture_->write(QStringLiteral("cut.txt"), vega.repeated(10) + '\0' + vega.repeated(33));
    fixture_->main().HandleDroppedFiles({path});
    QCOMPARE(fixture_->main().catalogueLines().size(), std::size_t(10));
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].caption, QStringLiteral("警告"));
    QCOMPARE(fixture_->messages[0].text,
             QStringLiteral("ファイル %1 の 11 行目に NUL 文字があるため，"
                            "それ以降は読み込みません．")
                 .arg(path));
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

void HostileTest::largeHostileShapes_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("curves");
    QTest::addColumn<QString>("error");
    QTest::newRow("25 MB of line breaks")
        << LineBreaks(25) << 25 * 1024 * 1024 << 0
        << QStringLiteral("リストのインデックスが範囲を超えています (0)");
    QTest::newRow("a 25 MB line of 1: sub-fields") << OneLineOfSubFields(25) << 1 << 1 << QString();
}

void HostileTest::largeHostileShapes()
{
    QFETCH(QByteArray, content);
    QFETCH(int, lines);
    QFETCH(int, curves);
    QFETCH(QString, error);
    TfrmMirado &main = fixture_->main();
    main.HandleDroppedFiles({fixture_->write(QStringLiteral("large.txt"), content)});
    content.clear();
    QVERIFY(fixture_->messages.isEmpty());
    QCOMPARE(main.catalogueLines().size(), std::size_t(lines));
    TfrmSelect &select = fixture_->windows().frmSelect();
    QCOMPARE(select.itemCount(), lines);
    select.setChecked(0, true);
    select.btnOKClick();
    QCOMPARE(static_cast<int>(main.chart()->attachedSeries().size()), curves);
    QCOMPARE(fixture_->messages.size(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty())
        QCOMPARE(fixture_->messages[0].text, error);
}

void HostileTest::memoryInProportionToTheFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("timesTheSize");
    // Four bytes of offset for each empty line, and the text while it is split.
    QTest::newRow("line breaks, window") << LineBreaks(25) << "window" << 6;
    QTest::newRow("line breaks, read") << LineBreaks(25) << "read" << 6;
    QTest::newRow("one line of sub-fields, window") << OneLineOfSubFields(25) << "window" << 3;
    QTest::newRow("one line of sub-fields, read") << OneLineOfSubFields(25) << "read" << 3;
    QTest::newRow("ordinary lines, window") << OrdinaryLines(25) << "window" << 3;
    QTest::newRow("ordinary lines, read") << OrdinaryLines(25) << "read" << 3;
}

// The memory a catalogue costs, as the peak resident memory of a process
// that loads it less that of one loading an empty file: at most
// `timesTheSize` times the file's size plus 50 MB.
void HostileTest::memoryInProportionToTheFile()
{
#if defined(MIRADO_SANITIZE) || defined(__SANITIZE_ADDRESS__)
    QSKIP("the sanitizers' own memory would be measured");
#endif
    QFETCH(QByteArray, content);
    QFETCH(QString, mode);
    QFETCH(int, timesTheSize);
    constexpr qint64 kAllowance = 50 * 1024 * 1024;

    const qint64 empty = ProbeCatalogue(mode, QByteArray());
    const qint64 loaded = ProbeCatalogue(mode, content);
    QVERIFY(empty > 0 && loaded > 0);
    const qint64 bound = timesTheSize * qint64(content.size()) + kAllowance;
    qInfo("%lld MB file: %lld MB above an empty one", qint64(content.size()) >> 20,
          (loaded - empty) >> 20);
    QVERIFY2(loaded - empty <= bound, qPrintable(QStringLiteral("want at most %1 MB, got %2 MB")
                                                     .arg(bound >> 20)
                                                     .arg((loaded - empty) >> 20)));
}

void HostileTest::memoryOfACurve_data()
{
    QTest::addColumn<int>("objects");
    QTest::addColumn<qint64>("bytesPerCurve");
    QTest::newRow("100,000 curves, 2 KB each at most") << 100000 << qint64(2048);
}

// A plotted curve costs at most `bytesPerCurve` of peak resident memory: a
// plot of every line against the same catalogue loaded and not plotted.
void HostileTest::memoryOfACurve()
{
#if defined(MIRADO_SANITIZE) || defined(__SANITIZE_ADDRESS__)
    QSKIP("the sanitizers' own memory would be measured");
#endif
    QFETCH(int, objects);
    QFETCH(qint64, bytesPerCurve);
    const QByteArray content = ManyLines(objects);
    const qint64 loaded = ProbeCatalogue(QStringLiteral("window"), content);
    const qint64 plotted = ProbeCatalogue(QStringLiteral("plot"), content);
    QVERIFY(loaded > 0 && plotted > 0);
    const qint64 perCurve = (plotted - loaded) / objects;
    qInfo("%d curves: %lld bytes each", objects, perCurve);
    QVERIFY2(perCurve <= bytesPerCurve,
             qPrintable(
                 QStringLiteral("want at most %1 bytes, got %2").arg(bytesPerCurve).arg(perCurve)));
}

QTEST_MAIN(HostileTest)
#include "hostile_test.moc"
