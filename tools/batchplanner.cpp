// SPDX-License-Identifier: GPL-3.0-or-later
#include "batchplanner.h"

#include <system_error>

namespace mirado::tool {

BatchPlanner::BatchPlanner(std::vector<std::size_t> ends, Plan plan)
    : ends_(std::move(ends)), plan_(std::move(plan))
{
    // A single batch, or a single core, is planned on this thread alone; so
    // is everything when no thread can be started.
    if (ends_.size() < 2 || std::thread::hardware_concurrency() < 2)
        return;
    try {
        worker_ = std::thread(&BatchPlanner::work, this);
    } catch (const std::system_error &) {
    }
}

BatchPlanner::~BatchPlanner()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

const PlannedBatch *BatchPlanner::next()
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (freed_ < handed_) {
        slots_[freed_++ % kSlots].state = State::Free;
        changed_.notify_all();
    }
    if (handed_ == ends_.size())
        return nullptr;
    Slot &slot = slots_[handed_ % kSlots];
    while (slot.state != State::Ready) {
        if (canClaim())
            planNext(lock);
        else
            changed_.wait(lock);
    }
    ++handed_;
    if (slot.failure)
        std::rethrow_exception(slot.failure);
    return &slot.batch;
}

void BatchPlanner::planNext(std::unique_lock<std::mutex> &lock)
{
    const std::size_t index = claimed_++;
    Slot &slot = slots_[index % kSlots];
    slot.state = State::Planning;
    lock.unlock();
    slot.batch.lines.clear();
    slot.batch.text.clear();
    slot.failure = nullptr;
    try {
        plan_(index == 0 ? 0 : ends_[index - 1], ends_[index], slot.batch);
    } catch (...) {
        slot.failure = std::current_exception();
    }
    lock.lock();
    slot.state = State::Ready;
    changed_.notify_all();
}

void BatchPlanner::work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || claimed_ == ends_.size() || canClaim(); });
        if (stopping_ || claimed_ == ends_.size())
            return;
        planNext(lock);
    }
}

} // namespace mirado::tool
