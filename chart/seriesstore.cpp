// SPDX-License-Identifier: GPL-3.0-or-later
#include "seriesstore.h"

#include <algorithm>

#include "data/errors.h"
#include "palette.h"

namespace mirado {

namespace {

// A colour as series colours are compared: on red, green and blue.
QRgb OpaqueColour(QRgb colour)
{
    return qRgb(qRed(colour), qGreen(colour), qBlue(colour));
}

} // namespace

QList<QPointF> SeriesPoints::toList() const
{
    QList<QPointF> points;
    points.reserve(size());
    for (qsizetype i = 0; i < size(); ++i) {
        points.append((*this)[i]);
    }
    return points;
}

qsizetype SeriesPoints::add(double x, double y)
{
    qsizetype index = size();
    while (index > 0 && xs_[index - 1] > x) {
        --index;
    }
    xs_.insert(index, x);
    ys_.insert(index, y);
    return index;
}

void SeriesPoints::add(std::span<const QPointF> points)
{
    const auto count = static_cast<qsizetype>(points.size());
    xs_.reserve(size() + count);
    ys_.reserve(size() + count);
    for (const QPointF &point : points) {
        add(point.x(), point.y());
    }
}

void SeriesPoints::clear()
{
    xs_ = QList<double>();
    ys_ = QList<double>();
}

void SeriesPoints::compact(QList<double> &xs)
{
    ys_.squeeze();
    if (xs_ == xs) {
        xs_ = xs;
    } else {
        xs_.squeeze();
        xs = xs_;
    }
}

SeriesId SeriesStore::create(SeriesKind kind)
{
    SeriesId id;
    if (released_.empty()) {
        series_.emplace_back();
        id = static_cast<SeriesId>(series_.size() - 1);
    } else {
        id = released_.back();
        released_.pop_back();
    }
    SeriesData &series = get(id);
    series = SeriesData();
    series.kind = kind;
    // Fresh revisions, so a view never takes a reused handle for its old series.
    touchPoints(series);
    touchStyle(series);
    return id;
}

void SeriesStore::release(SeriesId id)
{
    SeriesData &series = get(id);
    if (series.attached || series.released)
        return;
    series = SeriesData();
    series.released = true;
    released_.push_back(id);
}

bool SeriesStore::attach(SeriesId id)
{
    SeriesData &series = get(id);
    if (series.attached) {
        return false;
    }
    if (!series.colour) {
        std::vector<QRgb> inUse;
        inUse.reserve(attachedColours_.size());
        for (const auto &[colour, count] : attachedColours_) {
            inUse.push_back(colour);
        }
        series.colour = PickAutomaticColour(inUse);
        touchStyle(series);
    }
    ++attachedColours_[OpaqueColour(*series.colour)];
    series.attached = true;
    attached_.push_back(id);
    return true;
}

void SeriesStore::detachAll()
{
    for (SeriesId id : attached_) {
        get(id).attached = false;
    }
    attached_.clear();
    attachedColours_.clear();
}

void SeriesStore::setLineStyle(SeriesId id, Qt::PenStyle style)
{
    SeriesData &series = get(id);
    series.lineStyle = style;
    touchStyle(series);
}

void SeriesStore::setColour(SeriesId id, QRgb colour)
{
    SeriesData &series = get(id);
    if (series.attached) {
        if (--attachedColours_[OpaqueColour(*series.colour)] == 0)
            attachedColours_.erase(OpaqueColour(*series.colour));
        ++attachedColours_[OpaqueColour(colour)];
    }
    series.colour = colour;
    touchStyle(series);
}

void SeriesStore::setTitle(SeriesId id, const QString &title)
{
    SeriesData &series = get(id);
    series.title = title;
    touchStyle(series);
}

void SeriesStore::setLineWidth(SeriesId id, int widthPx)
{
    SeriesData &series = get(id);
    series.lineWidthPx = widthPx;
    touchStyle(series);
}

void SeriesStore::setPointer(SeriesId id, const PointerStyle &pointer)
{
    SeriesData &series = get(id);
    series.pointer = pointer;
    series.pointer.horizSizePx = std::max(1, pointer.horizSizePx);
    series.pointer.vertSizePx = std::max(1, pointer.vertSizePx);
    touchStyle(series);
}

int SeriesStore::addPoint(SeriesId id, double x, double y)
{
    SeriesData &series = get(id);
    const qsizetype index = series.points.add(x, y);
    touchPoints(series);
    return static_cast<int>(index);
}

void SeriesStore::addPoints(SeriesId id, std::span<const QPointF> points)
{
    SeriesData &series = get(id);
    series.points.add(points);
    touchPoints(series);
}

void SeriesStore::clear(SeriesId id)
{
    SeriesData &series = get(id);
    series.points.clear();
    touchPoints(series);
}

void SeriesStore::setPointValue(SeriesId id, ValueList list, int index, double value)
{
    SeriesData &series = get(id);
    if (index < 0 || index >= series.points.size()) {
        ThrowListIndex(index);
    }
    if (list == ValueList::X) {
        series.points.setX(index, value);
    } else {
        series.points.setY(index, value);
    }
    touchPoints(series);
}

void SeriesStore::compact(SeriesId id)
{
    get(id).points.compact(sharedXs_);
}

const SeriesData &SeriesStore::at(SeriesId id) const
{
    return series_[indexOf(id)];
}

SeriesData &SeriesStore::get(SeriesId id)
{
    return series_[indexOf(id)];
}

std::size_t SeriesStore::indexOf(SeriesId id) const
{
    const auto index = static_cast<int>(id);
    if (index < 0 || index >= size()) {
        ThrowRangeCheckError();
    }
    return static_cast<std::size_t>(index);
}

} // namespace mirado
