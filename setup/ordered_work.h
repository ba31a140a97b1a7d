// Work on a list whose items are made on worker threads and used on the caller's thread strictly in
// list order: the package's blocks are unpacked (or packed) side by side while the caller writes
// them one after the other. What the workers have made and the caller not yet used is held to a
// budget, so memory stays bounded however far the workers could run ahead. Portable (std::thread).
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

// The workers an operation starts when not told: one per core, at most 4, at least 1.
inline unsigned DefaultJobs() {
    constexpr unsigned kMostJobs = 4;
    return std::max(1u, std::min(kMostJobs, std::thread::hardware_concurrency()));
}

// What the list's owner tells the workers. Item is a plain record: what classify puts in it is
// the job, what make adds is the result.
template <typename Item>
struct OrderedJobs {
    size_t count = 0;   // items 0 .. count-1
    size_t budget = 0;  // the most cost held at once (one item alone may pass it)
    // Called once per item, in list order, under the run's lock: true with *cost when a worker
    // makes the item, false when the caller handles it itself.
    std::function<bool(size_t index, Item* item, size_t* cost)> classify;
    // Makes an item on a worker; stopping turns true when the caller gives up, so a long job may
    // end early.
    std::function<void(Item* item, const std::atomic<bool>& stopping)> make;
};

// Starts up to `workers` threads on construction; the destructor stops and joins them (an item
// being made is finished or given up by make). Take() hands over the items in list order.
template <typename Item>
class OrderedRun {
  public:
    OrderedRun(OrderedJobs<Item> jobs, unsigned workers) : jobs_(std::move(jobs)) {
        try {
            for (unsigned i = 0; i < workers; ++i)
                threads_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            // Fewer threads than asked (or none: Take then makes each item itself); the work is the same.
        }
    }
    ~OrderedRun() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }
    OrderedRun(const OrderedRun&) = delete;
    OrderedRun& operator=(const OrderedRun&) = delete;

    // Item `index` (each index once, in increasing order): true with *item when a worker made it,
    // false when it is the caller's own. The item handed over before this one counts against the
    // budget until this call.
    bool Take(size_t index, Item* item) {
        std::unique_lock<std::mutex> lock(mutex_);
        reserved_ -= held_;
        held_ = 0;
        changed_.notify_all();
        while (classified_ <= index)
            ClassifyNext();
        const auto found = slots_.find(index);
        if (found == slots_.end()) return false;
        Slot& slot = found->second;
        if (threads_.empty() && !slot.started) MakeHere(&lock, index);
        changed_.wait(lock, [&slot] { return slot.done; });
        *item = std::move(slot.item);
        held_ = slot.cost;
        slots_.erase(found);
        return true;
    }

  private:
    struct Slot {
        Item item{};
        size_t cost = 0;
        bool started = false;
        bool done = false;
    };

    void ClassifyNext() {
        const size_t index = classified_++;
        Slot slot;
        if (!jobs_.classify(index, &slot.item, &slot.cost)) return;
        slots_.emplace(index, std::move(slot));
        waiting_.push_back(index);
    }

    // The next item a worker may start: in list order, so the item the caller waits for is never
    // kept out of the budget by later ones.
    bool NextJob(size_t* index) {
        if (waiting_.empty()) {
            if (classified_ < jobs_.count) ClassifyNext();
            return false;
        }
        const Slot& slot = slots_.at(waiting_.front());
        if (reserved_ > 0 && reserved_ + slot.cost > jobs_.budget) return false;
        *index = waiting_.front();
        return true;
    }

    bool NothingLeft() const { return waiting_.empty() && classified_ >= jobs_.count; }

    void MakeHere(std::unique_lock<std::mutex>* lock, size_t index) {
        Slot& slot = slots_.at(index);
        waiting_.erase(std::find(waiting_.begin(), waiting_.end(), index));
        slot.started = true;
        reserved_ += slot.cost;
        lock->unlock();
        jobs_.make(&slot.item, stopping_);
        lock->lock();
        slot.done = true;
    }

    void Work() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stopping_ && !NothingLeft()) {
            size_t index = 0;
            if (!NextJob(&index)) {
                if (!waiting_.empty()) changed_.wait(lock);
                continue;
            }
            MakeHere(&lock, index);
            changed_.notify_all();
        }
    }

    OrderedJobs<Item> jobs_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> threads_;
    std::map<size_t, Slot> slots_;  // classified for a worker and not yet taken
    std::deque<size_t> waiting_;    // of those, the ones no worker started yet
    size_t classified_ = 0;
    size_t reserved_ = 0;  // the cost of items started and not yet used up by the caller
    size_t held_ = 0;      // the cost of the item the caller has in hand
    std::atomic<bool> stopping_{false};
};
