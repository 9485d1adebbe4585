// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <vector>

#include "chart/seasonchart.h"
#include "night/season.h"

class QDateEdit;
class QLabel;
class QPrinter;
class QProgressDialog;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTimer;

namespace mirado {

class SeasonView;
struct SeasonJob;

// What a season is computed for: the objects, the site and the model.
struct SeasonSubject
{
    std::vector<CatalogueObject> objects;
    NightSite site;
    std::string modelName; // "chart" or "precise"
};

// 季節の見通し: the season chart of a list of objects at one site, for the
// months from a start date, with the dark hours above an altitude limit. A
// change of a field computes the season again on a thread of its own; one
// that runs longer than a second shows its progress and can be cancelled.
// Hovering a cell tells its numbers; a double-click on a night asks the main
// window to plot it. Created once and kept, so the fields stay from one
// showing to the next.
class TfrmSeason : public QDialog
{
    Q_OBJECT

public:
    // A computation running longer than this shows its progress.
    static constexpr std::int64_t kProgressDelayMs = 1000;
    // How often a running computation is looked at.
    static constexpr int kPollMs = 20;
    static constexpr int kMinMonths = 1;
    static constexpr int kMinAltitudeLimitDeg = -90;
    static constexpr int kMaxAltitudeLimitDeg = 90;

    explicit TfrmSeason(QWidget *parent = nullptr);
    ~TfrmSeason() override;

    // Sets the objects, site and model, and the start date, and computes.
    void setSubject(SeasonSubject subject, const TDateRec &start);

    TDateRec startDate() const;
    int months() const;
    double minAltitudeDeg() const;
    void setStartDate(const TDateRec &date);
    void setMonths(int months);
    void setMinAltitudeDeg(int degrees);

    // The season shown; none before the first computation ends.
    const Season *season() const { return season_.get(); }
    bool isComputing() const { return job_ != nullptr; }
    // The dialog of a computation that runs long, or null.
    QProgressDialog *progressDialog() const { return progress_; }
    // Cancels the running computation; the chart keeps the last season.
    void cancel();

    // The chart's widget, and the text of the tooltip at a point of it: over a
    // cell, the object, the date, the hours, the moon-free hours and the
    // Moon's fraction; over a name, the whole name.
    QWidget *chartView() const;
    QString toolTipAt(const QPoint &point) const;

    // Printing goes through the main window's printer and its print dialog
    // (`confirm` shows it, returning whether the user went on).
    void setPrinting(QPrinter *printer, std::function<bool(QPrinter &)> confirm);

    // The file dialog of 「画像を保存(&S)」: takes the suggested name, gives the
    // chosen path or an empty text when the user cancels.
    using SaveDialog = std::function<QString(const QString &suggested)>;
    void setSaveDialogForTesting(SaveDialog dialog) { saveDialog_ = std::move(dialog); }

    // Event handlers.
    void btnPrintClick();
    void btnSaveClick();
    void fieldChange();

signals:
    // The user double-clicked the night of `date`.
    void nightChosen(const TDateRec &date);

private:
    void startComputing();
    void pollJob();
    void showSeason(std::unique_ptr<Season> season);
    void updateButtons();

    std::optional<SeasonSubject> subject_;
    std::unique_ptr<Season> season_;
    std::unique_ptr<SeasonChart> chart_;
    std::shared_ptr<SeasonJob> job_;
    // Cancelled computations, kept until their threads end.
    std::list<std::shared_ptr<SeasonJob>> abandoned_;
    QDateEdit *dteStart_ = nullptr;
    QSpinBox *sedMonths_ = nullptr;
    QSpinBox *sedMinAltitude_ = nullptr;
    QLabel *lblStatus_ = nullptr;
    QScrollArea *scroll_ = nullptr;
    SeasonView *view_ = nullptr;
    QPushButton *btnPrint_ = nullptr;
    QPushButton *btnSave_ = nullptr;
    QPushButton *btnClose_ = nullptr;
    QTimer *tmrPoll_ = nullptr;
    QProgressDialog *progress_ = nullptr;
    QPrinter *printer_ = nullptr;
    std::function<bool(QPrinter &)> confirmPrint_;
    SaveDialog saveDialog_;
};

// The text of a cell's tooltip: "M31　2027-01-05\n暗夜で 30° 以上 3.2 時間
// (月明かりなし 2.1 時間)\n月の輝面比 45%".
QString SeasonCellText(const Season &season, std::size_t row, std::size_t night);

} // namespace mirado
