// SPDX-License-Identifier: GPL-3.0-or-later
// The table of the night: 表示 → 今夜の一覧 lists what the last plot drew,
// saves the very CSV of mirado-night --events, sorts by value, copies rows.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "dialogs/select.h"
#include "dialogs/tonight.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

QByteArray ExampleFile(const char *name)
{
    QFile file(QStringLiteral(MIRADO_EXAMPLES_DIR "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The example site's longitude, latitude and zone, without its catalogue.
const QByteArray kTokyo = "139.7\r\n35.7\r\n9\r\n";

// UTF-8 names that need quoting in CSV, and an object that never sets.
const QByteArray kQuotedNames = "\"Regulus, α Leo\", 10:08:22.3, +11:58:02\n"
                                "南十字 α, 12:26:35.9, -63:05:57\n"
                                " Vega , 18:36:56.3, +38:47:01\n";

} // namespace

class TonightTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void cleanup() { fixture_.reset(); }
    void itemIsLastInTheViewMenuAndWaitsForAPlot();
    void savedCsvIsMiradoNights_data();
    void savedCsvIsMiradoNights();
    void columnsSortByValue();
    void limitAndCopyAndKeys();
    void failedSaveWarnsAndCancelWritesNothing();

private:
    TfrmMirado &start(const QByteArray &site, const QByteArray &catalogue, const TDateRec &date,
                      bool precise = false)
    {
        fixture_ = std::make_unique<test::WindowFixture>();
        fixture_->write(QStringLiteral("site.txt"), site + "cat.txt\r\n");
        fixture_->write(QStringLiteral("cat.txt"), catalogue);
        TfrmMirado &main = fixture_->start();
        test::SetDate(main, date);
        if (precise)
            main.mnuPreciseClick();
        fixture_->windows().frmSelect().btnSelectAllClick();
        main.mnuPlotClick();
        return main;
    }
    QAction *item() { return fixture_->main().findChild<QAction *>(QStringLiteral("mnuTonight")); }
    // Opens the table, runs `act` on it while it is shown, then closes it.
    void withTable(const std::function<void(TfrmTonight &)> &act)
    {
        QTimer::singleShot(0, [&] {
            TfrmTonight &table = *fixture_->main().tonightDialog();
            act(table);
            table.reject();
        });
        item()->trigger();
    }

    std::unique_ptr<test::WindowFixture> fixture_;
};

void TonightTest::itemIsLastInTheViewMenuAndWaitsForAPlot()
{
    fixture_ = std::make_unique<test::WindowFixture>();
    TfrmMirado &main = fixture_->start();
    const QList<QAction *> actions = main.findChild<QMenu *>(QStringLiteral("mnuShow"))->actions();
    QCOMPARE(actions.last(), item());
    QVERIFY(actions.at(actions.size() - 2)->isSeparator());
    QCOMPARE(item()->text(), QStringLiteral("今夜の一覧(&L)..."));
    QVERIFY(!item()->isEnabled());
    main.mnuTonightClick();
    QVERIFY(!main.tonightDialog());
    main.mnuPlotClick(); // an empty catalogue: the Sun and the Moon all the same
    QVERIFY(item()->isEnabled());
    withTable([](TfrmTonight &table) {
        QCOMPARE(table.windowTitle(), QStringLiteral("今夜の一覧"));
        QCOMPARE(table.table()->model()->rowCount(), 0);
        QVERIFY(table.eventText(QStringLiteral("日没")).contains(u':'));
    });
}

void TonightTest::savedCsvIsMiradoNights_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QString>("date");
    QTest::addColumn<bool>("precise");
    QTest::addColumn<int>("limitDeg");
    QTest::newRow("42 examples, chart model, 30°")
        << kTokyo << ExampleFile("catalogue.txt") << "2026-12-07" << false << 30;
    QTest::newRow("42 examples, precise, 20°, a 94 % Moon")
        << kTokyo << ExampleFile("catalogue.txt") << "2027-06-21" << true << 20;
    QTest::newRow("quoted UTF-8 names, Sydney in winter, 0°")
        << QByteArray("151.2\r\n-33.9\r\n10\r\n") << kQuotedNames << "2027-07-01" << false << 0;
}

void TonightTest::savedCsvIsMiradoNights()
{
    QFETCH(QByteArray, site);
    QFETCH(QByteArray, catalogue);
    QFETCH(QString, date);
    QFETCH(bool, precise);
    QFETCH(int, limitDeg);
    const QDate day = QDate::fromString(date, Qt::ISODate);
    start(site, catalogue, {day.year(), day.month(), day.day()}, precise);
    const QString path = fixture_->dir().filePath(QStringLiteral("night.csv"));
    QString suggested;
    withTable([&](TfrmTonight &table) {
        table.setMinAltitudeDeg(limitDeg);
        table.setSaveDialogForTesting([&](const QString &offered) {
            suggested = offered;
            return path;
        });
        table.findChild<QPushButton *>(QStringLiteral("btnSave"))->click();
    });
    QCOMPARE(suggested, QStringLiteral("mirado-%1.csv").arg(date));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QByteArray bytes = saved.readAll();
    QVERIFY2(bytes.startsWith("\xEF\xBB\xBF"), "no byte-order mark");
    bytes.remove(0, 3);
    QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
    QVERIFY(bytes.endsWith("\r\n"));
    bytes.replace("\r\n", "\n");

    QProcess night;
    night.setWorkingDirectory(fixture_->dir().path());
    night.start(QStringLiteral(MIRADO_NIGHT_PATH),
                {"--events", "--format", "csv", "--catalogue", "cat.txt", "--site", "site.txt",
                 "--date", date, "--min-altitude", QString::number(limitDeg), "--model",
                 precise ? "precise" : "chart"});
    QVERIFY(night.waitForFinished(60000));
    QCOMPARE(night.exitCode(), 0);
    const QByteArray want = night.readAllStandardOutput();
    QVERIFY(want.count('\n') > 1);
    QCOMPARE(bytes, want);
    QVERIFY(fixture_->messages.isEmpty());

    // The Sun's and the Moon's times above the rows: the CSV's hour and minute.
    // The night's seven columns stand before the last one, moon_separation
    // (a quoted name may hold commas, so they are counted from the end).
    const QList<QByteArray> fields = want.split('\n')[1].split(',');
    const QList<QByteArray> sunMoon = fields.mid(fields.size() - 8, 7);
    const TfrmTonight &table = *fixture_->main().tonightDialog();
    const char *names[] = {"日没", "天文薄明終", "天文薄明始", "日出", "月出", "月没"};
    for (int i = 0; i < 6; ++i) {
        const QString got = table.eventText(QString::fromUtf8(names[i]));
        const QString wantText =
            sunMoon[i].isEmpty() ? QStringLiteral("—") : QString::fromLatin1(sunMoon[i].mid(11, 5));
        QVERIFY2(got == wantText,
                 qPrintable(QStringLiteral("%1: want %2, got %3").arg(names[i], wantText, got)));
    }
    QCOMPARE(table.eventText(QStringLiteral("輝面比")),
             QStringLiteral("%1%").arg(std::lround(sunMoon[6].toDouble() * 100)));
}

void TonightTest::columnsSortByValue()
{
    start(kTokyo, ExampleFile("catalogue.txt"), {2026, 12, 7});
    withTable([&](TfrmTonight &table) {
        QTableView &view = *table.table();
        const QAbstractItemModel &rows = *view.model();
        QCOMPARE(rows.rowCount(), 42);
        // The numbers shown, in order as numbers ("9.5°" before "54.3°", 9 before 10).
        for (const int column :
             {TfrmTonight::ColLine, TfrmTonight::ColTransitElevation, TfrmTonight::ColDarkHours})
            for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                view.sortByColumn(column, order);
                for (int row = 1; row < rows.rowCount(); ++row) {
                    const QString a = rows.index(row - 1, column).data().toString();
                    const QString b = rows.index(row, column).data().toString();
                    const double step = b.split(u' ')[0].remove(u'°').toDouble() -
                                        a.split(u' ')[0].remove(u'°').toDouble();
                    QVERIFY2(
                        order == Qt::AscendingOrder ? step >= 0 : step <= 0,
                        qPrintable(QStringLiteral("column %1: %2 then %3").arg(column).arg(a, b)));
                }
            }
    });
}

void TonightTest::limitAndCopyAndKeys()
{
    start(kTokyo, ExampleFile("catalogue.txt"), {2026, 12, 7});
    withTable([&](TfrmTonight &table) {
        QTableView &view = *table.table();
        QAbstractItemModel &rows = *view.model();
        // The rows follow the limit (their hours: savedCsvIsMiradoNights).
        QCOMPARE(table.minAltitudeDeg(), 30.0);
        table.findChild<QSpinBox *>(QStringLiteral("sedMinAltitude"))->setValue(60);
        QCOMPARE(rows.headerData(TfrmTonight::ColDarkHours, Qt::Horizontal).toString(),
                 QStringLiteral("暗夜で 60° 以上"));

        // Ctrl+C: the selected rows as shown, tab-separated.
        view.selectRow(0);
        view.selectionModel()->select(rows.index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[2].isEmpty());
        const QStringList first = lines[0].split(u'\t');
        QCOMPARE(first.size(), int(TfrmTonight::ColumnCount));
        QCOMPARE(first[TfrmTonight::ColLine], QStringLiteral("1"));
        QCOMPARE(lines[1].split(u'\t')[TfrmTonight::ColLine], QStringLiteral("3"));

        // 閉じる is the default button; Escape closes.
        QVERIFY(table.findChild<QPushButton *>(QStringLiteral("btnClose"))->isDefault());
        QVERIFY(!table.findChild<QPushButton *>(QStringLiteral("btnSave"))->isDefault());
        QTest::keyClick(&table, Qt::Key_Escape);
        QVERIFY(!table.isVisible());
    });
}

void TonightTest::failedSaveWarnsAndCancelWritesNothing()
{
    start(kTokyo, ExampleFile("catalogue.txt"), {2026, 12, 7});
    const QString missingFolder = fixture_->dir().filePath(QStringLiteral("gone/night.csv"));
    withTable([&](TfrmTonight &table) {
        auto *save = table.findChild<QPushButton *>(QStringLiteral("btnSave"));
        table.setSaveDialogForTesting([](const QString &) { return QString(); });
        save->click();
        QVERIFY(fixture_->messages.isEmpty());
        table.setSaveDialogForTesting([&](const QString &) { return missingFolder; });
        save->click();
    });
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].icon, MessageIcon::Warning);
    QCOMPARE(fixture_->messages[0].text,
             QStringLiteral("ファイル %1 を作成できません").arg(missingFolder));
    QCOMPARE(fixture_->dir().entryList({"*.csv"}), QStringList());
}

QTEST_MAIN(TonightTest)
#include "tonight_test.moc"
