// SPDX-License-Identifier: GPL-3.0-or-later
#include "tonight.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "data/errors.h"
#include "data/replacefile.h"
#include "messages.h"
#include "night/nighttime.h"

namespace mirado {

namespace {

constexpr QSize kDialogSize{720, 520};
constexpr int kRowPaddingPx = 6;
constexpr int kSecondsPerMinute = 60;
constexpr int kMinutesPerHour = 60;
constexpr int kMinutesPerDay = 24 * kMinutesPerHour;
constexpr int kMaxMinAltitudeDeg = 90;
constexpr int kPercent = 100;
// Missing events sort after every time of the night (12 to 36 hours).
constexpr double kMissingSortKey = std::numeric_limits<double>::infinity();
const QString kMissingText = QStringLiteral("—");
const QString kCaption = QStringLiteral("今夜の一覧");

// The Sun's and the Moon's events shown above the rows, in this order.
struct EventField
{
    const char *name;
    std::optional<double> NightEvents::*hours;
};
constexpr EventField kEventFields[] = {
    {"日没", &NightEvents::sunSet},
    {"天文薄明終", &NightEvents::astronomicalDusk},
    {"天文薄明始", &NightEvents::astronomicalDawn},
    {"日出", &NightEvents::sunRise},
    {"月出", &NightEvents::moonRise},
    {"月没", &NightEvents::moonSet},
};
constexpr const char *kIlluminationName = "輝面比";
constexpr int kEventsPerRow = 4;

QString DegreesText(double degrees)
{
    return QString::number(degrees, 'f', 1) + QStringLiteral("°");
}

QString DarkHoursHeader(int minAltitudeDeg)
{
    return QStringLiteral("暗夜で %1° 以上").arg(minAltitudeDeg);
}

QStandardItem *Cell(const QString &text, double sortKey, bool number)
{
    auto *item = new QStandardItem(text);
    item->setData(sortKey, kSortRole);
    item->setEditable(false);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QStandardItem *TimeCell(const std::optional<double> &hours)
{
    return Cell(EventClockText(hours), hours.value_or(kMissingSortKey), false);
}

} // namespace

QString EventClockText(const std::optional<double> &hours)
{
    if (!hours)
        return kMissingText;
    // The hour and minute of the event's time to the second, as the CSV has it.
    const long long seconds = std::llround(*hours * kSecondsPerHour);
    const auto minutes = static_cast<int>(seconds / kSecondsPerMinute % kMinutesPerDay);
    return QStringLiteral("%1:%2")
        .arg(minutes / kMinutesPerHour, 2, 10, QLatin1Char('0'))
        .arg(minutes % kMinutesPerHour, 2, 10, QLatin1Char('0'));
}

std::string SpreadsheetCsvBytes(const std::string &csv)
{
    std::string bytes = "\xEF\xBB\xBF";
    bytes.reserve(bytes.size() + csv.size() + csv.size() / 32);
    for (const char c : csv) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}

TfrmTonight::TfrmTonight(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTonight"));
    setWindowTitle(kCaption);
    resize(kDialogSize);

    auto *layout = new QVBoxLayout(this);
    lblNight_ = new QLabel(this);
    lblNight_->setObjectName(QStringLiteral("lblNight"));
    layout->addWidget(lblNight_);

    auto *events = new QGridLayout;
    createEventLabels(events);
    layout->addLayout(events);

    auto *limit = new QHBoxLayout;
    auto *limitLabel = new QLabel(QStringLiteral("暗夜の最低高度(&A):"), this);
    sedMinAltitude_ = new QSpinBox(this);
    sedMinAltitude_->setObjectName(QStringLiteral("sedMinAltitude"));
    sedMinAltitude_->setRange(0, kMaxMinAltitudeDeg);
    sedMinAltitude_->setSuffix(QStringLiteral("°"));
    sedMinAltitude_->setValue(static_cast<int>(kDefaultMinAltitudeDeg));
    limitLabel->setBuddy(sedMinAltitude_);
    limit->addWidget(limitLabel);
    limit->addWidget(sedMinAltitude_);
    limit->addStretch();
    layout->addLayout(limit);

    rows_ = new QStandardItemModel(0, ColumnCount, this);
    rows_->setHorizontalHeaderLabels(
        {QStringLiteral("行"), QStringLiteral("天体名"), QStringLiteral("出"),
         QStringLiteral("南中"), QStringLiteral("南中高度"), QStringLiteral("入"),
         DarkHoursHeader(sedMinAltitude_->value()), QStringLiteral("月との離角")});
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(rows_);
    sorted_->setSortRole(kSortRole);
    grdObjects_ = new QTableView(this);
    grdObjects_->setObjectName(QStringLiteral("grdObjects"));
    grdObjects_->setModel(sorted_);
    grdObjects_->setSortingEnabled(true);
    grdObjects_->sortByColumn(ColLine, Qt::AscendingOrder);
    grdObjects_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdObjects_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdObjects_->verticalHeader()->hide();
    // One line of text a row, so that a night of forty objects fits.
    grdObjects_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPaddingPx);
    grdObjects_->horizontalHeader()->setSectionResizeMode(ColName, QHeaderView::Stretch);
    grdObjects_->installEventFilter(this);
    layout->addWidget(grdObjects_, 1);

    auto *buttons = new QDialogButtonBox(this);
    btnSave_ = buttons->addButton(QStringLiteral("CSVで保存(&S)"), QDialogButtonBox::ActionRole);
    btnSave_->setObjectName(QStringLiteral("btnSave"));
    btnSave_->setAutoDefault(false);
    btnClose_ = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    btnClose_->setObjectName(QStringLiteral("btnClose"));
    btnClose_->setDefault(true);
    layout->addWidget(buttons);

    connect(btnSave_, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { btnSaveClick(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(sedMinAltitude_, &QSpinBox::valueChanged, this, &TfrmTonight::sedMinAltitudeChange);
}

void TfrmTonight::createEventLabels(QGridLayout *grid)
{
    const auto add = [&](const QString &name) {
        const int index = static_cast<int>(eventValues_.size());
        const int row = index / kEventsPerRow;
        const int column = index % kEventsPerRow * 2;
        grid->addWidget(new QLabel(name, this), row, column);
        auto *value = new QLabel(kMissingText, this);
        value->setObjectName(QStringLiteral("lblEvent") + QString::number(index));
        value->setAccessibleName(name);
        grid->addWidget(value, row, column + 1);
        eventValues_ << value;
    };
    for (const EventField &field : kEventFields)
        add(QString::fromUtf8(field.name));
    add(QString::fromUtf8(kIlluminationName));
}

QString TfrmTonight::eventText(const QString &name) const
{
    for (const QLabel *value : eventValues_)
        if (value->accessibleName() == name)
            return value->text();
    return {};
}

double TfrmTonight::minAltitudeDeg() const
{
    return sedMinAltitude_->value();
}

void TfrmTonight::setMinAltitudeDeg(double degrees)
{
    sedMinAltitude_->setValue(static_cast<int>(std::lround(degrees)));
}

void TfrmTonight::setNight(PlottedNight night)
{
    night_ = std::move(night);
    const NightSite &site = night_->site;
    lblNight_->setText(QStringLiteral("%1 の夜　経度 %2°　緯度 %3°　UTC%4%5　%6")
                           .arg(QString::fromStdString(FormatIsoDate(night_->date)))
                           .arg(site.longitude)
                           .arg(site.latitude)
                           .arg(site.timeZone < 0 ? QStringLiteral("−") : QStringLiteral("+"))
                           .arg(std::abs(site.timeZone))
                           .arg(QString::fromStdString(night_->model->titleMark()))
                           .trimmed());
    fillTable();
}

void TfrmTonight::sedMinAltitudeChange(int degrees)
{
    rows_->setHeaderData(ColDarkHours, Qt::Horizontal, DarkHoursHeader(degrees));
    if (night_)
        RunGuarded(this, [this] { fillTable(); });
}

void TfrmTonight::fillTable()
{
    std::optional<std::string> firstFailure;
    const WarningReporter warn = [&firstFailure](const std::string &text) {
        if (!firstFailure)
            firstFailure = text;
    };
    table_ = NightTableOf(*night_, minAltitudeDeg(), warn);
    fillEvents();
    fillRows();
    if (firstFailure)
        ShowWarning(this, QString::fromStdString(*firstFailure));
}

void TfrmTonight::fillEvents()
{
    int index = 0;
    for (const EventField &field : kEventFields)
        eventValues_[index++]->setText(EventClockText(table_.events.*field.hours));
    eventValues_[index]->setText(
        QStringLiteral("%1%").arg(std::lround(table_.events.moonIllumination * kPercent)));
}

void TfrmTonight::fillRows()
{
    // Filled unsorted, then sorted again by the column the user chose.
    const int sortColumn = grdObjects_->horizontalHeader()->sortIndicatorSection();
    const Qt::SortOrder order = grdObjects_->horizontalHeader()->sortIndicatorOrder();
    sorted_->setDynamicSortFilter(false);
    rows_->setRowCount(0);
    for (const ObjectNight &object : table_.objects) {
        const ObjectEvents &events = object.events;
        QList<QStandardItem *> row(ColumnCount);
        row[ColLine] = Cell(QString::number(object.line), object.line, true);
        const QString name = QString::fromStdString(object.name);
        row[ColName] = Cell(name, 0.0, false);
        row[ColName]->setData(name, kSortRole);
        row[ColName]->setToolTip(name);
        row[ColRise] = TimeCell(events.rise);
        row[ColTransit] = TimeCell(events.transit);
        row[ColTransitElevation] =
            Cell(DegreesText(events.transitElevationDeg), events.transitElevationDeg, true);
        row[ColSet] = TimeCell(events.set);
        row[ColDarkHours] =
            Cell(QString::number(events.darkHoursAbove, 'f', 1) + QStringLiteral(" 時間"),
                 events.darkHoursAbove, true);
        const std::optional<double> &moon = object.events.moonSeparationDeg;
        row[ColMoonSeparation] =
            Cell(moon ? DegreesText(*moon) : kMissingText, moon.value_or(kMissingSortKey), true);
        rows_->appendRow(row);
    }
    grdObjects_->sortByColumn(sortColumn, order);
    grdObjects_->resizeColumnsToContents();
    grdObjects_->horizontalHeader()->setSectionResizeMode(ColName, QHeaderView::Stretch);
}

std::string TfrmTonight::csvText() const
{
    if (!night_)
        return {};
    return EventsCsv(night_->date, table_);
}

void TfrmTonight::btnSaveClick()
{
    if (!night_)
        return;
    const QString suggested =
        QStringLiteral("mirado-%1.csv").arg(QString::fromStdString(FormatIsoDate(night_->date)));
    const QString path =
        saveDialog_
            ? saveDialog_(suggested)
            : QFileDialog::getSaveFileName(this, QStringLiteral("CSVで保存"), suggested,
                                           QStringLiteral("CSV (*.csv);;すべてのファイル (*)"));
    if (path.isEmpty())
        return;
    const std::string file = QFile::encodeName(path).toStdString();
    try {
        if (ReplaceFile(file, SpreadsheetCsvBytes(csvText())))
            ThrowCannotCreateFile(file);
    } catch (const std::exception &error) {
        ShowWarning(this, ErrorText(error));
    }
}

QString TfrmTonight::selectedRowsText() const
{
    QList<int> rows;
    for (const QModelIndex &index : grdObjects_->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const int row : rows) {
        QStringList cells;
        for (int column = 0; column < ColumnCount; ++column)
            cells << sorted_->index(row, column).data().toString();
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

void TfrmTonight::copySelectedRows()
{
    const QString text = selectedRowsText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

bool TfrmTonight::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grdObjects_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copySelectedRows();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace mirado
