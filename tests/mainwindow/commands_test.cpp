// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGraphicsView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "chart/elevationchart.h"
#include "dialogs/about.h"
#include "dialogs/helpviewer.h"
#include "dialogs/option.h"
#include "dialogs/select.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

const QByteArray kCatalogue = "Vega, 18:36:56.3, +38:47:01\r\nDeneb, 20:41:25.9, +45:16:49\r\n";

QString ReadText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class CommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void chartTakesKeysAfterTabOrClick();
    void initTestCase() { SetUpApplication(); }
    void init();
    void cleanup() { fixture_.reset(); }

    void optionsShowTheValuesInForce();
    void savingAtOnceWithoutSiteFileFailsOnTheEmptyPath();
    void savingWritesTheSiteFileAndReloads();
    void aBadLatitudeLeavesTheLongitudeApplied();
    void anUnwritableFolderAppliesAndReloadsButKeepsTheFile();
    void browsing();
    void zoomInTwiceThenStandard();
    void zoomRanges_data();
    void zoomRanges();
    void printGivesOnePageInsideTheMargins();
    void cancelledPrintPrintsNothing();
    void printerSetUp_data();
    void printerSetUp();
    void helpOpensTheProgramFoldersFile();
    void missingHelpFileIsReportedByTheViewer();
    void aboutReadsTheVersionAtEveryShowing();
    void aboutWithAnotherVersion();
    void aboutLabelsKeepTheirDistance();
    void optionsOpenWithTheFocusOnCancel();
    void optionCaptionsStandBesideTheirEdits();
    void dividerDrawsALine();
    void exitClosesTheWindow();

private:
    void start(bool withSite);
    TfrmOption &options() { return fixture_->windows().frmOption(); }
    QLineEdit *field(const char *name) { return options().findChild<QLineEdit *>(name); }
    void save() { options().findChild<QPushButton *>("btnSave")->click(); }
    QString programFolder() const { return programFolder_->path(); }

    std::unique_ptr<test::WindowFixture> fixture_;
    std::unique_ptr<QTemporaryDir> programFolder_;
};

void CommandsTest::init()
{
    fixture_ = std::make_unique<test::WindowFixture>();
    programFolder_ = std::make_unique<QTemporaryDir>();
    fixture_->write(QStringLiteral("cat.txt"), kCatalogue);
}

void CommandsTest::start(bool withSite)
{
    if (withSite)
        fixture_->write(QStringLiteral("site.txt"), "139.7\r\n35.7\r\n9\r\ncat.txt\r\n");
    fixture_->start();
    fixture_->main().setProgramFolderForTesting(programFolder());
    fixture_->main().chart()->setAnimatedZoom(false);
}

void CommandsTest::optionsShowTheValuesInForce()
{
    start(true);
    options().show();
    QCOMPARE(field("lbeLongitude")->text(), QStringLiteral("139.7"));
    QCOMPARE(field("lbeLatitude")->text(), QStringLiteral("35.7"));
    QCOMPARE(field("lbeTimeZone")->text(), QStringLiteral("9"));
    QCOMPARE(field("edtFileName")->text(), QStringLiteral("cat.txt"));
    QCOMPARE(options().size(), QSize(526, 115));
    // Unsaved edits are gone at the next showing.
    field("lbeLongitude")->setText(QStringLiteral("1"));
    options().findChild<QPushButton *>("btnCancel")->click();
    options().show();
    QCOMPARE(field("lbeLongitude")->text(), QStringLiteral("139.7"));
}

void CommandsTest::savingAtOnceWithoutSiteFileFailsOnTheEmptyPath()
{
    start(false);
    options().show();
    QCOMPARE(field("lbeLongitude")->text(), QStringLiteral("135"));
    QCOMPARE(field("edtFileName")->text(), QString());
    save();
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].text, QStringLiteral("ファイル  は開けません."));
    QCOMPARE(fixture_->main().site().longitude, 135.0);
    QCOMPARE(fixture_->main().site().latitude, 35.0);
    QCOMPARE(fixture_->main().site().timeZone, 9.0);
    QVERIFY(options().isVisible());
    QVERIFY(!QFile::exists(QDir(programFolder()).filePath("site.txt")));
}

void CommandsTest::savingWritesTheSiteFileAndReloads()
{
    start(true);
    fixture_->windows().frmSelect().setChecked(0, true);
    options().show();
    field("lbeLongitude")->setText(QStringLiteral("139.75"));
    save();
    QVERIFY(fixture_->messages.isEmpty());
    QVERIFY(!options().isVisible());
    QCOMPARE(ReadText(QDir(programFolder()).filePath("site.txt")),
             QStringLiteral("139.75\r\n35.7\r\n9\r\ncat.txt\r\n"));
    QCOMPARE(fixture_->main().site().longitude, 139.75);
    // The catalogue was read again: the marks are gone.
    QVERIFY(!fixture_->windows().frmSelect().isChecked(0));
    options().show();
    QCOMPARE(field("lbeLongitude")->text(), QStringLiteral("139.75"));
}

void CommandsTest::aBadLatitudeLeavesTheLongitudeApplied()
{
    start(true);
    options().show();
    field("lbeLongitude")->setText(QStringLiteral("140.5"));
    field("lbeLatitude")->setText(QStringLiteral("abc"));
    save();
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].text,
             QStringLiteral("'abc' is not a valid floating point value."));
    QVERIFY(options().isVisible());
    QCOMPARE(field("lbeLatitude")->text(), QStringLiteral("abc"));
    options().findChild<QPushButton *>("btnCancel")->click();
    QCOMPARE(fixture_->main().site().longitude, 140.5);
    QCOMPARE(fixture_->main().site().latitude, 35.7);
    QVERIFY(!QFile::exists(QDir(programFolder()).filePath("site.txt")));
}

void CommandsTest::anUnwritableFolderAppliesAndReloadsButKeepsTheFile()
{
    start(true);
    const QString missingFolder = QDir(programFolder()).filePath("no-such-folder");
    fixture_->main().setProgramFolderForTesting(missingFolder);
    fixture_->windows().frmSelect().setChecked(1, true);
    options().show();
    field("lbeTimeZone")->setText(QStringLiteral("-9.5"));
    save();
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].text,
             QStringLiteral("ファイル %1/site.txt を作成できません.").arg(missingFolder));
    QCOMPARE(fixture_->main().site().timeZone, -9.5);
    QVERIFY(!fixture_->windows().frmSelect().isChecked(1));
    QVERIFY(options().isVisible());
}

void CommandsTest::browsing()
{
    start(true);
    options().show();
    fixture_->main().setOpenDialogForTesting([] { return QString(); });
    options().findChild<QPushButton *>("btnBrows")->click();
    QCOMPARE(field("edtFileName")->text(), QStringLiteral("cat.txt"));
    fixture_->main().setOpenDialogForTesting([] { return QStringLiteral("/data/other.txt"); });
    options().findChild<QPushButton *>("btnBrows")->click();
    QCOMPARE(field("edtFileName")->text(), QStringLiteral("/data/other.txt"));
    // Nothing is loaded until saving.
    QCOMPARE(fixture_->main().catalogueLines().size(), std::size_t(2));
}

void CommandsTest::zoomInTwiceThenStandard()
{
    start(false);
    TfrmMirado &main = fixture_->main();
    main.mnuZoom100Click(); // nothing held: nothing changes
    QCOMPARE(main.chart()->bottomRange().min, 17.0);
    main.mnuZoomInClick();
    main.mnuZoomInClick();
    QVERIFY(main.chart()->bottomRange().min > 19.1);
    main.findChild<QAction *>("mnuZoom100")->trigger();
    QCOMPARE(main.chart()->bottomRange().min, 17.0);
    QCOMPARE(main.chart()->bottomRange().max, 31.0);
    QCOMPARE(main.chart()->leftRange().min, 0.0);
    QCOMPARE(main.chart()->leftRange().max, 90.0);
    QVERIFY(main.chart()->isRestored());
}

void CommandsTest::zoomRanges_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<double>("bottomMin");
    QTest::addColumn<double>("bottomMax");
    QTest::addColumn<double>("leftMin");
    QTest::addColumn<double>("leftMax");
    QTest::newRow("in") << "mnuZoomIn" << 19.1 << 28.9 << 13.5 << 76.5;
    QTest::newRow("out") << "mnuZoomOut" << 14.9 << 33.1 << -13.5 << 103.5;
}

void CommandsTest::zoomRanges()
{
    QFETCH(QString, command);
    QFETCH(double, bottomMin);
    QFETCH(double, bottomMax);
    QFETCH(double, leftMin);
    QFETCH(double, leftMax);
    start(false);
    fixture_->main().findChild<QAction *>(command)->trigger();
    const ElevationChart *chart = fixture_->main().chart();
    QVERIFY(qAbs(chart->bottomRange().min - bottomMin) < 1e-9);
    QVERIFY(qAbs(chart->bottomRange().max - bottomMax) < 1e-9);
    QVERIFY(qAbs(chart->leftRange().min - leftMin) < 1e-9);
    QVERIFY(qAbs(chart->leftRange().max - leftMax) < 1e-9);
}

void CommandsTest::printGivesOnePageInsideTheMargins()
{
    start(true);
    TfrmMirado &main = fixture_->main();
    fixture_->windows().frmSelect().btnSelectAllClick();
    main.mnuPlotClick();
    const QString pdf = QDir(programFolder()).filePath("chart.pdf");
    main.setPrintDialogsForTesting(
        [pdf](QPrinter &printer) {
            // The whole sheet is the printable page.
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageMargins(QMarginsF());
            return true;
        },
        {});
    main.findChild<QAction *>("mnuPrint")->trigger();
    QVERIFY(fixture_->messages.isEmpty());
    QCOMPARE(main.printer().docName(), QStringLiteral("chtMirado"));

    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                 bytes.count("/Type /Page>") + bytes.count("/Type /Page "),
             1);

    // Looked at as a picture: nothing outside the print area, the chart's
    // panel colour inside it.
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        QSKIP("pdftoppm is not installed");
    const QString prefix = QDir(programFolder()).filePath("page");
    QCOMPARE(QProcess::execute(pdftoppm, {"-r", "40", "-png", "-singlefile", pdf, prefix}), 0);
    const QImage page(prefix + ".png");
    QVERIFY(!page.isNull());
    const QRect area(qRound(page.width() * 0.15), qRound(page.height() * 0.15),
                     qRound(page.width() * 0.70), qRound(page.height() * 0.70));
    for (int y = 0; y < page.height(); y += 2) {
        for (int x = 0; x < page.width(); x += 2) {
            if (!area.adjusted(-2, -2, 2, 2).contains(x, y))
                QCOMPARE(page.pixelColor(x, y), QColor(Qt::white));
        }
    }
    const QColor panel = page.pixelColor(area.left() + 4, area.top() + 4);
    QCOMPARE(panel, QColor(212, 208, 200));
    QCOMPARE(page.pixelColor(area.right() - 4, area.bottom() - 4), QColor(212, 208, 200));
}

void CommandsTest::cancelledPrintPrintsNothing()
{
    start(false);
    const QString pdf = QDir(programFolder()).filePath("none.pdf");
    fixture_->main().setPrintDialogsForTesting(
        [pdf](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return false;
        },
        {});
    fixture_->main().mnuPrintClick();
    QVERIFY(!QFile::exists(pdf));
}

void CommandsTest::printerSetUp_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("OK sets up the next print") << true;
    QTest::newRow("Cancel changes nothing") << false;
}

void CommandsTest::printerSetUp()
{
    QFETCH(bool, confirm);
    start(true);
    TfrmMirado &main = fixture_->main();
    QPrinter &printer = main.printer();
    const QPageLayout layoutBefore = printer.pageLayout();
    const QString fileBefore = printer.outputFileName();
    const QString pdf = QDir(programFolder()).filePath("setup.pdf");

    // As the user: a printer (the PDF file), then in its properties the
    // paper (A5) and the orientation (landscape), then OK or Cancel.
    QStringList chosen;
    main.setPrintDialogsForTesting(
        [](QPrinter &) { return true; },
        [&](QPrintDialog &dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("ﾌﾟﾘﾝﾀの設定"));
            auto *printers = dialog.findChild<QComboBox *>("printers");
            QVERIFY(printers && printers->isVisible());
            printers->setCurrentIndex(printers->count() - 1);
            dialog.findChild<QLineEdit *>("filename")->setText(pdf);
            auto *properties = dialog.findChild<QPushButton *>("properties");
            QVERIFY(properties && properties->isVisible());
            QTimer::singleShot(0, [&chosen] {
                auto *page = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                auto *paper = page ? page->findChild<QComboBox *>("pageSizeCombo") : nullptr;
                auto *landscape = page ? page->findChild<QRadioButton *>("landscape") : nullptr;
                if (paper && landscape) {
                    for (int i = 0; i < paper->count(); ++i) {
                        if (paper->itemData(i).value<QPageSize>().id() == QPageSize::A5)
                            paper->setCurrentIndex(i);
                    }
                    landscape->click();
                    chosen << paper->currentText();
                }
                if (page)
                    page->accept();
            });
            properties->click();
            if (confirm)
                dialog.accept();
            else
                dialog.reject();
        });
    main.findChild<QAction *>("mnuPrinterSet")->trigger();
    QCOMPARE(chosen.size(), 1);
    QVERIFY(!QFile::exists(pdf));
    if (!confirm) {
        QVERIFY(printer.pageLayout().isEquivalentTo(layoutBefore));
        QCOMPARE(printer.outputFileName(), fileBefore);
        return;
    }
    QCOMPARE(printer.outputFileName(), pdf);
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A5);
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);

    // The next print goes there, on A5 across.
    main.findChild<QAction *>("mnuPrint")->trigger();
    QVERIFY(fixture_->messages.isEmpty());
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    static const QRegularExpression mediaBox(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])");
    const QRegularExpressionMatch box = mediaBox.match(QString::fromLatin1(file.readAll()));
    QVERIFY(box.hasMatch());
    constexpr double kA5LongPt = 595.276, kA5ShortPt = 419.528, kTolerancePt = 1.0;
    QVERIFY2(qAbs(box.captured(1).toDouble() - kA5LongPt) < kTolerancePt &&
                 qAbs(box.captured(2).toDouble() - kA5ShortPt) < kTolerancePt,
             qPrintable("got " + box.captured(0)));
}

void CommandsTest::helpOpensTheProgramFoldersFile()
{
    start(false);
    QFile help(QDir(programFolder()).filePath("mirado.hlp"));
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.write("# Mirado のヘルプ\n\n天体ファイルの書き方\n");
    help.close();
    fixture_->main().findChild<QAction *>("mnuHint")->trigger();
    HelpViewer *viewer = fixture_->main().helpViewer();
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->shownFile(), help.fileName());
    QVERIFY(viewer->contentsText().contains(QStringLiteral("天体ファイルの書き方")));
    QVERIFY(fixture_->messages.isEmpty());
}

void CommandsTest::missingHelpFileIsReportedByTheViewer()
{
    start(false);
    // Blanks around the folder are dropped.
    fixture_->main().setProgramFolderForTesting(QStringLiteral("  /no/such/folder"));
    QCOMPARE(fixture_->main().helpFilePath(), QStringLiteral("/no/such/folder/mirado.hlp"));
    fixture_->main().mnuHintClick();
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].caption, QStringLiteral("Mirado ヘルプ"));
    QVERIFY(fixture_->messages[0].text.contains(QStringLiteral("/no/such/folder/mirado.hlp")));
    QVERIFY(!fixture_->main().helpViewer()->isVisible());
}

void CommandsTest::aboutLabelsKeepTheirDistance()
{
    // Each label's text ends at least 4 px before the next control or the
    // bevel's inner edge.
    start(true);
    TfrmAbout &about = fixture_->windows().frmAbout();
    about.show();
    const auto textRight = [&about](const char *name) {
        const auto *label = about.findChild<QLabel *>(name);
        return label->x() + label->contentsRect().left() +
               label->fontMetrics().horizontalAdvance(label->text());
    };
    const auto *bevel = about.findChild<QFrame *>("Bevel1");
    const int bevelInside = bevel->geometry().right() - bevel->frameWidth();
    const auto *version = about.findChild<QLabel *>("lblVersion");
    const struct
    {
        const char *label;
        int before;
        const char *what;
    } rows[] = {
        {"lblName", version->x(), "lblVersion"},
        {"lblVersion", bevelInside, "the bevel"},
        {"lblNotice", bevelInside, "the bevel"},
    };
    QVERIFY(!about.findChild<QLabel *>("imgIcon")->pixmap().isNull());
    for (const auto &row : rows) {
        const int gap = row.before - textRight(row.label);
        qInfo("%s ends %d px before %s", row.label, gap, row.what);
        QVERIFY2(
            gap >= 4,
            qPrintable(
                QStringLiteral("%1 ends %2 px before %3").arg(row.label).arg(gap).arg(row.what)));
    }
    about.findChild<QPushButton *>("btnOK")->click();
}

void CommandsTest::optionsOpenWithTheFocusOnCancel()
{
    start(true);
    options().show();
    QVERIFY(QTest::qWaitForWindowActive(&options()));
    QCOMPARE(options().focusWidget(), options().findChild<QPushButton *>("btnCancel"));
    // Tab goes on to the file name field.
    QTest::keyClick(&options(), Qt::Key_Tab);
    QCOMPARE(options().focusWidget(), field("edtFileName"));
    options().findChild<QPushButton *>("btnCancel")->click();
}

void CommandsTest::optionCaptionsStandBesideTheirEdits()
{
    // Each caption ends 3 px before its edit, centred on it, at every showing.
    start(true);
    for (int showing = 0; showing < 2; ++showing) {
        options().show();
        for (const char *name : {"lbeLongitude", "lbeLatitude", "lbeTimeZone"}) {
            const QRect edit = field(name)->geometry();
            const QRect caption =
                options().findChild<QLabel *>(QString::fromLatin1(name) + "Label")->geometry();
            const int gap = edit.left() - caption.right() - 1;
            const int offCentre = edit.center().y() - caption.center().y();
            QVERIFY2(gap == 3 && qAbs(offCentre) <= 1,
                     qPrintable(QStringLiteral("%1: want a gap of 3 px, centred within 1 px; "
                                               "got %2 px, %3 px off")
                                    .arg(name)
                                    .arg(gap)
                                    .arg(offCentre)));
        }
        options().findChild<QPushButton *>("btnCancel")->click();
    }
}

void CommandsTest::dividerDrawsALine()
{
    // The toolbar's divider shows a vertical line in its middle.
    start(true);
    auto *divider = fixture_->main().findChild<QWidget *>("ToolButton6");
    QCOMPARE(divider->width(), 19);
    const QImage image = divider->grab().toImage();
    const QRgb background = image.pixel(0, image.height() / 2);
    int lineColumns = 0;
    for (int x = 0; x < image.width(); ++x) {
        int differing = 0;
        for (int y = 0; y < image.height(); ++y)
            differing += image.pixel(x, y) != background ? 1 : 0;
        lineColumns += differing > image.height() / 2 ? 1 : 0;
    }
    QVERIFY2(lineColumns >= 1 && lineColumns <= 3,
             qPrintable(QStringLiteral("%1 columns of line").arg(lineColumns)));
}

void CommandsTest::aboutReadsTheVersionAtEveryShowing()
{
    start(false);
    TfrmAbout &about = fixture_->windows().frmAbout();
    for (int showing = 0; showing < 2; ++showing) {
        about.show();
        QCOMPARE(about.windowTitle(), QStringLiteral("Mirado バージョン情報"));
        QCOMPARE(about.findChild<QLabel *>("lblVersion")->text(), QStringLiteral("Version 0.81"));
        QCOMPARE(about.findChild<QLabel *>("lblName")->text(), QStringLiteral("Mirado"));
        about.findChild<QPushButton *>("btnOK")->click();
        QVERIFY(!about.isVisible());
    }
    QCOMPARE(about.size(), QSize(224, 97));
    QVERIFY(fixture_->messages.isEmpty());
}

void CommandsTest::aboutWithAnotherVersion()
{
    start(false);
    TfrmAbout &about = fixture_->windows().frmAbout();
    about.setVersionFile(MIRADO_TEST_VERSION_123);
    about.show();
    QCOMPARE(about.findChild<QLabel *>("lblVersion")->text(), QStringLiteral("Version 1.23"));
    about.hide();
    // A file without a resource: the caption is set, the label keeps its text.
    about.setVersionFile(fixture_->write("plain.bin", "no resource here").toStdString());
    about.show();
    QCOMPARE(fixture_->messages.size(), 1);
    QVERIFY(fixture_->messages[0].text.startsWith(QStringLiteral("QueryVersionInfo:")));
    QCOMPARE(about.findChild<QLabel *>("lblVersion")->text(), QStringLiteral("Version 1.23"));
}

void CommandsTest::exitClosesTheWindow()
{
    start(false);
    fixture_->main().findChild<QAction *>("mnuExit")->trigger();
    QVERIFY(!fixture_->main().isVisible());
}

void CommandsTest::chartTakesKeysAfterTabOrClick()
{
    start(false);
    TfrmMirado &main = fixture_->main();
    ElevationChart *chart = main.chart();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QSpinBox *year = main.findChild<QSpinBox *>(QStringLiteral("sedYear"));
    year->setFocus();
    for (int i = 0; i < 20 && !chart->hasFocus(); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(chart->hasFocus());

    // Each key from the standard view, then Home back to it. Tolerance:
    // rounding of the zoom arithmetic.
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifier modifier;
        AxisRanges want;
    } rows[] = {
        {Qt::Key_Plus, Qt::NoModifier, {{19.1, 28.9}, {13.5, 76.5}}},
        {Qt::Key_Equal, Qt::NoModifier, {{19.1, 28.9}, {13.5, 76.5}}},
        {Qt::Key_Plus, Qt::KeypadModifier, {{19.1, 28.9}, {13.5, 76.5}}},
        {Qt::Key_Minus, Qt::NoModifier, {{14.9, 33.1}, {-13.5, 103.5}}},
        {Qt::Key_Right, Qt::NoModifier, {{18.4, 32.4}, {0.0, 90.0}}},
        {Qt::Key_Left, Qt::NoModifier, {{15.6, 29.6}, {0.0, 90.0}}},
        {Qt::Key_Up, Qt::NoModifier, {{17.0, 31.0}, {9.0, 99.0}}},
        {Qt::Key_Down, Qt::NoModifier, {{17.0, 31.0}, {-9.0, 81.0}}},
    };
    for (const auto &row : rows) {
        QTest::keyClick(QApplication::focusWidget(), row.key, row.modifier);
        const AxisRanges got{chart->bottomRange(), chart->leftRange()};
        QVERIFY2(qAbs(got.bottom.min - row.want.bottom.min) < 1e-9 &&
                     qAbs(got.bottom.max - row.want.bottom.max) < 1e-9 &&
                     qAbs(got.left.min - row.want.left.min) < 1e-9 &&
                     qAbs(got.left.max - row.want.left.max) < 1e-9,
                 qPrintable(QString("key %1: want %2..%3 / %4..%5, got %6..%7 / %8..%9")
                                .arg(row.key, 0, 16)
                                .arg(row.want.bottom.min)
                                .arg(row.want.bottom.max)
                                .arg(row.want.left.min)
                                .arg(row.want.left.max)
                                .arg(got.bottom.min)
                                .arg(got.bottom.max)
                                .arg(got.left.min)
                                .arg(got.left.max)));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        QCOMPARE(chart->bottomRange().min, 17.0);
    }

    // A click takes the focus too.
    year->setFocus();
    QWidget *viewport = chart->findChild<QGraphicsView *>()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, viewport->rect().center());
    QVERIFY(chart->hasFocus());
}

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
