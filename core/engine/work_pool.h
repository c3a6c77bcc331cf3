#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A few threads for file operations that each wait for a slow device (a network share, a
// user-space file system), so that their waits overlap. Jobs start in the order they are added.
class WorkPool {
public:
    explicit WorkPool(int threads);
    // Waits for every job added, then ends the threads.
    ~WorkPool();
    WorkPool(const WorkPool&) = delete;
    WorkPool& operator=(const WorkPool&) = delete;

    int threads() const { return static_cast<int>(threads_.size()); }
    void Add(std::function<void()> job);
    // Returns once a job finished since the last call, or after `longest`; true when one did.
    bool WaitForAnyDone(std::chrono::milliseconds longest);
    // Runs job(k) for every k below `count` on the pool's threads and returns when all are done.
    void ForEach(std::size_t count, const std::function<void(std::size_t)>& job);

private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_; // a job waits, or the pool ends
    std::condition_variable done_; // a job finished
    std::deque<std::function<void()>> jobs_;
    std::size_t running_ = 0;
    std::size_t finished_ = 0; // since the last WaitForAnyDone
    bool ending_ = false;
    std::vector<std::thread> threads_;
};

// Runs job(k) for every k below `count`: on the pool's threads where there is a pool and more
// than one job, else here, in order.
void ForEachOn(WorkPool* pool, std::size_t count, const std::function<void(std::size_t)>& job);
