// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QGraphicsView>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <ctime>

#include "chart/elevationchart.h"
#include "dialogs/messages.h"
#include "dialogs/select.h"
#include "mainwindow/application.h"
#include "mainwindow/mirado.h"
#include "night/clock.h"
#include "platform/localeformat.h"
#include "platform/singleinstance.h"
#include "window_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace mirado;

namespace {

const QByteArray kTwoLines = "Vega, 18:36:56.3, +38:47:01\r\nDeneb, 20:41:25.9, +45:16:49\r\n";

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void init();
    void cleanup();

    void startDate_data();
    void startDate();
    void caption();
    void startWindowLooksAsKept();
    void siteFile_data();
    void siteFile();
    void openKeepsThePreviousCatalogueOnError();
    void openCancelledChangesNothing();
    void openReplacesTheListAndClearsMarks();
    void dropLoadsTheFirstFileOnly();
    void dropOfAnUnreadableFileKeepsTheCatalogue();
    void dropOverTheChartLoads_data();
    void dropOverTheChartLoads();
    void commandLineFile_data();
    void commandLineFile();
    void shiftJisAndUtf8LinesAreShownDecoded();
    void spinEditsStayInRange();
    void spinEditsRefuseTyping();
    void nowButtonAndMenuItemAgree();
    void layout();
    void presentMomentIsTheSiteTime_data();
    void presentMomentIsTheSiteTime();
    void clockTimeFitsInEveryLocale();
    void singleInstance();
    void lockHeldByAnotherProcess();
    void lockFoundWhateverTheEnvironment();
    void privateFolders_data();
    void privateFolders();
    void secondStartShowsTheMessage();
    void startsWithoutAPlaceForTheLock();
    void fullStopRule_data();
    void fullStopRule();

private:
    // Builds the windows in a working folder holding `site` (none when
    // null) at the given local moment, and shows the main window.
    void start(const QByteArray *site,
               const QDateTime &now = QDateTime(QDate(2026, 12, 7), QTime(21, 0)));

    std::unique_ptr<test::WindowFixture> fixture_;
};

void MainWindowTest::init()
{
    fixture_ = std::make_unique<test::WindowFixture>();
}

void MainWindowTest::cleanup()
{
    fixture_.reset();
}

void MainWindowTest::start(const QByteArray *site, const QDateTime &now)
{
    if (site)
        fixture_->write(QStringLiteral("site.txt"), *site);
    fixture_->setNow(now);
    fixture_->start();
}

void MainWindowTest::startDate_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDate>("want");
    QTest::newRow("05:30 on New Year's day")
        << QDateTime(QDate(2027, 1, 1), QTime(5, 30)) << QDate(2026, 12, 31);
    QTest::newRow("07:00 on New Year's day")
        << QDateTime(QDate(2027, 1, 1), QTime(7, 0)) << QDate(2027, 1, 1);
    QTest::newRow("06:59 in June")
        << QDateTime(QDate(2027, 6, 15), QTime(6, 59, 59)) << QDate(2027, 6, 14);
    QTest::newRow("03:00 on 1 March of a leap year")
        << QDateTime(QDate(2024, 3, 1), QTime(3, 0)) << QDate(2024, 2, 29);
    QTest::newRow("03:00 on 1 March")
        << QDateTime(QDate(2023, 3, 1), QTime(3, 0)) << QDate(2023, 2, 28);
    QTest::newRow("00:00 on 1 May")
        << QDateTime(QDate(2026, 5, 1), QTime(0, 0)) << QDate(2026, 4, 30);
    QTest::newRow("23:59 on 31 December")
        << QDateTime(QDate(2026, 12, 31), QTime(23, 59)) << QDate(2026, 12, 31);
}

void MainWindowTest::startDate()
{
    QFETCH(QDateTime, now);
    QFETCH(QDate, want);
    start(nullptr, now);
    TfrmMirado &main = fixture_->windows().frmMirado();
    QCOMPARE(main.findChild<QSpinBox *>("sedYear")->value(), want.year());
    QCOMPARE(main.findChild<QSpinBox *>("sedMonth")->value(), want.month());
    QCOMPARE(main.findChild<QSpinBox *>("sedDay")->value(), want.day());
    QCOMPARE(main.selectedDate().year, want.year());
    QCOMPARE(main.selectedDate().month, want.month());
    QCOMPARE(main.selectedDate().day, want.day());
    QVERIFY(fixture_->messages.isEmpty());
}

void MainWindowTest::caption()
{
    start(nullptr);
    QCOMPARE(fixture_->windows().frmMirado().windowTitle(), QStringLiteral("Mirado Ver 0.81"));
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Mirado"));
}

// The window as it first shows with the example site, against the image kept
// of it: work moved out of the start must not change a pixel. When the look
// changes on purpose, the image written beside the test program replaces it.
void MainWindowTest::startWindowLooksAsKept()
{
    const QDir examples(QStringLiteral(MIRADO_EXAMPLES_DIR));
    for (const char *name : {"site.txt", "catalogue.txt"}) {
        QFile file(examples.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        fixture_->write(QString::fromLatin1(name), file.readAll());
    }
    start(nullptr);
    const QImage got = fixture_->main().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage kept =
        QImage(QStringLiteral(MIRADO_KEPT_START_IMAGE)).convertToFormat(QImage::Format_RGB32);
    if (got != kept) {
        const QString written =
            QDir(QCoreApplication::applicationDirPath()).filePath("start-window.png");
        got.save(written);
        QFAIL(qPrintable("the window differs from the kept image; got " + written));
    }
}

void MainWindowTest::siteFile_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("timeZone");
    QTest::addColumn<int>("items");
    QTest::addColumn<QString>("error");

    QTest::newRow("missing") << false << QByteArray() << 135.0 << 35.0 << 9.0 << 0 << QString();
    QTest::newRow("site and catalogue") << true << QByteArray("139.7\r\n35.7\r\n9\r\ncat.txt\r\n")
                                        << 139.7 << 35.7 << 9.0 << 2 << QString();
    QTest::newRow("empty catalogue line") << true << QByteArray("139.7\r\n35.7\r\n9\r\n\r\n")
                                          << 139.7 << 35.7 << 9.0 << 0 << QString();
    QTest::newRow("three lines") << true << QByteArray("139.7\r\n35.7\r\n9\r\n") << 139.7 << 35.7
                                 << 9.0 << 0
                                 << QStringLiteral("リストのインデックスが範囲を超えています (3)");
    QTest::newRow("one line") << true << QByteArray("139.7") << 139.7 << 0.0 << 0.0 << 0
                              << QStringLiteral("リストのインデックスが範囲を超えています (1)");
    QTest::newRow("damaged latitude")
        << true << QByteArray("139.7\r\nnorth\r\n9\r\n\r\n") << 139.7 << 0.0 << 0.0 << 0
        << QStringLiteral("'north' is not a valid floating point value.");
    QTest::newRow("catalogue missing")
        << true << QByteArray("139.7\r\n35.7\r\n9\r\nnone.txt\r\n") << 139.7 << 35.7 << 9.0 << 0
        << QStringLiteral("ファイル none.txt は開けません.");
}

void MainWindowTest::siteFile()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, content);
    QFETCH(double, longitude);
    QFETCH(double, latitude);
    QFETCH(double, timeZone);
    QFETCH(int, items);
    QFETCH(QString, error);

    fixture_->write(QStringLiteral("cat.txt"), kTwoLines);
    start(present ? &content : nullptr);
    const TfrmMirado &main = fixture_->windows().frmMirado();
    QCOMPARE(main.site().longitude, longitude);
    QCOMPARE(main.site().latitude, latitude);
    QCOMPARE(main.site().timeZone, timeZone);
    QCOMPARE(fixture_->windows().frmSelect().itemCount(), items);
    QCOMPARE(int(main.catalogueLines().size()), items);
    if (error.isEmpty()) {
        QVERIFY(fixture_->messages.isEmpty());
    } else {
        QCOMPARE(fixture_->messages.size(), 1);
        QCOMPARE(fixture_->messages[0].text, error);
        QCOMPARE(fixture_->messages[0].caption, QStringLiteral("Mirado"));
        QCOMPARE(fixture_->messages[0].icon, MessageIcon::Error);
    }
    // The window is shown all the same, with its caption and start date.
    QVERIFY(main.isVisible());
    QCOMPARE(main.windowTitle(), QStringLiteral("Mirado Ver 0.81"));
}

void MainWindowTest::openKeepsThePreviousCatalogueOnError()
{
    const QByteArray site("135\r\n35\r\n9\r\ncat.txt\r\n");
    fixture_->write(QStringLiteral("cat.txt"), kTwoLines);
    start(&site);
    TfrmMirado &main = fixture_->windows().frmMirado();
    fixture_->windows().frmSelect().setChecked(1, true);

    const QString missing = fixture_->dir().filePath(QStringLiteral("gone.txt"));
    main.setOpenDialogForTesting([missing] { return missing; });
    main.mnuOpenClick();

    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].caption, QStringLiteral("警告"));
    QCOMPARE(fixture_->messages[0].icon, MessageIcon::Warning);
    QCOMPARE(fixture_->messages[0].text, QStringLiteral("ファイル %1 は開けません").arg(missing));
    QCOMPARE(int(main.catalogueLines().size()), 2);
    QCOMPARE(fixture_->windows().frmSelect().itemCount(), 2);
    QVERIFY(fixture_->windows().frmSelect().isChecked(1));
}

void MainWindowTest::openCancelledChangesNothing()
{
    const QByteArray site("135\r\n35\r\n9\r\ncat.txt\r\n");
    fixture_->write(QStringLiteral("cat.txt"), kTwoLines);
    start(&site);
    TfrmMirado &main = fixture_->windows().frmMirado();
    fixture_->windows().frmSelect().setChecked(0, true);
    main.setOpenDialogForTesting([] { return QString(); });
    main.mnuOpenClick();
    QVERIFY(fixture_->messages.isEmpty());
    QCOMPARE(fixture_->windows().frmSelect().itemCount(), 2);
    QVERIFY(fixture_->windows().frmSelect().isChecked(0));
}

void MainWindowTest::openReplacesTheListAndClearsMarks()
{
    const QByteArray site("135\r\n35\r\n9\r\ncat.txt\r\n");
    const QDir dir = fixture_->dir();
    fixture_->write(QStringLiteral("cat.txt"), kTwoLines);
    const QString other = fixture_->write(QStringLiteral("other.txt"), "A, 1:0:0, +1:0:0\nB\nC\n");
    start(&site);
    TfrmMirado &main = fixture_->windows().frmMirado();
    fixture_->windows().frmSelect().setChecked(0, true);
    main.setOpenDialogForTesting([other] { return other; });
    main.mnuOpenClick();
    QVERIFY(fixture_->messages.isEmpty());
    QCOMPARE(fixture_->windows().frmSelect().itemCount(), 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY(!fixture_->windows().frmSelect().isChecked(i));
    // Opening does not change the catalogue of the next start.
    QCOMPARE(main.site().cataloguePath, std::string("cat.txt"));
}

void MainWindowTest::dropLoadsTheFirstFileOnly()
{
    start(nullptr);
    const QDir dir = fixture_->dir();
    const QString first = fixture_->write(QStringLiteral("a.txt"), "A, 1:0:0, +1:0:0\n");
    const QString second = fixture_->write(QStringLiteral("b.txt"), kTwoLines);
    TfrmMirado &main = fixture_->windows().frmMirado();

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second),
                  QUrl::fromLocalFile(dir.filePath(QStringLiteral("c.txt")))});
    mime.setText(QStringLiteral("not a file"));
    main.HandleDroppedFiles(DroppedFileNames(mime));

    QVERIFY(fixture_->messages.isEmpty());
    QCOMPARE(fixture_->windows().frmSelect().itemCount(), 1);
    QCOMPARE(main.catalogueLines().front(), std::string("A, 1:0:0, +1:0:0"));
    QVERIFY(main.acceptDrops());
    QVERIFY(!fixture_->windows().frmSelect().acceptDrops());
}

void MainWindowTest::dropOfAnUnreadableFileKeepsTheCatalogue()
{
    const QByteArray site("135\r\n35\r\n9\r\ncat.txt\r\n");
    fixture_->write(QStringLiteral("cat.txt"), kTwoLines);
    start(&site);
    TfrmMirado &main = fixture_->windows().frmMirado();
    // A folder cannot be read as a catalogue.
    main.HandleDroppedFiles({fixture_->dir().path()});
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].caption, QStringLiteral("警告"));
    QCOMPARE(int(main.catalogueLines().size()), 2);
}

void MainWindowTest::dropOverTheChartLoads_data()
{
    // Where over the chart the file is dragged: the plot's centre, or halfway
    // from the plot area's edge to the chart's on the side given; and whether
    // the events go to the chart's view or to its viewport.
    QTest::addColumn<QPoint>("side");
    QTest::addColumn<bool>("toViewport");
    QTest::addColumn<bool>("files");
    QTest::newRow("plot area") << QPoint(0, 0) << true << true;
    QTest::newRow("title") << QPoint(0, -1) << true << true;
    QTest::newRow("legend") << QPoint(1, 0) << true << true;
    QTest::newRow("hour labels") << QPoint(0, 1) << true << true;
    QTest::newRow("degree labels") << QPoint(-1, 0) << true << true;
    QTest::newRow("the view itself") << QPoint(0, 0) << false << true;
    QTest::newRow("text, not a file, is refused") << QPoint(0, 0) << true << false;
}

void MainWindowTest::dropOverTheChartLoads()
{
    QFETCH(QPoint, side);
    QFETCH(bool, toViewport);
    QFETCH(bool, files);
    const QByteArray site("135\r\n35\r\n9\r\ncat.txt\r\n");
    fixture_->write(QStringLiteral("cat.txt"), kTwoLines);
    const QString dropped = fixture_->write(QStringLiteral("b.txt"), "A, 1:0:0, +1:0:0\n");
    start(&site);
    TfrmMirado &main = fixture_->windows().frmMirado();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    fixture_->windows().frmSelect().btnSelectAllClick();
    main.mnuPlotClick();
    QVERIFY(main.chart()->isLegendVisible());

    auto *view = main.chart()->findChild<QGraphicsView *>();
    QVERIFY(view);
    QWidget *target = toViewport ? view->viewport() : view;
    // The chart's own coordinates start at its top left corner.
    const QRectF plot = main.chart()->plotArea();
    const QSizeF chart = main.chart()->size();
    const auto place = [](int side, double low, double high, double length) {
        return side < 0 ? low / 2 : side > 0 ? (high + length) / 2 : (low + high) / 2;
    };
    const QPoint at = target->mapFrom(
        main.chart(), QPointF(place(side.x(), plot.left(), plot.right(), chart.width()),
                              place(side.y(), plot.top(), plot.bottom(), chart.height()))
                          .toPoint());

    QMimeData mime;
    if (files)
        mime.setUrls({QUrl::fromLocalFile(dropped)});
    else
        mime.setText(dropped);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QCOMPARE(enter.isAccepted(), files);
    if (!files)
        return;
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QVERIFY(move.isAccepted());
    QCOMPARE(move.dropAction(), Qt::CopyAction);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
    QVERIFY(fixture_->messages.isEmpty());
    QCOMPARE(main.catalogueLines().front(), std::string("A, 1:0:0, +1:0:0"));
    QCOMPARE(fixture_->windows().frmSelect().itemCount(), 1);
}

void MainWindowTest::commandLineFile_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("wantFirstLine");
    QTest::addColumn<int>("wantItems");
    QTest::addColumn<QString>("wantWarningFor");
    QTest::newRow("none: the site's catalogue")
        << QStringList() << "Vega, 18:36:56.3, +38:47:01" << 2 << QString();
    QTest::newRow("one file replaces it")
        << QStringList{"other.txt"} << "A, 1:0:0, +1:0:0" << 3 << QString();
    QTest::newRow("only the first of two")
        << QStringList{"other.txt", "cat.txt"} << "A, 1:0:0, +1:0:0" << 3 << QString();
    QTest::newRow("a missing file keeps the site's")
        << QStringList{"gone.txt"} << "Vega, 18:36:56.3, +38:47:01" << 2 << "gone.txt";
    QTest::newRow("a folder keeps the site's")
        << QStringList{"sub"} << "Vega, 18:36:56.3, +38:47:01" << 2 << "sub";
}

void MainWindowTest::commandLineFile()
{
    QFETCH(QStringList, files);
    QFETCH(QString, wantFirstLine);
    QFETCH(int, wantItems);
    QFETCH(QString, wantWarningFor);

    const QDir dir = fixture_->dir();
    fixture_->write(QStringLiteral("site.txt"), "135\r\n35\r\n9\r\ncat.txt\r\n");
    fixture_->write(QStringLiteral("cat.txt"), kTwoLines);
    fixture_->write(QStringLiteral("other.txt"), "A, 1:0:0, +1:0:0\nB\nC\n");
    QVERIFY(dir.mkdir(QStringLiteral("sub")));
    QStringList arguments{QStringLiteral("mirado")};
    for (const QString &file : files)
        arguments << dir.filePath(file);
    test::SetSiteClockForTesting(QDateTime(QDate(2026, 12, 7), QTime(21, 0)));
    fixture_->create();
    ShowMainWindow(fixture_->windows(), arguments);

    const TfrmMirado &main = fixture_->windows().frmMirado();
    QVERIFY(main.isVisible());
    QCOMPARE(QString::fromStdString(std::string(main.catalogueLines().front())), wantFirstLine);
    QCOMPARE(fixture_->windows().frmSelect().itemCount(), wantItems);
    // The catalogue of the next start stays the site file's.
    QCOMPARE(main.site().cataloguePath, std::string("cat.txt"));
    if (wantWarningFor.isEmpty()) {
        QVERIFY2(fixture_->messages.isEmpty(), qPrintable(fixture_->messages.value(0).text));
    } else {
        QCOMPARE(fixture_->messages.size(), 1);
        QCOMPARE(fixture_->messages[0].caption, QStringLiteral("警告"));
        QCOMPARE(fixture_->messages[0].icon, MessageIcon::Warning);
        QCOMPARE(fixture_->messages[0].text,
                 QStringLiteral("ファイル %1 は開けません").arg(dir.filePath(wantWarningFor)));
    }
}

void MainWindowTest::shiftJisAndUtf8LinesAreShownDecoded()
{
    start(nullptr);
    TfrmMirado &main = fixture_->windows().frmMirado();
    const QDir dir = fixture_->dir();
    const auto shownFirstItem = [&](const QString &name, const QByteArray &bytes) {
        main.LoadCatalogue(fixture_->write(name, bytes).toStdString());
        auto *view = fixture_->windows().frmSelect().findChild<QAbstractItemView *>("clbObject");
        return view->model()->index(0, 0).data().toString();
    };
    // "ベガ" in Shift-JIS and in UTF-8; the lines keep their bytes.
    QCOMPARE(shownFirstItem("sjis.txt", "\x83\x78\x83\x4B, 1:0:0, +1:0:0\n"),
             QStringLiteral("ベガ, 1:0:0, +1:0:0"));
    QCOMPARE(main.catalogueLines().front(), std::string("\x83\x78\x83\x4B, 1:0:0, +1:0:0"));
    QCOMPARE(shownFirstItem("utf8.txt", "ベガ, 1:0:0, +1:0:0\n"),
             QStringLiteral("ベガ, 1:0:0, +1:0:0"));
}

void MainWindowTest::spinEditsStayInRange()
{
    start(nullptr);
    TfrmMirado &main = fixture_->windows().frmMirado();
    auto *year = main.findChild<QSpinBox *>("sedYear");
    auto *month = main.findChild<QSpinBox *>("sedMonth");
    auto *day = main.findChild<QSpinBox *>("sedDay");
    month->setValue(12);
    QTest::keyClick(month, Qt::Key_Up);
    QCOMPARE(month->value(), 12);
    year->setValue(1900);
    QTest::keyClick(year, Qt::Key_Down);
    QCOMPARE(year->value(), 1900);
    day->setValue(31);
    QTest::keyClick(day, Qt::Key_Up);
    QCOMPARE(day->value(), 31);
    month->setValue(2);
    QCOMPARE(day->value(), 31); // 31 February is kept
    QTest::keyClick(day, Qt::Key_Down);
    QCOMPARE(main.selectedDate().day, 30);
    QCOMPARE(main.selectedDate().month, 2);
    QCOMPARE(main.selectedDate().year, 1900);
    year->setValue(5000);
    QCOMPARE(year->value(), 2999);
}

void MainWindowTest::spinEditsRefuseTyping()
{
    start(nullptr);
    auto *year = fixture_->windows().frmMirado().findChild<QSpinBox *>("sedYear");
    const int before = year->value();
    QTest::keyClicks(year, "1999");
    QTest::keyClick(year, Qt::Key_Backspace);
    QTest::keyClick(year, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(year, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(year, Qt::Key_PageUp);
    QCOMPARE(year->value(), before);
    QCOMPARE(year->text(), QString::number(before));
}

void MainWindowTest::nowButtonAndMenuItemAgree()
{
    start(nullptr);
    TfrmMirado &main = fixture_->windows().frmMirado();
    auto *item = main.findChild<QAction *>("mnuNow");
    auto *button = main.findChild<QToolButton *>("tbNow");
    QVERIFY(!item->isChecked());
    button->click();
    QVERIFY(item->isChecked());
    QVERIFY(button->isChecked());
    item->trigger();
    QVERIFY(!item->isChecked());
    QVERIFY(!button->isChecked());
}

void MainWindowTest::layout()
{
    start(nullptr);
    TfrmMirado &main = fixture_->windows().frmMirado();
    QCOMPARE(main.minimumSize(), QSize(640, 480));
    QVERIFY(!main.findChild<QAction *>("Preview")->isEnabled());
    QCOMPARE(main.findChild<QWidget *>("ToolBar")->height(), 57);
    QCOMPARE(main.findChild<QWidget *>("StatusBar")->height(), 30);
    QCOMPARE(main.findChild<QWidget *>("StatusBarPanel0")->width(), 280);
    QCOMPARE(main.findChild<QWidget *>("StatusBarPanel1")->width(), 175);
    QCOMPARE(main.findChild<QWidget *>("pnlDate")->width(), 177);
    for (const char *name : {"tbPlot", "tbSelect", "tbNow", "ToolButton3"})
        QCOMPARE(main.findChild<QToolButton *>(name)->size(), QSize(64, 51));
    // The chart fills what the toolbar and status bar leave.
    main.resize(800, 600);
    QTRY_COMPARE(main.chart()->width(), main.width());
    QCOMPARE(main.findChild<QWidget *>("bevTopLineChart")->width(), main.chart()->width());
}

void MainWindowTest::presentMomentIsTheSiteTime_data()
{
    QTest::addColumn<QByteArray>("computerZone");
    QTest::addColumn<double>("siteZone");
    QTest::newRow("computer on the site's standard time") << QByteArray("Asia/Tokyo") << 9.0;
    QTest::newRow("computer in New York, site at +9") << QByteArray("America/New_York") << 9.0;
    QTest::newRow("computer in Tokyo, site at -3.5") << QByteArray("Asia/Tokyo") << -3.5;
    QTest::newRow("computer in London, site at +5.75") << QByteArray("Europe/London") << 5.75;
    QTest::newRow("computer on UTC, site at +9.01 (whole minutes)") << QByteArray("UTC") << 9.01;
}

void MainWindowTest::presentMomentIsTheSiteTime()
{
    QFETCH(QByteArray, computerZone);
    QFETCH(double, siteZone);
    const QByteArray previousZone = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    qputenv("TZ", computerZone);
    tzset();
    const auto restoreZone = qScopeGuard([&] {
        if (hadZone)
            qputenv("TZ", previousZone);
        else
            qunsetenv("TZ");
        tzset();
    });

    // The system clock itself, not one set by the test.
    fixture_->write(QStringLiteral("site.txt"),
                    "135\r\n35\r\n" + QByteArray::number(siteZone) + "\r\n\r\n");
    SetUtcClockForTesting({});
    fixture_->create();
    TfrmMirado &main = fixture_->windows().frmMirado();
    main.show();
    main.mnuNowClick();
    const LocaleFormats &formats = main.localeFormats();
    const auto minutes = static_cast<qint64>(std::trunc(siteZone * 60.0));

    // A tick within one second of the system clock, read before and after.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        main.tmrNowTimer();
        const QDate startDate(main.selectedDate().year, main.selectedDate().month,
                              main.selectedDate().day);
        if (QDateTime::currentSecsSinceEpoch() != before)
            continue;
        const QDateTime ut = QDateTime::fromSecsSinceEpoch(before, Qt::UTC);
        const DateTimeValue local(before + minutes * 60);
        const QString wantUt = QStringLiteral(" UT %1.%2.%3 ")
                                   .arg(ut.date().year())
                                   .arg(ut.date().month())
                                   .arg(ut.date().day()) +
                               QString::fromStdString(formats.longTime(
                                   ut.time().hour(), ut.time().minute(), ut.time().second()));
        const QString wantLabel =
            QString::fromStdString(LocalTimeLabel(local, formats)).replace(u'\r', u'\n');
        QCOMPARE(main.findChild<QLabel *>("StatusBarPanel0")->text(), wantUt);
        QCOMPARE(main.findChild<QLabel *>("lblLocalTime")->text(), wantLabel);
        QCOMPARE(main.chart()->seriesPoints(main.nowSeries()),
                 QList<QPointF>{QPointF(MarkerX(local.time()), kMarkerY)});
        // Tonight at the site, unless the start fell just before 07:00.
        const TDateRec night = NightDateOf(local);
        if (local.time().hours != 7 || local.time().minutes != 0)
            QCOMPARE(startDate, QDate(night.year, night.month, night.day));
        QVERIFY(fixture_->messages.isEmpty());
        return;
    }
    QFAIL("the system clock kept turning over during the tick");
}

void MainWindowTest::clockTimeFitsInEveryLocale()
{
    // The widest moment: UT on day 28 of December, 23:59:59, measured with
    // the fonts of the panel and the label as the window has them.
    start(nullptr);
    const ClockTextRoom room = fixture_->windows().frmMirado().clockTextRoom();
    auto *panel = fixture_->windows().frmMirado().findChild<QLabel *>("StatusBarPanel0");
    auto *label = fixture_->windows().frmMirado().findChild<QLabel *>("lblLocalTime");
    QCOMPARE(room.panelFont, panel->font());
    QCOMPARE(room.labelFont, label->font());
    QVERIFY2(room.labelTextWidthPx <= label->width(),
             qPrintable(QStringLiteral("label room %1 px, label %2 px")
                            .arg(room.labelTextWidthPx)
                            .arg(label->width())));
    const QFontMetrics panelMetrics(panel->font());
    const QFontMetrics labelMetrics(label->font());
    const DateTimeValue widest = DateTimeValue::FromParts({2026, 12, 28}, 23, 59, 59);

    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    QVERIFY(locales.size() > 500);
    int numeric = 0;
    for (const QLocale &locale : locales) {
        const QString name = locale.name();
        const LocaleFormats formats = LocaleFormatsOf(locale, room);
        const QString ut = QString::fromStdString(UniversalTimeText(widest, 0.0, formats));
        const QString time = QString::fromStdString(formats.longTime(23, 59, 59));
        QVERIFY2(panelMetrics.horizontalAdvance(ut) <= room.panelTextWidthPx,
                 qPrintable(name + ": \"" + ut + "\" does not fit the panel"));
        QVERIFY2(labelMetrics.horizontalAdvance(time) <= room.labelTextWidthPx,
                 qPrintable(name + ": \"" + time + "\" does not fit the label"));
        // No zone name, and nothing left empty by its going.
        const QString format = ClockTimeFormat(locale, room);
        for (const QString &leftover : {QStringLiteral("()"), QStringLiteral("[]"),
                                        QStringLiteral("（）"), QStringLiteral("UTC")})
            QVERIFY2(!format.contains(leftover) && !time.contains(leftover),
                     qPrintable(name + ": \"" + format + "\" gives \"" + time + "\""));
        QVERIFY2(format == format.trimmed() && !format.endsWith(u','),
                 qPrintable(name + ": \"" + format + "\""));
        if (format == QLatin1String(kNumericTimeFormat))
            ++numeric;
    }
    qInfo("%d of %lld locales write the clock as %s", numeric, qsizetype(locales.size()),
          kNumericTimeFormat);

    // Japanese desktops write the time numerically, from 09:00 on as well.
    const LocaleFormats japanese = LocaleFormatsOf(QLocale(QStringLiteral("ja_JP")), room);
    QCOMPARE(japanese.longTime(23, 59, 59), std::string("23:59:59"));
    QCOMPARE(japanese.longTime(9, 0, 0), std::string("9:00:00"));
    QCOMPARE(UniversalTimeText(widest, 0.0, japanese), std::string(" UT 2026.12.28 23:59:59"));
    // Without a place to fit, as on a terminal.
    QCOMPARE(LocaleFormatsOf(QLocale(QStringLiteral("ja_JP"))).longTime(9, 0, 0),
             std::string("9:00:00"));
    QCOMPARE(LocaleFormatsOf(QLocale(QStringLiteral("de_DE"))).longTime(23, 59, 59),
             std::string("23:59:59"));
    // Other locales keep their own long format, without the zone.
    QCOMPARE(LongTimeWithoutZone(QLocale(QStringLiteral("de_DE"))), QStringLiteral("HH:mm:ss"));
    QCOMPARE(LongTimeWithoutZone(QLocale(QStringLiteral("eu_ES"))), QStringLiteral("HH:mm:ss"));
    QCOMPARE(LongTimeWithoutZone(QLocale(QStringLiteral("ca_ES"))), QStringLiteral("H:mm:ss"));
    QCOMPARE(LongTimeWithoutZone(QLocale(QStringLiteral("zh_TW"))), QStringLiteral("h:mm:ss"));
    QCOMPARE(LongTimeWithoutZone(QLocale(QStringLiteral("sq_AL"))), QStringLiteral("h:mm:ss AP"));
    QCOMPARE(ClockTimeFormat(QLocale(QStringLiteral("de_DE")), room), QStringLiteral("HH:mm:ss"));
    QCOMPARE(ClockTimeFormat(QLocale(QStringLiteral("sq_AL")), room),
             QLatin1String(kNumericTimeFormat));
}

void MainWindowTest::singleInstance()
{
    const QStringList folder{fixture_->dir().path()};
    {
        const SingleInstance first(QStringLiteral("Mirado"), folder);
        QVERIFY(first.acquired());
        const SingleInstance second(QStringLiteral("Mirado"), folder);
        QCOMPARE(second.state(), SingleInstance::State::HeldElsewhere);
        QCOMPARE(second.lockPath(), first.lockPath());
        // Another user's folder is not blocked.
        QTemporaryDir otherUser;
        QVERIFY(SingleInstance(QStringLiteral("Mirado"), {otherUser.path()}).acquired());
    }
    // Released at the end of the first copy.
    QVERIFY(SingleInstance(QStringLiteral("Mirado"), folder).acquired());

    // A lock file left by a copy that crashed, or by one on another machine
    // sharing the folder: no process holds it, so it blocks nothing.
    for (const QByteArray &left :
         {QByteArray("2147480000\nmirado\n") + QSysInfo::machineHostName().toUtf8() + "\n",
          QByteArray("999999\nmirado\notherhost\n")}) {
        QFile stale(QDir(folder[0]).filePath(QStringLiteral("Mirado.lock")));
        QVERIFY(stale.open(QIODevice::WriteOnly | QIODevice::Truncate));
        stale.write(left);
        stale.close();
        QVERIFY2(SingleInstance(QStringLiteral("Mirado"), folder).acquired(), left.constData());
    }
}

void MainWindowTest::lockHeldByAnotherProcess()
{
    // A copy that runs holds the lock whatever became of its record; one
    // that was killed never blocks the next start.
    const QString flock = QStandardPaths::findExecutable(QStringLiteral("flock"));
    if (flock.isEmpty())
        QSKIP("flock(1) is not installed");
    const QStringList folder{fixture_->dir().path()};
    const QString path = QDir(folder[0]).filePath(QStringLiteral("Mirado.lock"));
    QProcess holder;
    // --close: the lock is flock's own, not its child's.
    holder.start(flock, {QStringLiteral("--exclusive"), QStringLiteral("--close"), path,
                         QStringLiteral("cat")});
    QVERIFY(holder.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(SingleInstance(QStringLiteral("Mirado"), folder).state(),
                              SingleInstance::State::HeldElsewhere, 10000);
    holder.kill();
    QVERIFY(holder.waitForFinished());
    // Freed as soon as the last descriptor on it closes (flock's child may
    // still be closing its copy).
    QTRY_VERIFY_WITH_TIMEOUT(SingleInstance(QStringLiteral("Mirado"), folder).acquired(), 10000);
}

void MainWindowTest::lockFoundWhateverTheEnvironment()
{
    // Starts with the runtime folder set, unset or set elsewhere all look in
    // the same folders of the user; none of them comes from the environment.
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const auto restore = qScopeGuard([&saved] {
        if (saved.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", saved);
    });
    const QString uid = QString::number(::getuid());
    QTemporaryDir elsewhere;
    qputenv("XDG_RUNTIME_DIR", fixture_->dir().path().toLocal8Bit());
    const QStringList folders = UserLockFolders();
    QVERIFY(folders.contains(QStringLiteral("/tmp/mirado-") + uid));
    QVERIFY(!folders.contains(fixture_->dir().path()));
    for (const QByteArray &value : {QByteArray(), elsewhere.path().toLocal8Bit()}) {
        if (value.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", value);
        QCOMPARE(UserLockFolders(), folders);
    }
}

void MainWindowTest::privateFolders_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("private_");
    QTest::newRow("own, 0700") << "0700" << true;
    QTest::newRow("own, 0755") << "0755" << true;
    QTest::newRow("others may write, 0777") << "0777" << false;
    QTest::newRow("group may write, 0770") << "0770" << false;
    QTest::newRow("sticky, 1777") << "1777" << false;
    QTest::newRow("a link to an own folder") << "link" << false;
    QTest::newRow("a file") << "file" << false;
    QTest::newRow("missing, made 0700") << "missing" << true;
    QTest::newRow("another user's") << "other" << false;
    QTest::newRow("lock file a planted link") << "lock link" << false;
    QTest::newRow("lock file a folder") << "lock folder" << false;
}

void MainWindowTest::privateFolders()
{
    QFETCH(QString, kind);
    QFETCH(bool, private_);
    const QString folder = fixture_->dir().filePath(QStringLiteral("lock"));
    const QString lockFile = QDir(folder).filePath(QStringLiteral("Mirado.lock"));
    const QByteArray path = QFile::encodeName(folder);
    if (kind == u"link") {
        QVERIFY(QDir().mkpath(fixture_->dir().filePath(QStringLiteral("real"))));
        QVERIFY(QFile::link(fixture_->dir().filePath(QStringLiteral("real")), folder));
    } else if (kind == u"file") {
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == u"other") {
        if (::getuid() != 0)
            QSKIP("only root can give a folder to another user");
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(::chmod(path.constData(), 0700), 0);
        QCOMPARE(::chown(path.constData(), 65534, 65534), 0);
    } else if (kind == u"lock link") {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(fixture_->dir().filePath(QStringLiteral("target")), lockFile));
    } else if (kind == u"lock folder") {
        QVERIFY(QDir().mkpath(lockFile));
    } else if (kind != u"missing") {
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(::chmod(path.constData(), static_cast<mode_t>(kind.toUInt(nullptr, 8))), 0);
    }

    {
        const SingleInstance alone(QStringLiteral("Mirado"), {folder});
        QCOMPARE(alone.acquired(), private_);
        QCOMPARE(alone.problem().startsWith(folder + QStringLiteral(": ")), !private_);
    }
    if (kind == u"missing") {
        struct stat info
        {};
        QCOMPARE(::stat(path.constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, 0700u);
    }
    // A folder passed over leaves the next one to serve.
    const QString next = fixture_->dir().filePath(QStringLiteral("next"));
    const SingleInstance withNext(QStringLiteral("Mirado"), {folder, next});
    QVERIFY(withNext.acquired());
    QCOMPARE(QFileInfo(withNext.lockPath()).path(), private_ ? folder : next);
    QVERIFY(withNext.problem().isEmpty());
}

void MainWindowTest::secondStartShowsTheMessage()
{
    // The lock lies in a scratch folder, never the user's real one.
    const QStringList folder{fixture_->dir().filePath(QStringLiteral("lock"))};
    const SingleInstance running(QStringLiteral("Mirado"), folder);
    QVERIFY(running.acquired());
    // The file named is not opened here nor handed over: the one message is
    // the running copy's, not an open warning.
    const QString file = fixture_->dir().filePath(QStringLiteral("gone.txt"));
    QCOMPARE(RunMirado({QStringLiteral("mirado"), file}, folder), 0);
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].text, QStringLiteral("既に起動しています．"));
    QCOMPARE(fixture_->messages[0].icon, MessageIcon::Error);
}

void MainWindowTest::startsWithoutAPlaceForTheLock()
{
    // Every place taken by someone else: the program starts all the same and
    // says once that it cannot keep a second copy out.
    const QString planted = fixture_->dir().filePath(QStringLiteral("planted"));
    QVERIFY(QDir().mkpath(planted));
    QCOMPARE(::chmod(QFile::encodeName(planted).constData(), 0777), 0);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCOMPARE(RunMirado({QStringLiteral("mirado")}, {planted}), 0);
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].caption, QStringLiteral("警告"));
    QCOMPARE(fixture_->messages[0].text,
             QStringLiteral("多重起動を防止できません（%1: 他のユーザーが書き込めます）．")
                 .arg(planted));
}

void MainWindowTest::fullStopRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("want");
    QTest::newRow("letter") << "Integer overflow"
                            << "Integer overflow.";
    QTest::newRow("closing bracket") << "(3)"
                                     << "(3)";
    QTest::newRow("full stop") << "done."
                               << "done.";
    QTest::newRow("digit") << "index 3"
                           << "index 3.";
    QTest::newRow("Japanese") << "ファイル a は開けません"
                              << "ファイル a は開けません.";
    QTest::newRow("empty") << ""
                           << "";
}

void MainWindowTest::fullStopRule()
{
    QFETCH(QString, text);
    QFETCH(QString, want);
    QCOMPARE(WithFullStop(text), want);
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
