// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPointF>
#include <QRgb>
#include <QString>
#include <qnamespace.h>

#include <deque>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace mirado {

// Names one series of a chart for the chart's whole life. Handles are issued
// by the chart and are meaningless elsewhere.
enum class SeriesId : int
{
};

enum class SeriesKind
{
    Line,  // a polyline through the points in X order, no point markers
    Point, // every point drawn as a filled rectangle, the pointer
};

// Which coordinate of a point a set-point-value call replaces.
enum class ValueList
{
    X,
    Y,
};

// How a point series draws each point: a rectangle reaching `horizSizePx`
// left and right and `vertSizePx` up and down from the point (half-extents in
// pixels, at least 1), filled with the series colour, outlined in black when
// `outlineVisible`.
struct PointerStyle
{
    bool outlineVisible = true;
    int horizSizePx = 4;
    int vertSizePx = 4;

    friend bool operator==(const PointerStyle &, const PointerStyle &) = default;
};

// The points of a series, x on the night axis in hours and y in degrees, as
// two columns of doubles. Every curve of a night has the same X column, so a
// store shares it between the curves (Qt's implicit sharing copies it only
// when one of them changes) and a curve costs little more than its Y values.
class SeriesPoints
{
public:
    qsizetype size() const { return xs_.size(); }
    bool isEmpty() const { return xs_.isEmpty(); }
    QPointF operator[](qsizetype index) const { return {xs_[index], ys_[index]}; }
    QPointF front() const { return (*this)[0]; }
    QList<QPointF> toList() const;
    const QList<double> &xs() const { return xs_; }

    // Inserts (x, y) after every point whose X is less than or equal to x and
    // before the first greater one; returns the new point's index. The search
    // runs from the end, so adding points in ascending X costs O(1).
    qsizetype add(double x, double y);
    // Adds `points` one after another as add does.
    void add(std::span<const QPointF> points);
    // Removes every point and gives back their room.
    void clear();
    void setX(qsizetype index, double x) { xs_[index] = x; }
    void setY(qsizetype index, double y) { ys_[index] = y; }
    // Gives back unused room and takes `xs` as the X column when it holds the
    // same values; otherwise `xs` becomes this series' X column.
    void compact(QList<double> &xs);

private:
    QList<double> xs_;
    QList<double> ys_;
};

// Everything a chart knows about one series, attached or not.
struct SeriesData
{
    SeriesKind kind = SeriesKind::Line;
    QString title;
    std::optional<QRgb> colour; // empty while automatic: chosen on attach
    int lineWidthPx = 1;
    Qt::PenStyle lineStyle = Qt::SolidLine;
    PointerStyle pointer;
    SeriesPoints points;
    bool attached = false;
    bool released = false; // freed; the handle waits for reuse
    // Raised on every change, so a view can tell which series to redraw.
    quint64 pointsRevision = 0;
    quint64 styleRevision = 0;
};

// The series of one chart and the order in which they are attached. A
// detached series keeps its points, title and colour and can be attached
// again, until its owner releases it. Unknown handles raise "Range check error"; point
// indices out of range raise the list-index error.
class SeriesStore
{
public:
    // A new, empty, detached series with an automatic colour.
    SeriesId create(SeriesKind kind);

    // Appends the series to the attached list, first giving it a palette
    // colour if its colour is still automatic. Returns false, changing
    // nothing, when it is attached already.
    bool attach(SeriesId id);
    void detachAll();
    // Frees a detached series that will not be used again; its handle may be
    // given to a series created later. An attached series is kept.
    void release(SeriesId id);

    void setTitle(SeriesId id, const QString &title);
    void setLineWidth(SeriesId id, int widthPx);
    void setLineStyle(SeriesId id, Qt::PenStyle style);
    // Gives the series a colour of its own: it takes no palette colour when
    // attached.
    void setColour(SeriesId id, QRgb colour);
    void setPointer(SeriesId id, const PointerStyle &pointer);

    // Inserts (x, y) after every point whose X is less than or equal to x and
    // before the first greater one; returns the new point's index. The search
    // runs from the end, so adding points in ascending X costs O(1).
    int addPoint(SeriesId id, double x, double y);
    // Adds `points` one after another as addPoint does.
    void addPoints(SeriesId id, std::span<const QPointF> points);
    void clear(SeriesId id);
    // Replaces one coordinate of an existing point in place; the points are
    // not sorted again.
    void setPointValue(SeriesId id, ValueList list, int index, double value);
    // The series will get no more points for now: its storage shrinks to fit
    // and its X values are shared with the last series compacted before it
    // when they are the same.
    void compact(SeriesId id);

    const SeriesData &at(SeriesId id) const;
    const std::vector<SeriesId> &attached() const { return attached_; }
    int size() const { return static_cast<int>(series_.size()); }

private:
    SeriesData &get(SeriesId id);
    std::size_t indexOf(SeriesId id) const;
    void touchPoints(SeriesData &series) { series.pointsRevision = ++revision_; }
    void touchStyle(SeriesData &series) { series.styleRevision = ++revision_; }

    std::deque<SeriesData> series_; // indexed by handle; a deque keeps references stable
    std::vector<SeriesId> attached_;
    std::vector<SeriesId> released_; // handles free for reuse
    // How many attached series show each colour (alpha ignored), so choosing
    // the colour of the next one does not look at every attached series.
    std::unordered_map<QRgb, int> attachedColours_;
    quint64 revision_ = 0;
    QList<double> sharedXs_; // the X column of the last series compacted
};

} // namespace mirado
