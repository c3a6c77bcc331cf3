#include "listing_pool.h"

#include <cstdint>
#include <system_error>
#include <utility>

ListingPool::ListingPool(platform::FileSystem& fs, int threads, Enters enters,
                         const std::atomic<bool>& stop, std::size_t maxHeld,
                         std::size_t maxHeldEntries)
    : fs_(fs), enters_(std::move(enters)), stop_(stop), maxHeld_(maxHeld),
      maxHeldEntries_(maxHeldEntries) {
    AddThreads(threads);
}

void ListingPool::AddThreads(int count) {
    threads_.reserve(threads_.size() + (count > 0 ? std::size_t(count) : 0));
    for (int i = 0; i < count; ++i) {
        try {
            threads_.emplace_back(&ListingPool::work, this);
        } catch (const std::system_error&) {
            break; // fewer threads list ahead, or none: the scanner lists the rest itself
        }
    }
}

ListingPool::~ListingPool() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    workAvailable_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

int ListingPool::Take(const std::string& folder, std::vector<platform::DirEntry>& entries) {
    std::string order;
    bool queueHere = false;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto it = jobs_.find(folder);
        if (it != jobs_.end() && it->second.state != State::Queued && !it->second.dropped) {
            // Only this thread erases a job that is under way or done, so `job` stays valid.
            Job& job = it->second;
            listingDone_.wait(lock, [&] { return job.state == State::Done; });
            entries = std::move(job.entries);
            heldEntries_ -= entries.size();
            const int error = job.error;
            const std::exception_ptr failure = job.failure;
            jobs_.erase(folder);
            --held_;
            lock.unlock();
            workAvailable_.notify_all();
            if (failure)
                std::rethrow_exception(failure);
            return error;
        }
        if (it != jobs_.end() && it->second.state == State::Queued) {
            // No thread has started on it: listing it here is never slower than waiting.
            order = std::move(it->second.order);
            queue_.erase(order);
            jobs_.erase(it);
            queueHere = !stopping_;
        } else if (!rootTaken_) {
            queueHere = !stopping_; // the root: first in order
        }
        rootTaken_ = true;
    }
    const int error = fs_.ListDirectoryUntil(folder, entries, stop_);
    if (queueHere) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (!stopping_)
                queueSubfolders(folder, order, entries);
        }
        workAvailable_.notify_all();
    }
    return error;
}

void ListingPool::DropAll() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
        for (auto it = jobs_.begin(); it != jobs_.end();) {
            if (it->second.state == State::Running) {
                it->second.dropped = true; // its thread forgets it when it ends
                ++it;
            } else {
                if (it->second.state == State::Done) {
                    --held_;
                    heldEntries_ -= it->second.entries.size();
                }
                it = jobs_.erase(it);
            }
        }
    }
    workAvailable_.notify_all();
}

// The subfolders of a folder come right after it in the scan's order, in listing order: each
// one's order is its folder's followed by its index, written so that it sorts as a string.
void ListingPool::queueSubfolders(const std::string& folder, const std::string& order,
                                  const std::vector<platform::DirEntry>& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!enters_(entries[i]))
            continue;
        std::string subfolder = folder + entries[i].name + '/';
        const auto [job, fresh] = jobs_.try_emplace(subfolder);
        if (!fresh)
            continue;
        std::string key = order;
        const auto index = static_cast<std::uint32_t>(i);
        for (int shift = 24; shift >= 0; shift -= 8)
            key.push_back(static_cast<char>((index >> shift) & 0xFF));
        job->second.order = key;
        queue_.emplace(std::move(key), std::move(subfolder));
    }
}

void ListingPool::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        workAvailable_.wait(lock, [&] {
            return stopping_ ||
                   (!queue_.empty() && held_ < maxHeld_ && heldEntries_ < maxHeldEntries_);
        });
        // Once "Abbrechen" is pressed no listing starts: the scanner lists what it still
        // asks for itself, and gives that up at once too.
        if (stopping_ || stop_.load(std::memory_order_relaxed))
            return;
        const auto first = queue_.begin();
        const std::string folder = std::move(first->second);
        queue_.erase(first);
        const auto it = jobs_.find(folder);
        if (it == jobs_.end())
            continue;
        // A running job is erased by nobody but this thread (once dropped) or the scanner
        // (once done), and insertions keep references valid.
        Job& job = it->second;
        job.state = State::Running;
        ++held_;
        lock.unlock();
        std::vector<platform::DirEntry> entries;
        int error = 0;
        std::exception_ptr failure;
        try {
            error = fs_.ListDirectoryUntil(folder, entries, stop_);
        } catch (...) {
            failure = std::current_exception(); // thrown again on the scanner's thread
        }
        lock.lock();
        if (job.dropped) {
            jobs_.erase(folder);
            --held_;
            continue;
        }
        try {
            queueSubfolders(folder, job.order, entries);
        } catch (const std::exception&) {
            // Subfolders not queued are listed by the scanner when it gets there.
        }
        heldEntries_ += entries.size();
        job.entries = std::move(entries);
        job.error = error;
        job.failure = failure;
        job.state = State::Done;
        listingDone_.notify_all();
        workAvailable_.notify_all();
    }
}
