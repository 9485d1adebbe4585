// SPDX-License-Identifier: GPL-3.0-or-later
#include "session.h"

#include <algorithm>
#include <cmath>

#include "clock.h"

namespace mirado {

LineSelection::LineSelection(std::vector<LineRange> ranges) : ranges_(std::move(ranges))
{
    before_.reserve(ranges_.size());
    for (const auto &[first, last] : ranges_) {
        before_.push_back(count_);
        count_ += static_cast<std::size_t>(last - first) + 1;
    }
}

void LineSelection::add(int index)
{
    if (!ranges_.empty() && ranges_.back().second + 1 == index) {
        ++ranges_.back().second;
    } else {
        ranges_.emplace_back(index, index);
        before_.push_back(count_);
    }
    ++count_;
}

int LineSelection::operator[](std::size_t i) const
{
    // The last range that starts at or before the `i`th index.
    const auto after = std::upper_bound(before_.begin(), before_.end(), i);
    const auto range = static_cast<std::size_t>(after - before_.begin()) - 1;
    return ranges_[range].first + static_cast<int>(i - before_[range]);
}

std::vector<int> LineSelection::toVector() const
{
    std::vector<int> indexes;
    indexes.reserve(count_);
    for (std::size_t i = 0; i < count_; ++i)
        indexes.push_back((*this)[i]);
    return indexes;
}

Session::Session(char decimalSeparator) : decimalSeparator_(decimalSeparator) {}

bool Session::readSiteFile(const std::string &path)
{
    return ReadSiteFile(path, site_, decimalSeparator_);
}

std::optional<SiteValueOutside> Session::siteValueOutside(const SiteBounds &bounds) const
{
    const SiteValueOutside values[] = {
        {1, "longitude", site_.longitude, bounds.longitudeDeg},
        {2, "latitude", site_.latitude, bounds.latitudeDeg},
        {3, "time zone", site_.timeZone, bounds.timeZoneHours},
    };
    for (const SiteValueOutside &value : values) {
        if (!(std::abs(value.value) <= value.bound))
            return value;
    }
    return std::nullopt;
}

void Session::loadCatalogue(const std::string &path, const std::function<void()> &beforeReplacing)
{
    ObjectCatalogue catalogue = ObjectCatalogue::Read(path, decimalSeparator_);
    if (beforeReplacing)
        beforeReplacing();
    catalogue_ = std::move(catalogue);
}

TDateRec Session::tonight() const
{
    return NightDateOf(SiteLocalNow(site_.timeZone));
}

} // namespace mirado
