// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the window and mirado-night work on, and the rules by which both load
// it: the site, the catalogue, the chosen night and the chosen lines.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "astro/types.h"
#include "data/catalogue.h"
#include "data/site.h"
#include "plan.h"

namespace mirado {

// An inclusive range of line indexes, first <= last.
using LineRange = std::pair<int, int>;

// Chosen catalogue lines as 0-based indexes in catalogue order without
// repeats, held as ranges: choosing every line of a catalogue of a hundred
// million lines costs nothing.
class LineSelection
{
public:
    LineSelection() = default;
    // `ranges` 0-based, inclusive, ascending and apart.
    explicit LineSelection(std::vector<LineRange> ranges);

    // Chooses `index` too; it must lie after every index chosen so far.
    void add(int index);

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // The `i`th chosen index.
    int operator[](std::size_t i) const;
    std::vector<int> toVector() const;

private:
    std::vector<LineRange> ranges_;
    std::vector<std::size_t> before_; // chosen indexes before each range
    std::size_t count_ = 0;
};

// The largest magnitude each site value may have: the values from -bound to
// bound are accepted.
struct SiteBounds
{
    double longitudeDeg = 0.0;
    double latitudeDeg = 0.0;
    double timeZoneHours = 0.0;
};

// A site value beyond its bound: the site file's line that holds it (1
// longitude, 2 latitude, 3 time zone), its name ("latitude"), the value and
// the bound.
struct SiteValueOutside
{
    int line = 0;
    std::string_view name;
    double value = 0.0;
    double bound = 0.0;
};

// The state the window keeps for its whole run and mirado-night for one
// command.
class Session
{
public:
    // Numbers in the site file and the catalogue are read with
    // `decimalSeparator`.
    explicit Session(char decimalSeparator = kDefaultDecimalSeparator);

    char decimalSeparator() const { return decimalSeparator_; }

    // The site values and the catalogue path; zero and empty until read.
    const SiteValues &site() const { return site_; }
    SiteValues &site() { return site_; }

    // Reads the site file at `path`. Returns false, with the default site,
    // when no file exists there. Otherwise each value is stored as soon as its
    // line converts, so an error leaves the values before it set and the
    // rest as they were.
    bool readSiteFile(const std::string &path);

    // The first of the site's values, in the site file's order, outside
    // `bounds` (a value that is not a number is outside any bound), or none.
    // The site file itself is read whatever it holds; a caller that refuses
    // such values checks them here.
    std::optional<SiteValueOutside> siteValueOutside(const SiteBounds &bounds) const;

    const ObjectCatalogue &catalogue() const { return catalogue_; }
    void setCatalogue(ObjectCatalogue catalogue) { catalogue_ = std::move(catalogue); }
    // Reads the catalogue at `path`, with this session's decimal separator,
    // in place of the present one; `beforeReplacing` runs once it is read,
    // while the present one still stands. A file that cannot be read raises
    // its error and leaves the present catalogue.
    void loadCatalogue(const std::string &path, const std::function<void()> &beforeReplacing = {});

    // The chosen night, named by the date of its evening.
    const TDateRec &date() const { return date_; }
    TDateRec &date() { return date_; }
    // The night the site's present moment belongs to: before 07:00 site time,
    // the one that began the evening before. Raises "Range check error" when
    // the site's zone does not fit in minutes.
    TDateRec tonight() const;

    const LineSelection &chosenLines() const { return chosenLines_; }
    void chooseLines(LineSelection lines) { chosenLines_ = std::move(lines); }

    // The elevation model of the curves and of every display planned from
    // them; the chart's model until another is set.
    const ElevationModel &model() const { return *model_; }
    void setModel(std::shared_ptr<const ElevationModel> model) { model_ = std::move(model); }

    // The plan of the chosen night at the site as it stands, by the model.
    NightPlan plan() const { return NightPlan(date_, site_, *model_); }

private:
    char decimalSeparator_;
    SiteValues site_;
    ObjectCatalogue catalogue_;
    TDateRec date_{};
    LineSelection chosenLines_;
    std::shared_ptr<const ElevationModel> model_ = std::make_shared<ChartModel>();
};

} // namespace mirado
