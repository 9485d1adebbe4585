// SPDX-License-Identifier: GPL-3.0-or-later
#include "mirado.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "astro/clocktime.h"
#include "chart/elevationchart.h"
#include "data/catalogue.h"
#include "datespinbox.h"
#include "dialogs/about.h"
#include "dialogs/helpviewer.h"
#include "dialogs/messages.h"
#include "dialogs/option.h"
#include "dialogs/printersetup.h"
#include "dialogs/season.h"
#include "dialogs/select.h"
#include "dialogs/tonight.h"
#include "elevationplot.h"
#include "night/elevationmodel.h"
#include "nowdisplay.h"
#include "platform/fonts.h"
#include "platform/localeformat.h"
#include "platform/textcodec.h"
#include "versioninfo/fileversioninfo.h"

namespace mirado {

namespace {

constexpr QSize kWindowSize{640, 480};
constexpr QPoint kWindowPosition{235, 134};
constexpr int kToolBarHeight = 57;
constexpr QSize kToolButtonSize{64, 51};
constexpr QSize kToolImageSize{32, 32};
constexpr int kDatePanelWidth = 177;
constexpr int kToolButtons = 4;
constexpr int kDividerWidth = 19;
constexpr int kSeparatorWidth = 13;
constexpr int kStatusBarHeight = 30;
constexpr int kUtPanelWidth = 280;
constexpr int kLstPanelWidth = 175;
constexpr int kBevelHeight = 9;
constexpr int kTimerIntervalMs = 1000;
constexpr int kSpinTop = 12;
constexpr int kSpinHeight = 28;
const QString kHelpFileName = QStringLiteral("mirado.hlp");
const QString kTwilightSetting = QStringLiteral("view/twilight");
const QString kMoonSetting = QStringLiteral("view/moon");
const QString kTransitsSetting = QStringLiteral("view/transits");
const QString kPreciseSetting = QStringLiteral("compute/precise");

// The user's own settings beyond site.txt: an INI file in the user's
// configuration folder (~/.config/mirado/mirado.ini on Linux).
QSettings UserSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("mirado"),
                     QStringLiteral("mirado"));
}

// The open dialog's filter as "description|pattern" pairs.
const QString kOpenFilter = QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt|全てのﾌｧｲﾙ (*.*)|*.*");

// "description|pattern|..." as the filter list of Qt's file dialog.
QString QtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i];
    return filters.join(QStringLiteral(";;"));
}

// An etched line along the top edge of the chart, separating it from the
// toolbar.
class Bevel : public QWidget
{
public:
    explicit Bevel(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("bevTopLineChart"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFixedHeight(kBevelHeight);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(0, 0, width() - 1, 0);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(0, 1, width() - 1, 1);
    }
};

} // namespace

TfrmMirado::TfrmMirado(QWidget *parent)
    : QMainWindow(parent), session_(DecimalSeparatorOf(QLocale::system()))
{
    setObjectName(QStringLiteral("frmMirado"));
    setWindowTitle(QStringLiteral("Mirado"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/mirado.svg")));
    setFont(PixelFont(kMsPGothic, 12));
    setMinimumSize(kWindowSize);
    resize(kWindowSize);
    move(kWindowPosition);

    createMenus();
    createToolBar();
    createChart();
    createStatusBar();
    localeFormats_ = LocaleFormatsOf(QLocale::system(), clockTextRoom());
    nowDisplay_ = std::make_unique<NowDisplay>(*chtMirado_, *lblLocalTime_, *utPanel_, *lstPanel_,
                                               localeFormats_, warningBox());

    tmrNow_ = new QTimer(this);
    tmrNow_->setObjectName(QStringLiteral("tmrNow"));
    tmrNow_->setInterval(kTimerIntervalMs);
    connect(tmrNow_, &QTimer::timeout, this, guarded(&TfrmMirado::tmrNowTimer));
    tmrNow_->start();

    FormCreate();
}

TfrmMirado::~TfrmMirado()
{
    FormDestroy();
}

void TfrmMirado::setDialogs(TfrmSelect *select, TfrmAbout *about, TfrmOption *option)
{
    frmSelect_ = select;
    frmAbout_ = about;
    frmOption_ = option;
}

std::function<void()> TfrmMirado::guarded(void (TfrmMirado::*handler)())
{
    return [this, handler] { RunGuarded(this, [&] { (this->*handler)(); }); };
}

QAction *TfrmMirado::addMenuItem(QMenu *menu, const char *name, const QString &caption,
                                 void (TfrmMirado::*handler)())
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, guarded(handler));
    return action;
}

void TfrmMirado::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    QMenu *file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    addMenuItem(file, "mnuOpen", QStringLiteral("天体ﾌｧｲﾙを開く(&O)"), &TfrmMirado::mnuOpenClick);
    file->addSeparator()->setObjectName(QStringLiteral("N2"));
    addMenuItem(file, "mnuPrinterSet", QStringLiteral("ﾌﾟﾘﾝﾀの設定(&S)"),
                &TfrmMirado::mnuPrinterSetClick);
    addMenuItem(file, "Preview", QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ(&D)"), &TfrmMirado::PreviewClick)
        ->setEnabled(false);
    addMenuItem(file, "mnuPrint", QStringLiteral("ｸﾞﾗﾌの印刷(&P)"), &TfrmMirado::mnuPrintClick);
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    addMenuItem(file, "mnuExit", QStringLiteral("終了(&X)"), &TfrmMirado::mnuExitClick);

    QMenu *show = bar->addMenu(QStringLiteral("表示(&V)"));
    show->setObjectName(QStringLiteral("mnuShow"));
    addMenuItem(show, "mnuPlot", QStringLiteral("高度の表示(&P)"), &TfrmMirado::mnuPlotClick);
    show->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    addMenuItem(show, "mnuZoom100", QStringLiteral("標準(&I)"), &TfrmMirado::mnuZoom100Click);
    addMenuItem(show, "mnuZoomIn", QStringLiteral("ｽﾞｰﾑｲﾝ(&Z)"), &TfrmMirado::mnuZoomInClick);
    addMenuItem(show, "mnuZoomOut", QStringLiteral("ｽﾞｰﾑｱｳﾄ(&O)"), &TfrmMirado::mnuZoomOutClick);
    show->addSeparator()->setObjectName(QStringLiteral("mnuSep3"));
    mnuNow_ =
        addMenuItem(show, "mnuNow", QStringLiteral("現在時刻の表示"), &TfrmMirado::mnuNowClick);
    mnuNow_->setCheckable(true);
    show->addSeparator()->setObjectName(QStringLiteral("mnuSep4"));
    mnuTwilight_ = addMenuItem(show, "mnuTwilight", QStringLiteral("薄明の表示(&T)"),
                               &TfrmMirado::mnuTwilightClick);
    mnuTwilight_->setCheckable(true);
    mnuMoon_ =
        addMenuItem(show, "mnuMoon", QStringLiteral("月の表示(&M)"), &TfrmMirado::mnuMoonClick);
    mnuMoon_->setCheckable(true);
    mnuTransits_ = addMenuItem(show, "mnuTransits", QStringLiteral("南中の表示(&C)"),
                               &TfrmMirado::mnuTransitsClick);
    mnuTransits_->setCheckable(true);
    show->addSeparator()->setObjectName(QStringLiteral("mnuSep7"));
    addMenuItem(show, "mnuSeason", QStringLiteral("季節の見通し(&Y)..."),
                &TfrmMirado::mnuSeasonClick);
    // Nothing to list before the first plot.
    show->addSeparator()->setObjectName(QStringLiteral("mnuSep6"));
    mnuTonight_ = addMenuItem(show, "mnuTonight", QStringLiteral("今夜の一覧(&L)..."),
                              &TfrmMirado::mnuTonightClick);
    mnuTonight_->setEnabled(false);

    QMenu *set = bar->addMenu(QStringLiteral("設定(&S)"));
    set->setObjectName(QStringLiteral("mnuSet"));
    addMenuItem(set, "mnuSelectObj", QStringLiteral("天体の選択(&B)"),
                &TfrmMirado::mnuSelectObjClick);
    set->addSeparator()->setObjectName(QStringLiteral("mnuSep2"));
    addMenuItem(set, "mnuOption", QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"), &TfrmMirado::mnuOptionClick);
    set->addSeparator()->setObjectName(QStringLiteral("mnuSep5"));
    mnuPrecise_ = addMenuItem(set, "mnuPrecise", QStringLiteral("精密計算(&A)"),
                              &TfrmMirado::mnuPreciseClick);
    mnuPrecise_->setCheckable(true);

    QMenu *help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    addMenuItem(help, "mnuHint", QStringLiteral("Miradoのﾍﾙﾌﾟ(&H)"), &TfrmMirado::mnuHintClick);
    addMenuItem(help, "mnuAbout", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"), &TfrmMirado::mnuAboutClick);
}

QToolButton *TfrmMirado::addToolButton(const char *name, const QString &caption,
                                       const QString &image, void (TfrmMirado::*handler)())
{
    auto *button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setIcon(QIcon(image));
    button->setIconSize(kToolImageSize);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFixedSize(kToolButtonSize);
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this, guarded(handler));
    findChild<QToolBar *>(QStringLiteral("ToolBar"))->addWidget(button);
    return button;
}

void TfrmMirado::createToolBar()
{
    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("ToolBar"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setFixedHeight(kToolBarHeight);
    toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    toolBar->setFont(PixelFont(kMsPGothic, 12));
    toolBar->setStyleSheet(QStringLiteral("QToolBar { spacing: 0px; padding: 0px; border: 0px; }"));
    toolBar->setBackgroundRole(QPalette::Window);
    addToolBar(Qt::TopToolBarArea, toolBar);

    // The date panel.
    auto *pnlDate = new QWidget(toolBar);
    pnlDate->setObjectName(QStringLiteral("pnlDate"));
    pnlDate->setFixedSize(kDatePanelWidth, kToolBarHeight);
    const QFont spinFont = PixelFont(kFixedSysFont, 16, true);
    const auto makeSpin = [&](const char *name, const char *hint, int left, int width, int minimum,
                              int maximum, int value, int maxLength) {
        auto *spin = new DateSpinBox(pnlDate, minimum, maximum, value, maxLength);
        spin->setObjectName(QString::fromLatin1(name));
        spin->setToolTip(QString::fromLatin1(hint));
        spin->setFont(spinFont);
        spin->setGeometry(left, kSpinTop, width, kSpinHeight);
        return spin;
    };
    sedYear_ = makeSpin("sedYear", "Year", 8, 65, 1900, 2999, kDesignDate.year, 4);
    sedMonth_ = makeSpin("sedMonth", "Month", 80, 41, 1, 12, kDesignDate.month, 2);
    sedDay_ = makeSpin("sedDay", "Day", 128, 41, 1, 31, kDesignDate.day, 2);
    connect(sedYear_, &QSpinBox::valueChanged, this, &TfrmMirado::sedYearChange);
    connect(sedMonth_, &QSpinBox::valueChanged, this, &TfrmMirado::sedMonthChange);
    connect(sedDay_, &QSpinBox::valueChanged, this, &TfrmMirado::sedDayChange);
    toolBar->addWidget(pnlDate);

    addToolButton("tbPlot", QStringLiteral("高度表示"), QStringLiteral(":/icons/plot.svg"),
                  &TfrmMirado::mnuPlotClick);
    addToolButton("tbSelect", QStringLiteral("天体選択"), QStringLiteral(":/icons/select.svg"),
                  &TfrmMirado::mnuSelectObjClick);
    tbNow_ = addToolButton("tbNow", QStringLiteral("現在時刻"), QStringLiteral(":/icons/now.svg"),
                           &TfrmMirado::mnuNowClick);
    tbNow_->setCheckable(true);

    // A divider draws an etched vertical line in its middle.
    auto *divider = new QFrame(toolBar);
    divider->setObjectName(QStringLiteral("ToolButton6"));
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    divider->setFixedWidth(kDividerWidth);
    toolBar->addWidget(divider);

    addToolButton("ToolButton3", QStringLiteral("ﾌｧｲﾙを開く"), QStringLiteral(":/icons/open.svg"),
                  &TfrmMirado::mnuOpenClick);

    auto *separator = new QFrame(toolBar);
    separator->setObjectName(QStringLiteral("ToolButton1"));
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setFixedWidth(kSeparatorWidth);
    toolBar->addWidget(separator);

    lblLocalTime_ = new QLabel(toolBar);
    lblLocalTime_->setObjectName(QStringLiteral("lblLocalTime"));
    lblLocalTime_->setFont(PixelFont(kMsGothic, 27));
    lblLocalTime_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar->addWidget(lblLocalTime_);
}

void TfrmMirado::createChart()
{
    chtMirado_ = new ElevationChart(this);
    plot_ = std::make_unique<ElevationPlot>(*chtMirado_, warningBox(), this);
    chtMirado_->setObjectName(QStringLiteral("chtMirado"));
    bevTopLineChart_ = new Bevel(chtMirado_);
    bevTopLineChart_->setGeometry(0, 0, chtMirado_->width(), kBevelHeight);
    chtMirado_->installEventFilter(this);
    setCentralWidget(chtMirado_);
}

bool TfrmMirado::eventFilter(QObject *watched, QEvent *event)
{
    // The bevel runs along the chart's top edge at every width.
    if (watched == chtMirado_ && event->type() == QEvent::Resize) {
        bevTopLineChart_->setGeometry(0, 0, chtMirado_->width(), kBevelHeight);
        bevTopLineChart_->raise();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMirado::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setFixedHeight(kStatusBarHeight);
    bar->setSizeGripEnabled(true);
    bar->setFont(PixelFont(kMsGothic, 21, true));
    const auto makePanel = [&](const char *name, int width) {
        auto *panel = new QLabel(bar);
        panel->setObjectName(QString::fromLatin1(name));
        panel->setFixedWidth(width);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        QPalette palette = panel->palette();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
        panel->setPalette(palette);
        bar->addWidget(panel);
        return panel;
    };
    utPanel_ = makePanel("StatusBarPanel0", kUtPanelWidth);
    lstPanel_ = makePanel("StatusBarPanel1", kLstPanelWidth);
}

ClockTextRoom TfrmMirado::clockTextRoom() const
{
    // A framed label keeps half an "x" free before its text.
    const int indent = utPanel_->fontMetrics().horizontalAdvance(u'x') / 2;
    // The label has the rest of the toolbar, measured at the smallest window.
    constexpr int labelWidth = kWindowSize.width() - kDatePanelWidth -
                               kToolButtons * kToolButtonSize.width() - kDividerWidth -
                               kSeparatorWidth;
    return {utPanel_->font(), utPanel_->contentsRect().width() - indent, lblLocalTime_->font(),
            labelWidth};
}

void TfrmMirado::FormCreate()
{
    setAcceptDrops(true);
    try {
        session_.setCatalogue({});
        session_.date() = {sedYear_->value(), sedMonth_->value(), sedDay_->value()};
    } catch (const std::exception &error) {
        ShowWarning(this, QStringLiteral("FormCreate ") + ErrorText(error));
    }
}

void TfrmMirado::FormShow()
{
    // Caption from the program's version resource.
    {
        TFileVersionInfo info;
        setWindowTitle(QStringLiteral("Mirado Ver ") + QString::fromStdString(VersionText(info)));
    }

    // The present-moment marker, created detached.
    nowDisplay_->createMarker();

    // The darkness shading as the user left it; off at the first start.
    plot_->setDarknessOn(UserSettings().value(kTwilightSetting, false).toBool());
    mnuTwilight_->setChecked(plot_->isDarknessOn());
    // The Moon and the transits likewise; they show from the first plot on.
    plot_->setMoonOn(UserSettings().value(kMoonSetting, false).toBool());
    mnuMoon_->setChecked(plot_->isMoonOn());
    plot_->setTransitsOn(UserSettings().value(kTransitsSetting, false).toBool());
    mnuTransits_->setChecked(plot_->isTransitsOn());
    // The model of the next plot as the user left it; the chart's at the
    // first start.
    preciseOn_ = UserSettings().value(kPreciseSetting, false).toBool();
    mnuPrecise_->setChecked(preciseOn_);

    // The site, whose zone tells tonight's date, and the catalogue it names.
    // The start date is set also when the site file fails.
    try {
        session_.readSiteFile(kSiteFileName);
    } catch (...) {
        showStartDate();
        throw;
    }
    showStartDate();
    plot_->showDarkness(session_);
    if (!site().cataloguePath.empty())
        LoadCatalogue(site().cataloguePath);
}

void TfrmMirado::showStartDate()
{
    // A night is named by the date of its evening at the site. A zone whose
    // minutes do not fit leaves the design date; the clock reports it.
    TDateRec start{};
    try {
        start = session_.tonight();
    } catch (const std::exception &) {
        return;
    }
    sedYear_->setValue(start.year);
    sedMonth_->setValue(start.month);
    sedDay_->setValue(start.day);
}

void TfrmMirado::FormDestroy()
{
    session_.setCatalogue({});
}

void TfrmMirado::closeEvent(QCloseEvent *event)
{
    // A running plot ends first, keeping what it has drawn.
    plot_->cancel();
    QMainWindow::closeEvent(event);
}

void TfrmMirado::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    RunGuarded(this, [this] { FormShow(); });
}

void TfrmMirado::sedYearChange(int value)
{
    session_.date().year = value;
}
void TfrmMirado::sedMonthChange(int value)
{
    session_.date().month = value;
}
void TfrmMirado::sedDayChange(int value)
{
    session_.date().day = value;
}

void TfrmMirado::LoadCatalogue(const std::string &path)
{
    // A plot in progress reads the catalogue from threads of its own and
    // from the loop this call may have come through (a file dropped while it
    // runs): it stops first, and the file loads once the plot has returned.
    if (plot_->isRunning()) {
        plot_->cancel();
        QTimer::singleShot(0, this,
                           [this, path] { RunGuarded(this, [&] { LoadCatalogue(path); }); });
        return;
    }
    // The list reads the lines it shows: empty it before they go.
    session_.loadCatalogue(path, [this] {
        if (frmSelect_)
            frmSelect_->clearItems();
    });
    FillObjectList();
    if (const std::size_t line = session_.catalogue().lines().nulLine(); line > 0) {
        const std::string format = "ファイル %s の " + std::to_string(line) +
                                   " 行目に NUL 文字があるため，それ以降は読み込みません．";
        ShowWarning(this, QString::fromStdString(ErrorTextForDisplay(format, path)));
    }
}

void TfrmMirado::FillObjectList()
{
    if (!frmSelect_)
        return;
    // The list asks for the texts it shows; only their start is decoded.
    const ObjectCatalogue &catalogue = session_.catalogue();
    const int count =
        static_cast<int>(std::min<std::size_t>(catalogue.size(), std::numeric_limits<int>::max()));
    frmSelect_->setItems(count, [&catalogue](int row) {
        return ShortenedForDisplay(DecodeForDisplay(
            DisplayPrefix(catalogue.lines()[static_cast<std::size_t>(row)]), catalogue.encoding()));
    });
}

QString TfrmMirado::runOpenDialog()
{
    if (openDialog_)
        return openDialog_();
    return QFileDialog::getOpenFileName(this, QString(), QString(), QtFileFilter(kOpenFilter));
}

void TfrmMirado::setOpenDialogForTesting(std::function<QString()> openDialog)
{
    openDialog_ = std::move(openDialog);
}

void TfrmMirado::OpenCatalogueFile(const QString &path)
{
    try {
        LoadCatalogue(QFile::encodeName(path).toStdString());
    } catch (const std::exception &error) {
        ShowWarning(this, ErrorText(error));
    }
}

void TfrmMirado::mnuOpenClick()
{
    const QString path = runOpenDialog();
    if (path.isEmpty())
        return;
    OpenCatalogueFile(path);
}

void TfrmMirado::HandleDroppedFiles(const QStringList &files)
{
    // Only the first dropped file is loaded.
    if (files.isEmpty())
        return;
    OpenCatalogueFile(files.first());
}

void TfrmMirado::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TfrmMirado::dragMoveEvent(QDragMoveEvent *event)
{
    // Wherever it moves over the window, the chart included.
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

QStringList DroppedFileNames(const QMimeData &data)
{
    QStringList files;
    for (const QUrl &url : data.urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

void TfrmMirado::dropEvent(QDropEvent *event)
{
    const QStringList files = DroppedFileNames(*event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    RunGuarded(this, [&] { HandleDroppedFiles(files); });
}

void TfrmMirado::mnuSelectObjClick()
{
    if (frmSelect_)
        frmSelect_->exec();
}

void TfrmMirado::mnuOptionClick()
{
    if (frmOption_)
        frmOption_->exec();
}

void TfrmMirado::mnuAboutClick()
{
    if (frmAbout_)
        frmAbout_->exec();
}

WarningReporter TfrmMirado::warningBox()
{
    return [this](const std::string &text) { ShowWarning(this, QString::fromUtf8(text)); };
}

LineSelection TfrmMirado::checkedLines() const
{
    LineSelection checked;
    const std::size_t items = frmSelect_ ? static_cast<std::size_t>(frmSelect_->itemCount()) : 0;
    for (std::size_t i = 0; i < std::min(items, session_.catalogue().size()); ++i)
        if (frmSelect_->isChecked(static_cast<int>(i)))
            checked.add(static_cast<int>(i));
    return checked;
}

void TfrmMirado::mnuPlotClick()
{
    // A plot runs the event loop; a second one waits for the first.
    if (plot_->isRunning())
        return;
    session_.chooseLines(checkedLines());
    // The model chosen now draws these curves and serves every display
    // planned from them until the next plot.
    session_.setModel(ElevationModelNamed(preciseOn_ ? kPreciseModelName : kChartModelName));
    // The table lists what the plot drew, also when a bad line ended it or
    // it was cancelled.
    bool finished = false;
    try {
        finished = plot_->plot(session_);
    } catch (...) {
        mnuTonight_->setEnabled(plot_->plotted().has_value());
        throw;
    }
    mnuTonight_->setEnabled(true);
    if (!finished)
        return;

    // The present moment, when the display is on.
    if (nowDisplay_->isOn()) {
        nowDisplay_->prepareMarker();
        tmrNowTimer();
    }
}

void TfrmMirado::mnuTwilightClick()
{
    plot_->setDarknessOn(!plot_->isDarknessOn());
    mnuTwilight_->setChecked(plot_->isDarknessOn());
    UserSettings().setValue(kTwilightSetting, plot_->isDarknessOn());
    plot_->showDarkness(session_);
}

void TfrmMirado::mnuTonightClick()
{
    if (!plot_->plotted())
        return;
    if (!frmTonight_)
        frmTonight_ = new TfrmTonight(this);
    frmTonight_->setNight(*plot_->plotted());
    frmTonight_->exec();
}

void TfrmMirado::mnuSeasonClick()
{
    // The last plot's objects, site and model; before a first plot, the
    // checked objects at the session's site and date with the next plot's
    // model.
    SeasonSubject subject;
    TDateRec start{};
    if (const std::optional<PlottedNight> &plotted = plot_->plotted()) {
        subject = {plotted->objects, plotted->site, std::string(plotted->model->name())};
        start = plotted->date;
    } else {
        const LineSelection checked = checkedLines();
        for (std::size_t i = 0; i < checked.size(); ++i)
            subject.objects.push_back(
                session_.catalogue().object(static_cast<std::size_t>(checked[i])));
        subject.site = {site().longitude, site().latitude, site().timeZone};
        subject.modelName = std::string(preciseOn_ ? kPreciseModelName : kChartModelName);
        start = session_.date();
    }
    if (!frmSeason_) {
        frmSeason_ = new TfrmSeason(this);
        frmSeason_->setPrinting(&printer(),
                                [this](QPrinter &printer) { return confirmPrint(printer); });
        connect(frmSeason_, &TfrmSeason::nightChosen, this, [this](const TDateRec &date) {
            RunGuarded(this, [&] { SeasonNightChosen(date); });
        });
    }
    frmSeason_->setSubject(std::move(subject), start);
    frmSeason_->exec();
}

void TfrmMirado::SeasonNightChosen(const TDateRec &date)
{
    sedYear_->setValue(date.year);
    sedMonth_->setValue(date.month);
    sedDay_->setValue(date.day);
    mnuPlotClick();
}

void TfrmMirado::mnuMoonClick()
{
    plot_->setMoonOn(!plot_->isMoonOn());
    mnuMoon_->setChecked(plot_->isMoonOn());
    UserSettings().setValue(kMoonSetting, plot_->isMoonOn());
    plot_->showMoon();
}

void TfrmMirado::mnuTransitsClick()
{
    plot_->setTransitsOn(!plot_->isTransitsOn());
    mnuTransits_->setChecked(plot_->isTransitsOn());
    UserSettings().setValue(kTransitsSetting, plot_->isTransitsOn());
    plot_->showTransits();
}

void TfrmMirado::mnuPreciseClick()
{
    // Takes effect with the next plot; the curves shown keep their model,
    // which their title names.
    preciseOn_ = !preciseOn_;
    mnuPrecise_->setChecked(preciseOn_);
    UserSettings().setValue(kPreciseSetting, preciseOn_);
}

void TfrmMirado::mnuNowClick()
{
    if (nowDisplay_->isOn()) {
        nowDisplay_->setOn(false);
        mnuNow_->setChecked(false);
        tbNow_->setChecked(false);
        findChild<QAction *>(QStringLiteral("mnuPlot"))->trigger();
    } else {
        nowDisplay_->setOn(true);
        mnuNow_->setChecked(true);
        tbNow_->setChecked(true);
        nowDisplay_->prepareMarker();
    }
}

void TfrmMirado::tmrNowTimer()
{
    nowDisplay_->tick(session_.site());
}

SeriesId TfrmMirado::nowSeries() const
{
    return nowDisplay_->markerSeries();
}

bool TfrmMirado::isNowDisplayOn() const
{
    return nowDisplay_->isOn();
}

bool TfrmMirado::isTwilightOn() const
{
    return plot_->isDarknessOn();
}

void TfrmMirado::mnuZoom100Click()
{
    chtMirado_->undoZoom();
}
void TfrmMirado::mnuZoomInClick()
{
    chtMirado_->zoomByPercent(ElevationChart::kZoomInPercent);
}
void TfrmMirado::mnuZoomOutClick()
{
    chtMirado_->zoomByPercent(ElevationChart::kZoomOutPercent);
}

QPrinter &TfrmMirado::printer()
{
    // Made at the first print or set-up: a printer loads the print system's
    // plugin and asks it for the default printer, which the window does not
    // need to show.
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void TfrmMirado::setPrintDialogsForTesting(std::function<bool(QPrinter &)> printDialog,
                                           std::function<void(QPrintDialog &)> setupDialog)
{
    printDialog_ = std::move(printDialog);
    setupDialog_ = std::move(setupDialog);
}

void TfrmMirado::mnuPrinterSetClick()
{
    // The printer, the paper and the orientation the user confirms become
    // the setting of the next print.
    PrinterSetupDialog dialog(&printer(), this);
    if (setupDialog_) {
        dialog.show();
        setupDialog_(dialog);
        return;
    }
    dialog.exec();
}

bool TfrmMirado::confirmPrint(QPrinter &printer)
{
    if (printDialog_)
        return printDialog_(printer);
    QPrintDialog dialog(&printer, this);
    return dialog.exec() == QDialog::Accepted;
}

void TfrmMirado::mnuPrintClick()
{
    if (confirmPrint(printer()))
        chtMirado_->printChart(printer());
}

void TfrmMirado::PreviewClick() {}

QString TfrmMirado::programFolder() const
{
    if (!programFolder_.isEmpty())
        return programFolder_;
    // The folder the program was started from. A link to the program in a
    // folder of the user's own makes that folder the program's folder, so an
    // installed copy can keep its site.txt where the user may write.
    const QString started = QCoreApplication::arguments().value(0);
    if (started.contains(u'/'))
        return QFileInfo(started).absolutePath();
    return QCoreApplication::applicationDirPath();
}

std::string TfrmMirado::siteFileSavePath() const
{
    return QFile::encodeName(QDir(programFolder()).filePath(QString::fromLatin1(kSiteFileName)))
        .toStdString();
}

QString TfrmMirado::helpFilePath() const
{
    // The folder with its separator, without blanks or control characters at
    // either end.
    QString folder = QDir::toNativeSeparators(programFolder() + u'/');
    while (!folder.isEmpty() && folder.front().unicode() <= u' ')
        folder.remove(0, 1);
    while (!folder.isEmpty() && folder.back().unicode() <= u' ')
        folder.chop(1);
    return folder + kHelpFileName;
}

void TfrmMirado::mnuHintClick()
{
    // The viewer, made at the first use like the printer, costs the start
    // nothing.
    if (!helpViewer_)
        helpViewer_ = new HelpViewer(this);
    helpViewer_->openContents(helpFilePath());
}

void TfrmMirado::mnuExitClick()
{
    close();
}

} // namespace mirado
