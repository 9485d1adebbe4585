// SPDX-License-Identifier: GPL-3.0-or-later
#include "season.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <atomic>
#include <chrono>
#include <cmath>
#include <future>
#include <mutex>
#include <string>
#include <utility>

#include "data/errors.h"
#include "data/replacefile.h"
#include "messages.h"
#include "night/clock.h"
#include "night/elevationmodel.h"
#include "night/events.h"
#include "night/nighttime.h"

namespace mirado {

namespace {

constexpr QSize kDialogSize{980, 620};
constexpr int kPercent = 100;
const QString kCaption = QStringLiteral("季節の見通し");
const QString kProgressCaption = QStringLiteral("Mirado");
const QString kCancelText = QStringLiteral("ｷｬﾝｾﾙ");
const QDate kFirstStartDate(1900, 1, 1);
// The last start whose longest season still ends within the calendar the
// program reads.
const QDate kLastStartDate(2997, 12, 31);

QString ProgressText(std::size_t done, std::size_t total)
{
    return QStringLiteral("季節の見通しを計算しています (%1 / %2 夜)").arg(done).arg(total);
}

QString HoursText(double hours)
{
    return QString::number(hours, 'f', 1);
}

SeasonImageFormat FormatOfSuffix(const QString &suffix)
{
    if (suffix.compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0)
        return SeasonImageFormat::Svg;
    if (suffix.compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0)
        return SeasonImageFormat::Pdf;
    return SeasonImageFormat::Png;
}

} // namespace

// One computation of a season on a thread of its own: its progress, its
// cancellation, the model's first failure and its result.
struct SeasonJob
{
    std::atomic<bool> cancelled{false};
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> total{0};
    std::int64_t startMs = 0;
    std::mutex mutex;
    std::optional<std::string> firstFailure; // guarded by `mutex`
    std::future<std::unique_ptr<Season>> result;

    bool isReady() const
    {
        return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }
};

// The chart's widget: as wide as the scroll area, as high as its rows need.
class SeasonView : public QWidget
{
public:
    explicit SeasonView(TfrmSeason *dialog) : QWidget(dialog), dialog_(dialog)
    {
        setObjectName(QStringLiteral("pbxSeason"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void setChart(const SeasonChart *chart)
    {
        chart_ = chart;
        setFixedHeight(chart_ ? chart_->naturalHeight() : 0);
        update();
    }
    const SeasonChart *chart() const { return chart_; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (chart_)
            chart_->paint(painter, size());
        else
            painter.fillRect(rect(), Qt::white);
    }

    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::ToolTip) {
            const auto *help = static_cast<QHelpEvent *>(event);
            const QString text = dialog_->toolTipAt(help->pos());
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), text, this);
            return true;
        }
        return QWidget::event(event);
    }

    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        if (!chart_ || event->button() != Qt::LeftButton)
            return;
        const std::optional<SeasonChart::Hit> hit = chart_->hitAt(event->position(), size());
        if (hit && hit->night)
            emit dialog_->nightChosen(chart_->season().nights[*hit->night].date);
    }

private:
    TfrmSeason *dialog_;
    const SeasonChart *chart_ = nullptr;
};

QString SeasonCellText(const Season &season, std::size_t row, std::size_t night)
{
    const SeasonObject &object = season.objects.at(row);
    const SeasonNight &date = season.nights.at(night);
    const SeasonObject::Cell cell =
        night < object.cells.size() ? object.cells[night] : SeasonObject::Cell{};
    QString text = QStringLiteral("%1　%2\n")
                       .arg(QString::fromStdString(object.object.name),
                            QString::fromStdString(FormatIsoDate(date.date)));
    if (date.darkHours <= 0.0)
        text += QStringLiteral("天文薄明が終わらない夜");
    else
        text += QStringLiteral("暗夜で %1° 以上 %2 時間 (月明かりなし %3 時間)")
                    .arg(QString::number(season.minAltitudeDeg, 'g', 6),
                         HoursText(cell.darkHoursAbove), HoursText(cell.moonFreeHoursAbove));
    text += QStringLiteral("\n月の輝面比 %1%").arg(std::lround(date.moonIllumination * kPercent));
    if (object.bestNight == night)
        text += QStringLiteral("\n最良の夜");
    return text;
}

TfrmSeason::TfrmSeason(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSeason"));
    setWindowTitle(kCaption);
    resize(kDialogSize);

    auto *layout = new QVBoxLayout(this);
    auto *fields = new QHBoxLayout;
    const auto addField = [&](const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        fields->addWidget(label);
        fields->addWidget(field);
    };
    dteStart_ = new QDateEdit(this);
    dteStart_->setObjectName(QStringLiteral("dteStart"));
    dteStart_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dteStart_->setDateRange(kFirstStartDate, kLastStartDate);
    dteStart_->setCalendarPopup(true);
    addField(QStringLiteral("開始日(&D):"), dteStart_);
    sedMonths_ = new QSpinBox(this);
    sedMonths_->setObjectName(QStringLiteral("sedMonths"));
    sedMonths_->setRange(kMinMonths, kSeasonMaxMonths);
    sedMonths_->setValue(kSeasonDefaultMonths);
    addField(QStringLiteral("月数(&M):"), sedMonths_);
    sedMinAltitude_ = new QSpinBox(this);
    sedMinAltitude_->setObjectName(QStringLiteral("sedMinAltitude"));
    sedMinAltitude_->setRange(kMinAltitudeLimitDeg, kMaxAltitudeLimitDeg);
    sedMinAltitude_->setSuffix(QStringLiteral("°"));
    sedMinAltitude_->setValue(static_cast<int>(kDefaultMinAltitudeDeg));
    addField(QStringLiteral("最低高度(&A):"), sedMinAltitude_);
    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName(QStringLiteral("lblStatus"));
    fields->addWidget(lblStatus_, 1);
    layout->addLayout(fields);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("scbSeason"));
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_ = new SeasonView(this);
    scroll_->setWidget(view_);
    layout->addWidget(scroll_, 1);

    auto *buttons = new QDialogButtonBox(this);
    btnPrint_ = buttons->addButton(QStringLiteral("印刷(&P)"), QDialogButtonBox::ActionRole);
    btnPrint_->setObjectName(QStringLiteral("btnPrint"));
    btnPrint_->setAutoDefault(false);
    btnSave_ = buttons->addButton(QStringLiteral("画像を保存(&S)"), QDialogButtonBox::ActionRole);
    btnSave_->setObjectName(QStringLiteral("btnSave"));
    btnSave_->setAutoDefault(false);
    btnClose_ = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    btnClose_->setObjectName(QStringLiteral("btnClose"));
    btnClose_->setDefault(true);
    layout->addWidget(buttons);

    tmrPoll_ = new QTimer(this);
    tmrPoll_->setInterval(kPollMs);

    connect(btnPrint_, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { btnPrintClick(); }); });
    connect(btnSave_, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { btnSaveClick(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(dteStart_, &QDateEdit::dateChanged, this, &TfrmSeason::fieldChange);
    connect(sedMonths_, &QSpinBox::valueChanged, this, &TfrmSeason::fieldChange);
    connect(sedMinAltitude_, &QSpinBox::valueChanged, this, &TfrmSeason::fieldChange);
    connect(tmrPoll_, &QTimer::timeout, this, [this] { RunGuarded(this, [this] { pollJob(); }); });
    updateButtons();
}

TfrmSeason::~TfrmSeason()
{
    // Every thread ends before the dialog goes.
    if (job_)
        job_->cancelled = true;
    for (const std::shared_ptr<SeasonJob> &job : abandoned_)
        job->cancelled = true;
}

TDateRec TfrmSeason::startDate() const
{
    const QDate date = dteStart_->date();
    return {date.year(), date.month(), date.day()};
}

int TfrmSeason::months() const
{
    return sedMonths_->value();
}

double TfrmSeason::minAltitudeDeg() const
{
    return sedMinAltitude_->value();
}

void TfrmSeason::setStartDate(const TDateRec &date)
{
    dteStart_->setDate(QDate(date.year, date.month, date.day));
}

void TfrmSeason::setMonths(int months)
{
    sedMonths_->setValue(months);
}

void TfrmSeason::setMinAltitudeDeg(int degrees)
{
    sedMinAltitude_->setValue(degrees);
}

void TfrmSeason::setSubject(SeasonSubject subject, const TDateRec &start)
{
    subject_ = std::move(subject);
    {
        const QSignalBlocker blocker(dteStart_);
        setStartDate(start);
    }
    startComputing();
}

void TfrmSeason::fieldChange()
{
    if (subject_)
        RunGuarded(this, [this] { startComputing(); });
}

void TfrmSeason::cancel()
{
    if (!job_)
        return;
    job_->cancelled = true;
    abandoned_.push_back(std::move(job_));
    job_.reset();
    // Called from the progress dialog's own signal: it goes once that ends.
    if (progress_)
        progress_->deleteLater();
    progress_ = nullptr;
    lblStatus_->setText(QStringLiteral("中止しました"));
    updateButtons();
}

void TfrmSeason::startComputing()
{
    if (job_) {
        job_->cancelled = true;
        abandoned_.push_back(std::move(job_));
    }
    const TDateRec first = startDate();
    const std::vector<TDateRec> dates = SeasonDates(first, SeasonLastNight(first, months()));
    auto job = std::make_shared<SeasonJob>();
    job->startMs = MonotonicMs();
    job->total = dates.size();
    // The thread holds the job by address: the job's future, destroyed
    // first of its members, waits for the thread to end.
    SeasonJob *state = job.get();
    job->result = std::async(
        std::launch::async,
        [state, dates, subject = *subject_,
         limitDeg = minAltitudeDeg()]() -> std::unique_ptr<Season> {
            const std::unique_ptr<ElevationModel> model = ElevationModelNamed(subject.modelName);
            const WarningReporter warn = [state](const std::string &text) {
                const std::lock_guard<std::mutex> lock(state->mutex);
                if (!state->firstFailure)
                    state->firstFailure = text;
            };
            const SeasonProgress progress = [state](std::size_t done, std::size_t total) {
                state->done = done;
                state->total = total;
                return !state->cancelled;
            };
            try {
                return std::make_unique<Season>(ComputeSeason(subject.objects, dates, subject.site,
                                                              *model, limitDeg, warn, progress));
            } catch (const SeasonCancelled &) {
                return nullptr;
            }
        });
    job_ = std::move(job);
    lblStatus_->setText(QStringLiteral("計算しています…"));
    updateButtons();
    tmrPoll_->start();
}

void TfrmSeason::pollJob()
{
    abandoned_.remove_if([](const std::shared_ptr<SeasonJob> &job) { return job->isReady(); });
    if (!job_) {
        if (abandoned_.empty())
            tmrPoll_->stop();
        return;
    }
    if (!job_->isReady()) {
        const std::int64_t elapsedMs = MonotonicMs() - job_->startMs;
        if (!progress_ && elapsedMs >= kProgressDelayMs) {
            progress_ = new QProgressDialog(this);
            progress_->setObjectName(QStringLiteral("prgSeason"));
            progress_->setWindowTitle(kProgressCaption);
            progress_->setCancelButtonText(kCancelText);
            progress_->setWindowModality(Qt::WindowModal);
            progress_->setAutoReset(false);
            progress_->setAutoClose(false);
            progress_->setMinimumDuration(0);
            // The button, or the dialog closed by its window or Escape.
            connect(progress_, &QProgressDialog::canceled, this, &TfrmSeason::cancel);
            connect(progress_, &QDialog::rejected, this, &TfrmSeason::cancel);
            progress_->show();
        }
        if (progress_) {
            const std::size_t total = job_->total;
            const std::size_t done = job_->done;
            progress_->setRange(0, static_cast<int>(total));
            progress_->setValue(static_cast<int>(done));
            progress_->setLabelText(ProgressText(done, total));
        }
        return;
    }
    const std::shared_ptr<SeasonJob> job = std::move(job_);
    job_.reset();
    delete progress_;
    progress_ = nullptr;
    updateButtons();
    std::unique_ptr<Season> season;
    try {
        season = job->result.get();
    } catch (...) {
        lblStatus_->clear();
        throw;
    }
    if (season)
        showSeason(std::move(season));
    const std::lock_guard<std::mutex> lock(job->mutex);
    if (job->firstFailure)
        ShowWarning(this, QString::fromStdString(*job->firstFailure));
}

void TfrmSeason::showSeason(std::unique_ptr<Season> season)
{
    // The view drops the old chart before the season it shows goes.
    view_->setChart(nullptr);
    season_ = std::move(season);
    chart_ = std::make_unique<SeasonChart>(*season_);
    view_->setChart(chart_.get());
    lblStatus_->setText(
        QStringLiteral("%1 天体 × %2 夜").arg(season_->objects.size()).arg(season_->nights.size()));
    updateButtons();
}

void TfrmSeason::updateButtons()
{
    btnPrint_->setEnabled(season_ != nullptr);
    btnSave_->setEnabled(season_ != nullptr);
}

QWidget *TfrmSeason::chartView() const
{
    return view_;
}

QString TfrmSeason::toolTipAt(const QPoint &point) const
{
    if (!chart_)
        return {};
    const std::optional<SeasonChart::Hit> hit = chart_->hitAt(point, view_->size());
    if (!hit)
        return {};
    if (!hit->night)
        return chart_->objectName(hit->row);
    return SeasonCellText(*season_, hit->row, *hit->night);
}

void TfrmSeason::setPrinting(QPrinter *printer, std::function<bool(QPrinter &)> confirm)
{
    printer_ = printer;
    confirmPrint_ = std::move(confirm);
}

void TfrmSeason::btnPrintClick()
{
    if (!chart_ || !printer_ || !confirmPrint_ || !confirmPrint_(*printer_))
        return;
    PrintSeasonChart(*chart_, *printer_);
}

void TfrmSeason::btnSaveClick()
{
    if (!chart_)
        return;
    const QString suggested =
        QStringLiteral("mirado-season-%1.png")
            .arg(QString::fromStdString(FormatIsoDate(season_->nights.front().date)));
    const QString path =
        saveDialog_
            ? saveDialog_(suggested)
            : QFileDialog::getSaveFileName(this, QStringLiteral("画像を保存"), suggested,
                                           QStringLiteral("PNG (*.png);;SVG (*.svg);;PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    const QSize size(SeasonChart::kDefaultWidthPx, chart_->naturalHeight());
    const QByteArray bytes =
        SeasonImageBytes(*chart_, size, FormatOfSuffix(QFileInfo(path).suffix()));
    const std::string file = QFile::encodeName(path).toStdString();
    try {
        if (ReplaceFile(
                file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
            ThrowCannotCreateFile(file);
    } catch (const std::exception &error) {
        ShowWarning(this, ErrorText(error));
    }
}

} // namespace mirado
