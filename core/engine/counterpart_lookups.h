#pragma once

#include "counterpart_cursor.h"
#include "record_store.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace platform {
class FileSystem;
class TreeReader;
struct FileState;
} // namespace platform

// The comparison's questions about counterparts that the other tree's scan did not see, asked
// by a few threads ahead of the comparison where each question waits for a slow device (a
// network share, removable media). The threads go through the files in the comparison's
// order and hold at most a few thousand answers; the comparison takes them in that order.
class CounterpartLookups {
public:
    struct Tree {
        const RecordStore* scanned; // null when that tree was not scanned
        std::size_t rootLength;
    };

    // `mine`: the files whose counterparts are asked for, below a root of `mineRootLength`
    // characters; `other`: the tree they are looked for in, below `otherRoot`. Starts up to
    // `threads` threads, fewer (none) when the system has no more to give.
    CounterpartLookups(platform::FileSystem& fs, const std::string& otherRoot, int threads,
                       const RecordStore& mine, std::size_t mineRootLength, Tree other);
    // Stops asking and joins every thread.
    ~CounterpartLookups();
    CounterpartLookups(const CounterpartLookups&) = delete;
    CounterpartLookups& operator=(const CounterpartLookups&) = delete;

    std::size_t threads() const { return threads_.size(); }

    // What lies at the counterpart of `f`, the next file of `mine` that the other scan did not
    // see. While it waits it calls `keepWaiting` every few milliseconds and gives up, with no
    // answer, when that returns false.
    std::optional<platform::FileState> take(const MyFile& f,
                                            const std::function<bool()>& keepWaiting);

private:
    struct Answer;
    bool nextUnseen(const MyFile*& f);
    void work();

    platform::FileSystem& fs_;
    const std::string otherRoot_;
    const std::size_t mineRootLength_;
    RecordStore::iterator next_;
    std::optional<CounterpartCursor> otherScan_;
    std::unique_ptr<platform::TreeReader> fallback_;
    std::mutex mutex_;
    std::condition_variable room_;     // for the threads: an answer taken, or the end
    std::condition_variable answered_; // for the comparison
    std::deque<Answer> answers_;       // in the comparison's order
    bool exhausted_ = false;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};
