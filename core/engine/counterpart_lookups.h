#pragma once

#include "platform/file_system.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// The comparison's questions about counterparts that the other tree's scan did not see. Where
// a tree lies on a device on which each question waits (a network share, removable media), a
// few threads answer them in the background, so the comparison can go on asking; elsewhere
// each is answered at once by the one who asks.
class CounterpartLookups {
public:
    enum Tree { Start = 0, Target = 1 };

    // Threads for the trees whose ListingsInFlight is above 1; fewer (none) when the system has
    // no more to give.
    CounterpartLookups(platform::FileSystem& fs, const std::string& startRoot,
                       const std::string& targetRoot);
    // Stops asking and joins every thread; answers not given are never written.
    ~CounterpartLookups();
    CounterpartLookups(const CounterpartLookups&) = delete;
    CounterpartLookups& operator=(const CounterpartLookups&) = delete;

    // Whether a question about `tree` may be answered later.
    bool Threaded(Tree tree) const { return threaded_[tree]; }
    // What lies at `name` in `relativeFolder` below `tree`'s root, without following a link on
    // the way. Answered here, or later by a thread: then `*left` is one higher until the answer
    // is in `*answer`. The texts and both pointers must stay valid until then.
    void Ask(Tree tree, std::string_view relativeFolder, const char* name,
             platform::FileState* answer, std::atomic<std::size_t>* left);
    // Waits until `left` is 0, calling `keepWaiting` every few milliseconds; false, without the
    // answers, when that returns false.
    bool WaitFor(const std::atomic<std::size_t>& left, const std::function<bool()>& keepWaiting);
    // Questions asked of the threads and not answered yet.
    std::size_t Unanswered();

private:
    struct Question {
        Tree tree;
        std::string_view folder;
        const char* name;
        platform::FileState* answer;
        std::atomic<std::size_t>* left;
    };
    void work();
    platform::FileState examine(std::unique_ptr<platform::TreeReader> (&readers)[2],
                                const Question& q);

    platform::FileSystem& fs_;
    const std::string roots_[2];
    bool threaded_[2] = {false, false};
    std::unique_ptr<platform::TreeReader> readers_[2]; // for the questions answered at once
    std::mutex mutex_;
    std::condition_variable asked_;    // for the threads
    std::condition_variable answered_; // for the comparison
    std::deque<Question> questions_;
    std::size_t underWay_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};
