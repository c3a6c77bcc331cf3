#include "counterpart_lookups.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <exception>
#include <system_error>

CounterpartLookups::CounterpartLookups(platform::FileSystem& fs, const std::string& startRoot,
                                       const std::string& targetRoot)
    : fs_(fs), roots_{startRoot, targetRoot} {
    const int inFlight[2] = {fs.ListingsInFlight(startRoot), fs.ListingsInFlight(targetRoot)};
    const int threads = std::max(inFlight[Start], inFlight[Target]);
    for (int i = 0; threads > 1 && i < threads; ++i) {
        try {
            threads_.emplace_back(&CounterpartLookups::work, this);
        } catch (const std::system_error&) {
            break; // fewer threads ask, or none: the comparison then asks itself
        }
    }
    for (const Tree tree : {Start, Target})
        threaded_[tree] = inFlight[tree] > 1 && !threads_.empty();
}

CounterpartLookups::~CounterpartLookups() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        questions_.clear();
    }
    asked_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

platform::FileState CounterpartLookups::examine(std::unique_ptr<platform::TreeReader> (&readers)[2],
                                                const Question& q) {
    try {
        if (!readers[q.tree])
            readers[q.tree] = fs_.OpenTree(roots_[q.tree]);
        return readers[q.tree]->Examine(q.folder, q.name);
    } catch (const std::exception&) {
        platform::FileState state;
        state.error = EIO; // not known: never taken for missing
        return state;
    }
}

void CounterpartLookups::Ask(Tree tree, std::string_view relativeFolder, const char* name,
                             platform::FileState* answer, std::atomic<std::size_t>* left) {
    const Question q{tree, relativeFolder, name, answer, left};
    if (!threaded_[tree]) {
        *answer = examine(readers_, q);
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        left->fetch_add(1, std::memory_order_relaxed);
        questions_.push_back(q);
    }
    asked_.notify_one();
}

void CounterpartLookups::work() {
    std::unique_ptr<platform::TreeReader> readers[2];
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        asked_.wait(lock, [&] { return stopping_ || !questions_.empty(); });
        if (stopping_)
            return;
        const Question q = questions_.front();
        questions_.pop_front();
        ++underWay_;
        lock.unlock();
        const platform::FileState state = examine(readers, q);
        lock.lock();
        --underWay_;
        *q.answer = state;
        q.left->fetch_sub(1, std::memory_order_release);
        answered_.notify_all();
    }
}

bool CounterpartLookups::WaitFor(const std::atomic<std::size_t>& left,
                                 const std::function<bool()>& keepWaiting) {
    while (true) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (answered_.wait_for(lock, std::chrono::milliseconds(10),
                                   [&] { return left.load(std::memory_order_acquire) == 0; }))
                return true;
        }
        if (!keepWaiting())
            return false;
    }
}

std::size_t CounterpartLookups::Unanswered() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return questions_.size() + underWay_;
}
