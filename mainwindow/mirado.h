// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "astro/types.h"
#include "chart/seriesstore.h"
#include "data/lines.h"
#include "data/site.h"
#include "dialogs/option.h"
#include "night/nowtexts.h"
#include "night/session.h"
#include "platform/localeformat.h"

class QAction;
class QPrintDialog;
class QPrinter;
class QMimeData;
class QLabel;
class QTimer;
class QToolButton;

namespace mirado {

class DateSpinBox;
class ElevationChart;
class ElevationPlot;
class HelpViewer;
class NowDisplay;
class TfrmAbout;
class TfrmOption;
class TfrmSeason;
class TfrmSelect;
class TfrmTonight;

// The local files among the dropped items, in the order dropped.
QStringList DroppedFileNames(const QMimeData &data);

// The main window frmMirado. It builds the window's widgets and wires them to
// the program's state for the whole run, a Session (the chosen date, the
// site, the catalogue and its path), to the plot and to the present-moment
// display. The other windows read and write the state through it.
class TfrmMirado : public QMainWindow, public SiteSettingsHost
{
    Q_OBJECT

public:
    // The window's design values; FormCreate runs while it is built.
    static constexpr TDateRec kDesignDate{2001, 12, 31};

    explicit TfrmMirado(QWidget *parent = nullptr);
    ~TfrmMirado() override;

    // Hands over the dialogs, created after the main window.
    void setDialogs(TfrmSelect *select, TfrmAbout *about, TfrmOption *option);

    // The state.
    const Session &session() const { return session_; }
    const TDateRec &selectedDate() const { return session_.date(); }
    const SiteValues &site() const { return session_.site(); }
    SiteValues &site() { return session_.site(); }
    const CatalogueLines &catalogueLines() const { return session_.catalogue().lines(); }
    ElevationChart *chart() const { return chtMirado_; }
    SeriesId nowSeries() const;
    ElevationPlot &elevationPlot() const { return *plot_; }
    // The formats of the clock texts, chosen at start to fit their places.
    const LocaleFormats &localeFormats() const { return localeFormats_; }
    ClockTextRoom clockTextRoom() const;
    // The decimal separator of the user's locale, for every number the
    // program reads or writes.
    char decimalSeparator() const override { return session_.decimalSeparator(); }

    // Reads the catalogue at `path` (bytes, as the file system takes them)
    // into the catalogue lines and refills the selection list. Raises the
    // file's error and then keeps the previous catalogue.
    void LoadCatalogue(const std::string &path);
    // Puts every catalogue line, unchecked, in the selection list.
    void FillObjectList();
    // Opens the catalogue at `path` as the open command does: a warning box
    // when it cannot be read, and the site's catalogue path stays as it is.
    // Used by the open and drop commands and for a file named on the command
    // line.
    void OpenCatalogueFile(const QString &path);

    // The file-open dialog shared with the options dialog: the chosen file,
    // or an empty text when the user cancels.
    QString runOpenDialog() override;
    void setOpenDialogForTesting(std::function<QString()> openDialog);

    // What the options dialog works on.
    SiteValues &siteValues() override { return session_.site(); }
    void loadCatalogue(const std::string &path) override { LoadCatalogue(path); }
    std::string siteFileSavePath() const override;

    // The folder of the program file, where site.txt is saved and the help
    // file lies.
    QString programFolder() const;
    void setProgramFolderForTesting(const QString &folder) { programFolder_ = folder; }
    // The path the help command opens.
    QString helpFilePath() const;
    // Null until the help command first opens it.
    HelpViewer *helpViewer() const { return helpViewer_; }

    // The table of the last plot's night, made at its first showing.
    TfrmTonight *tonightDialog() const { return frmTonight_; }
    // The season of the last plot's objects (before a first plot, of the
    // checked ones), made at its first showing.
    TfrmSeason *seasonDialog() const { return frmSeason_; }

    // The printer the next print uses, made at its first use, and the dialogs
    // that set it up. Tests replace the print dialog, and stand for the user
    // of the set-up dialog: `setupDialog` gets it shown and ends it with
    // accept() or reject().
    QPrinter &printer();
    void setPrintDialogsForTesting(std::function<bool(QPrinter &)> printDialog,
                                   std::function<void(QPrintDialog &)> setupDialog);

    // Event handlers.
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void sedYearChange(int value);
    void sedMonthChange(int value);
    void sedDayChange(int value);
    void mnuOpenClick();
    void HandleDroppedFiles(const QStringList &files);
    void mnuSelectObjClick();
    void mnuOptionClick();
    void mnuAboutClick();
    void mnuPlotClick();
    void mnuNowClick();
    void mnuTwilightClick();
    void mnuMoonClick();
    void mnuTransitsClick();
    void mnuPreciseClick();
    void mnuTonightClick();
    void mnuSeasonClick();
    // Sets the date fields to `date` and plots that night.
    void SeasonNightChosen(const TDateRec &date);
    void tmrNowTimer();
    void mnuZoom100Click();
    void mnuZoomInClick();
    void mnuZoomOutClick();
    void mnuPrinterSetClick();
    void mnuPrintClick();
    void PreviewClick();
    void mnuHintClick();
    void mnuExitClick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createChart();
    QAction *addMenuItem(QMenu *menu, const char *name, const QString &caption,
                         void (TfrmMirado::*handler)());
    QToolButton *addToolButton(const char *name, const QString &caption, const QString &image,
                               void (TfrmMirado::*handler)());
    // The spin edits set to the night the present moment belongs to.
    void showStartDate();
    // The catalogue's lines that are checked in the selection list.
    LineSelection checkedLines() const;
    // The astronomy routines' warnings as warning boxes.
    WarningReporter warningBox();
    // The print dialog (or its stand-in for tests) on `printer`: whether the
    // user confirmed the print.
    bool confirmPrint(QPrinter &printer);
    // Runs a handler with every error going to the default report.
    std::function<void()> guarded(void (TfrmMirado::*handler)());

    // State.
    Session session_;
    std::unique_ptr<ElevationPlot> plot_;
    std::unique_ptr<NowDisplay> nowDisplay_;
    LocaleFormats localeFormats_;
    bool shown_ = false;
    bool preciseOn_ = false; // the model of the next plot: precise or the chart's

public:
    bool isNowDisplayOn() const;
    bool isTwilightOn() const;
    bool isPreciseOn() const { return preciseOn_; }

private:
    // Components.
    ElevationChart *chtMirado_ = nullptr;
    QWidget *bevTopLineChart_ = nullptr;
    DateSpinBox *sedYear_ = nullptr;
    DateSpinBox *sedMonth_ = nullptr;
    DateSpinBox *sedDay_ = nullptr;
    QLabel *lblLocalTime_ = nullptr;
    QLabel *utPanel_ = nullptr;
    QLabel *lstPanel_ = nullptr;
    QAction *mnuNow_ = nullptr;
    QAction *mnuTwilight_ = nullptr;
    QAction *mnuMoon_ = nullptr;
    QAction *mnuTransits_ = nullptr;
    QAction *mnuPrecise_ = nullptr;
    QAction *mnuTonight_ = nullptr;
    QToolButton *tbNow_ = nullptr;
    QTimer *tmrNow_ = nullptr;
    TfrmSelect *frmSelect_ = nullptr;
    TfrmAbout *frmAbout_ = nullptr;
    TfrmOption *frmOption_ = nullptr;
    TfrmTonight *frmTonight_ = nullptr;
    TfrmSeason *frmSeason_ = nullptr;
    std::function<QString()> openDialog_;
    std::function<bool(QPrinter &)> printDialog_;
    std::function<void(QPrintDialog &)> setupDialog_;
    std::unique_ptr<QPrinter> printer_;
    HelpViewer *helpViewer_ = nullptr;
    QString programFolder_;
};

} // namespace mirado
