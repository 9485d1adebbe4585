// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

#include "night/eventrows.h"

class QGridLayout;
class QLabel;
class QPushButton;
class QSpinBox;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace mirado {

// The rows' key for sorting, beside the text shown: numbers sort as numbers,
// and a missing event after every time.
inline constexpr int kSortRole = Qt::UserRole + 1;

// The events of the night last plotted: the Sun's and the Moon's above, one
// row per object below, sortable by any column. The altitude limit of the
// dark hours is edited in the dialog; the rows are saved as the CSV of
// mirado-night --events and copied with Ctrl+C as tab-separated text.
// Created once and kept, so the limit stays from one showing to the next.
class TfrmTonight : public QDialog
{
    Q_OBJECT

public:
    // The columns of the object rows.
    enum Column
    {
        ColLine,
        ColName,
        ColRise,
        ColTransit,
        ColTransitElevation,
        ColSet,
        ColDarkHours,
        ColMoonSeparation,
        ColumnCount
    };

    explicit TfrmTonight(QWidget *parent = nullptr);

    // Shows the events of `night`, computed with the present altitude limit.
    // The model's failures go to one warning box. Raises the model's error.
    void setNight(PlottedNight night);

    double minAltitudeDeg() const;
    void setMinAltitudeDeg(double degrees);

    // The rows as the view shows them, in its order.
    QTableView *table() const { return grdObjects_; }
    // The text of the Sun's or the Moon's event `name` ("日没", "輝面比").
    QString eventText(const QString &name) const;
    // The CSV that 「CSVで保存(&S)」 writes, before the byte-order mark and the
    // line ends are added.
    std::string csvText() const;

    // The selected rows, one line each in the view's order, cells joined by
    // tabs: what Ctrl+C copies.
    QString selectedRowsText() const;

    // The file dialog of 「CSVで保存(&S)」: takes the suggested file name,
    // gives the chosen path or an empty text when the user cancels.
    using SaveDialog = std::function<QString(const QString &suggested)>;
    void setSaveDialogForTesting(SaveDialog dialog) { saveDialog_ = std::move(dialog); }

    // Event handlers.
    void btnSaveClick();
    void sedMinAltitudeChange(int degrees);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createEventLabels(QGridLayout *grid);
    // Recomputes the table of the night with the present limit.
    void fillTable();
    void fillEvents();
    void fillRows();
    void copySelectedRows();

    std::optional<PlottedNight> night_;
    NightTable table_;
    QLabel *lblNight_ = nullptr;
    QList<QLabel *> eventValues_;
    QSpinBox *sedMinAltitude_ = nullptr;
    QStandardItemModel *rows_ = nullptr;
    QSortFilterProxyModel *sorted_ = nullptr;
    QTableView *grdObjects_ = nullptr;
    QPushButton *btnSave_ = nullptr;
    QPushButton *btnClose_ = nullptr;
    SaveDialog saveDialog_;
};

// The byte-order mark, CR LF line ends: the CSV as the dialog saves it, so
// spreadsheet programs read its names as UTF-8.
std::string SpreadsheetCsvBytes(const std::string &csv);

// An event's site-local time "20:48" from hours after 00:00 of the night's
// date: the hour and minute of its time to the nearest second (20:48:39
// reads 20:48), or "—" for none.
QString EventClockText(const std::optional<double> &hours);

} // namespace mirado
