// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <vector>

#include "seriesstore.h"
#include "zoom.h"

QT_FORWARD_DECLARE_CLASS(QChart)
QT_FORWARD_DECLARE_CLASS(QChartView)
QT_FORWARD_DECLARE_CLASS(QPainter)
QT_FORWARD_DECLARE_CLASS(QValueAxis)
QT_FORWARD_DECLARE_CLASS(QWidget)
QT_FORWARD_DECLARE_CLASS(QXYSeries)

namespace mirado {

class PointerLayer;

// The Qt Charts side of the elevation chart: a chart view with the chart's
// fixed appearance, and the engine series that mirror the attached series of
// a SeriesStore. Engine series are made only for attached series and are
// reused from one plot to the next, because adding a series to the engine is
// the costly step (legend entry, axis binding, domain set-up).
class ChartScene
{
public:
    // Builds the chart view as a child of `parent`.
    explicit ChartScene(QWidget *parent);
    ~ChartScene();
    ChartScene(const ChartScene &) = delete;
    ChartScene &operator=(const ChartScene &) = delete;

    QChartView *view() const { return view_; }

    void setTitle(const QString &title);
    QString title() const;

    // Makes the chart show exactly the attached series of `store`, in attach
    // order, touching only engine series whose source changed. Shows the
    // legend while at least one series is attached and the top and right axes
    // while none is.
    void showSeries(const SeriesStore &store);
    void setRanges(const AxisRanges &ranges);

    // Lays the chart out to fill `size` pixels.
    void layOut(const QSize &size);
    QSize layoutSize() const;
    // The plot area in the chart's own coordinates: pixels from the chart's
    // top left corner at its present layout.
    QRectF plotArea() const;
    // A point of the view's viewport in the chart's coordinates.
    QPointF toChart(const QPoint &viewportPos) const;
    bool isLegendVisible() const;
    bool areTopAndRightAxesVisible() const;

    // Draws the whole chart, laid out at `layoutSize` pixels, stretched into
    // `target` of the painter's device. The on-screen layout is restored
    // afterwards.
    void render(QPainter &painter, const QRectF &target, const QSize &layoutSize);
    // Redraws the view at once, when it is on screen.
    void repaintNow();

private:
    struct Slot
    {
        SeriesId id;
        SeriesKind kind;
        QXYSeries *series;
        quint64 pointsRevision;
        quint64 styleRevision;
    };

    void buildAppearance();
    void updateTicks();
    void addSlot(SeriesId id, const SeriesData &data);
    void refreshSlot(Slot &slot, SeriesId id, const SeriesData &data);
    void updatePointers(const SeriesStore &store);

    QChartView *view_;
    QChart *chart_;
    QValueAxis *bottomAxis_;
    QValueAxis *leftAxis_;
    QValueAxis *topAxis_;
    QValueAxis *rightAxis_;
    PointerLayer *pointers_;
    std::vector<Slot> slots_;
    AxisRanges ranges_;
};

} // namespace mirado
