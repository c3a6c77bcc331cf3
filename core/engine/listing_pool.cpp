#include "listing_pool.h"

#include <system_error>
#include <utility>

ListingPool::ListingPool(platform::FileSystem& fs, int threads, std::size_t maxHeld)
    : fs_(fs), maxHeld_(maxHeld) {
    threads_.reserve(threads > 0 ? std::size_t(threads) : 0);
    for (int i = 0; i < threads; ++i) {
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

void ListingPool::ListAhead(std::vector<std::string> folders) {
    if (threads_.empty() || folders.empty())
        return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        // The first folder needed goes to the back, where the threads take from.
        for (auto it = folders.rbegin(); it != folders.rend(); ++it)
            if (jobs_.try_emplace(*it).second)
                queue_.push_back(std::move(*it));
    }
    workAvailable_.notify_all();
}

int ListingPool::Take(const std::string& folder, std::vector<platform::DirEntry>& entries) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto it = jobs_.find(folder);
        if (it != jobs_.end() && it->second.state == State::Queued) {
            // No thread has started on it: listing it here is never slower than waiting.
            jobs_.erase(it);
            trimQueue();
        } else if (it != jobs_.end()) {
            // Only this thread erases a job that is under way or done, so `job` stays valid.
            Job& job = it->second;
            job.dropped = false;
            listingDone_.wait(lock, [&] { return job.state == State::Done; });
            entries = std::move(job.entries);
            const int error = job.error;
            const std::exception_ptr failure = job.failure;
            jobs_.erase(folder);
            --held_;
            lock.unlock();
            workAvailable_.notify_one();
            if (failure)
                std::rethrow_exception(failure);
            return error;
        }
    }
    return fs_.ListDirectory(folder, entries);
}

void ListingPool::DropAll() {
    const std::lock_guard<std::mutex> lock(mutex_);
    queue_.clear();
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        if (it->second.state == State::Running) {
            it->second.dropped = true;
            ++it;
            continue;
        }
        if (it->second.state == State::Done)
            --held_;
        it = jobs_.erase(it);
    }
}

// Folders the scanner took over stay in the queue until they reach its back.
void ListingPool::trimQueue() {
    while (!queue_.empty()) {
        const auto it = jobs_.find(queue_.back());
        if (it != jobs_.end() && it->second.state == State::Queued)
            return;
        queue_.pop_back();
    }
}

void ListingPool::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        workAvailable_.wait(lock,
                            [&] { return stopping_ || (!queue_.empty() && held_ < maxHeld_); });
        if (stopping_)
            return;
        const std::string folder = std::move(queue_.back());
        queue_.pop_back();
        const auto it = jobs_.find(folder);
        if (it == jobs_.end() || it->second.state != State::Queued)
            continue;
        // A running job is erased by nobody but this thread (once dropped) or the scanner
        // (once done), and other insertions keep references valid.
        Job& job = it->second;
        job.state = State::Running;
        ++held_;
        lock.unlock();
        std::vector<platform::DirEntry> entries;
        int error = 0;
        std::exception_ptr failure;
        try {
            error = fs_.ListDirectory(folder, entries);
        } catch (...) {
            failure = std::current_exception(); // thrown again on the scanner's thread
        }
        lock.lock();
        if (job.dropped) {
            jobs_.erase(folder);
            --held_;
            workAvailable_.notify_one();
            continue;
        }
        job.entries = std::move(entries);
        job.error = error;
        job.failure = failure;
        job.state = State::Done;
        listingDone_.notify_all();
    }
}
