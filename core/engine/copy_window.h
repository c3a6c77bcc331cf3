#pragma once

#include "platform/file_copy.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct MyFile;

// One copy: its ends, what was seen at the destination, and how far it got. Copies in flight
// are written on a worker thread and read on the run's own once `state` says Done.
struct CopyJob {
    enum State : int { Waiting, Running, Done, Left };
    MyFile* file = nullptr;
    std::uint64_t number = 0; // in the run, to tell which one is shown
    std::string source, destination;
    platform::CopyEnd in, out;
    platform::SeenDestination seen;
    platform::StagedCopy staged;
    platform::CopyResult result;
    std::atomic<std::int64_t> transferred{0};
    std::atomic<int> state{Waiting};
};

// The copies in flight, in the copy list's order: the run's thread adds them at the end and
// settles them from the front; the workers pick the copy each stages next. A file system makes
// new names in one folder one at a time, so a worker prefers a copy into a folder where no
// other is being written.
class CopyWindow {
public:
    explicit CopyWindow(std::size_t size) : jobs_(size) {}

    bool full() const { return count_ == jobs_.size(); }
    bool empty() const { return count_ == 0; }
    // The next place at the end, to be filled and then published or settled.
    CopyJob& Next() { return jobs_[(first_ + count_) % jobs_.size()]; }
    // The copy at the end is filled: Waiting for a worker when `toStage`, else already Done.
    void Add(bool toStage);
    CopyJob& First() { return jobs_[first_]; }
    void DropFirst();
    // On a worker: the waiting copy it stages now, marked Running; Left when `stopped`.
    CopyJob& Pick(bool stopped);
    const std::vector<CopyJob>& jobs() const { return jobs_; }

private:
    std::mutex mutex_;
    std::vector<CopyJob> jobs_;
    std::size_t first_ = 0, count_ = 0;
    std::vector<const platform::OpenFolder*> busy_; // folders being written, at most one a worker
};
