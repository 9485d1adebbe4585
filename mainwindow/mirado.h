// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "astro/types.h"
#include "chart/seriesstore.h"
#include "data/lines.h"
#include "data/site.h"
#include "dialogs/option.h"
#include "night/nowtexts.h"
#include "platform/localeformat.h"
#include "platform/textcodec.h"

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
class HelpViewer;
class NightPlot;
class TfrmAbout;
class TfrmOption;
class TfrmSelect;

// The local files among the dropped items, in the order dropped.
QStringList DroppedFileNames(const QMimeData &data);

// The main window frmMirado. It holds the program's state for the whole run
// (the chosen date, the site, the catalogue lines and path) and runs the
// commands of the menu and the toolbar. The other windows read and write the
// state through it.
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
    const TDateRec &selectedDate() const { return selectedDate_; }
    const SiteValues &site() const { return site_; }
    SiteValues &site() { return site_; }
    const CatalogueLines &catalogueLines() const { return catalogueLines_; }
    ElevationChart *chart() const { return chtMirado_; }
    SeriesId nowSeries() const { return nowSeries_; }
    // The formats of the clock texts, chosen at start to fit their places.
    const LocaleFormats &localeFormats() const { return localeFormats_; }
    ClockTextRoom clockTextRoom() const;
    // The decimal separator of the user's locale, for every number the
    // program reads or writes.
    char decimalSeparator() const override { return decimalSeparator_; }

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
    SiteValues &siteValues() override { return site_; }
    void loadCatalogue(const std::string &path) override { LoadCatalogue(path); }
    std::string siteFileSavePath() const override;

    // The folder of the program file, where site.txt is saved and the help
    // file lies.
    QString programFolder() const;
    void setProgramFolderForTesting(const QString &folder) { programFolder_ = folder; }
    // The path the help command opens.
    QString helpFilePath() const;
    HelpViewer *helpViewer() const { return helpViewer_; }

    // The printer the next print uses, and the dialogs that set it up. Tests
    // replace the print dialog, and stand for the user of the set-up dialog:
    // `setupDialog` gets it shown and ends it with accept() or reject().
    QPrinter &printer() { return *printer_; }
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
    // The darkness shading of the last plot's night, or none when it is off.
    void showDarkness();
    // The spin edits set to the night the present moment belongs to.
    void showStartDate();
    // The marker series attached again, cleared and given one point.
    void prepareMarker();
    // The astronomy routines' warnings as warning boxes.
    WarningReporter warningBox();
    // Runs a handler with every error going to the default report.
    std::function<void()> guarded(void (TfrmMirado::*handler)());

    // State.
    TDateRec selectedDate_{};
    SeriesId nowSeries_{};
    bool hasNowSeries_ = false;
    SiteValues site_;
    CatalogueLines catalogueLines_;
    TextEncoding catalogueEncoding_ = TextEncoding::ShiftJis;
    std::unique_ptr<NightPlot> plot_;
    std::optional<TDateRec> plottedDate_;
    std::optional<SiteValues> plottedSite_;
    LocaleFormats localeFormats_;
    // The site values of the present-moment display's last reported failure.
    std::optional<SiteValues> reportedSite_;
    char decimalSeparator_ = '.';
    bool shown_ = false;
    bool nowDisplayOn_ = false;
    bool twilightOn_ = false;

public:
    bool isNowDisplayOn() const { return nowDisplayOn_; }
    bool isTwilightOn() const { return twilightOn_; }

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
    QToolButton *tbNow_ = nullptr;
    QTimer *tmrNow_ = nullptr;
    TfrmSelect *frmSelect_ = nullptr;
    TfrmAbout *frmAbout_ = nullptr;
    TfrmOption *frmOption_ = nullptr;
    std::function<QString()> openDialog_;
    std::function<bool(QPrinter &)> printDialog_;
    std::function<void(QPrintDialog &)> setupDialog_;
    std::unique_ptr<QPrinter> printer_;
    HelpViewer *helpViewer_ = nullptr;
    QString programFolder_;
};

} // namespace mirado
