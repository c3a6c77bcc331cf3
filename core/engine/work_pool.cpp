#include "work_pool.h"

#include <algorithm>
#include <atomic>

WorkPool::WorkPool(int threads) {
    threads_.reserve(static_cast<std::size_t>(threads));
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back([this] { work(); });
}

WorkPool::~WorkPool() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return jobs_.empty() && running_ == 0; });
        ending_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

void WorkPool::Add(std::function<void()> job) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

bool WorkPool::WaitForAnyDone(std::chrono::milliseconds longest) {
    std::unique_lock<std::mutex> lock(mutex_);
    const bool any = done_.wait_for(lock, longest, [this] { return finished_ > 0; });
    finished_ = 0;
    return any;
}

void WorkPool::ForEach(std::size_t count, const std::function<void(std::size_t)>& job) {
    std::atomic<std::size_t> next{0};
    std::size_t left = 0;
    std::mutex m;
    std::condition_variable allDone;
    const std::size_t workers = std::min<std::size_t>(threads_.size(), count);
    left = workers;
    for (std::size_t w = 0; w < workers; ++w)
        Add([&] {
            for (std::size_t k; (k = next.fetch_add(1)) < count;)
                job(k);
            const std::lock_guard<std::mutex> lock(m);
            if (--left == 0)
                allDone.notify_one();
        });
    std::unique_lock<std::mutex> lock(m);
    allDone.wait(lock, [&] { return left == 0; });
}

void ForEachOn(WorkPool* pool, std::size_t count, const std::function<void(std::size_t)>& job) {
    if (pool != nullptr && count > 1) {
        pool->ForEach(count, job);
        return;
    }
    for (std::size_t k = 0; k < count; ++k)
        job(k);
}

void WorkPool::work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
            if (jobs_.empty())
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            ++running_;
        }
        job();
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            --running_;
            ++finished_;
        }
        done_.notify_all();
    }
}
