// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The chosen lines of a run planned a batch at a time, on this thread and on
// one more, and handed back in catalogue order. A few batches are in flight
// at most, each in a slot of its own whose memory is used again, so the
// planning of any number of lines costs the same few pages.

#include <array>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "night/plan.h"
#include "output.h"

namespace mirado::tool {

// One chosen line as planned: its curve, or the text of its parse error; the
// first failure of the astronomy routines on it; and where the text made
// ahead for it lies in its batch's text.
struct PlannedLine
{
    int lineNumber = 0;
    std::optional<PlannedCurve> curve;
    std::string error;
    std::string firstWarning;
    bool madeAhead = false;
    std::size_t textBegin = 0;
    std::size_t textEnd = 0;
};

struct PlannedBatch
{
    std::vector<PlannedLine> lines;
    TextBuffer text; // the texts made ahead, one after the other
};

class BatchPlanner
{
public:
    // Plans lines `from` to `to` (excluded) into `batch`, which it receives
    // empty. Runs on either thread, on two batches at once.
    using Plan = std::function<void(std::size_t from, std::size_t to, PlannedBatch &batch)>;

    // The batches end at `ends`, increasing, the last at the number of lines.
    BatchPlanner(std::vector<std::size_t> ends, Plan plan);
    // Waits for the other thread to finish the batch it is planning.
    ~BatchPlanner();
    BatchPlanner(const BatchPlanner &) = delete;
    BatchPlanner &operator=(const BatchPlanner &) = delete;

    // The next batch in catalogue order, planned on whichever thread was
    // free; valid until the next call. Null after the last. Raises what its
    // planning raised.
    const PlannedBatch *next();

private:
    static constexpr std::size_t kSlots = 4;
    enum class State
    {
        Free,
        Planning,
        Ready
    };
    struct Slot
    {
        State state = State::Free;
        PlannedBatch batch;
        std::exception_ptr failure;
    };

    bool canClaim() const { return claimed_ < ends_.size() && claimed_ < freed_ + kSlots; }
    // Claims the next batch and plans it with the lock released.
    void planNext(std::unique_lock<std::mutex> &lock);
    void work();

    std::vector<std::size_t> ends_;
    Plan plan_;
    std::array<Slot, kSlots> slots_; // batch i in slot i % kSlots
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t claimed_ = 0; // batches claimed for planning so far
    std::size_t handed_ = 0;  // batches handed out by next() so far
    std::size_t freed_ = 0;   // and given back, their slots free again
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace mirado::tool
