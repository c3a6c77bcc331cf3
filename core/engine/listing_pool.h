#pragma once

#include "platform/file_system.h"

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

// Folder listings made ahead of one tree's scanner by a few threads of their own, for devices
// on which each listing waits (a network share, a USB stick). The scanner still takes every
// listing in its own order and reports exactly as when it lists alone; only the waiting for
// the device overlaps.
//
// Folders are listed in the order the scanner will need them: the subfolders of the folder
// taken last come first, the first of them before the others (depth first, like the scan).
// At most `maxHeld` listings are under way or done and not yet taken; beyond that the threads
// wait. A folder the scanner needs before a thread has started on it is listed by the scanner
// itself, so it never waits on a listing nobody makes. The destructor drops whatever is still
// queued and joins every thread.
class ListingPool {
public:
    static constexpr std::size_t kMaxHeld = 64;

    // Starts up to `threads` threads; fewer (none at all) when the system has no more to give.
    ListingPool(platform::FileSystem& fs, int threads, std::size_t maxHeld = kMaxHeld);
    ~ListingPool();
    ListingPool(const ListingPool&) = delete;
    ListingPool& operator=(const ListingPool&) = delete;

    std::size_t threads() const { return threads_.size(); }

    // Queues folders (paths ending in "/") that the scanner will need in this order, before
    // any queued earlier.
    void ListAhead(std::vector<std::string> folders);
    // The listing of `folder`, as FileSystem::ListDirectory gives it: made by a thread (waited
    // for while under way) or here. An exception the listing threw is thrown here.
    int Take(const std::string& folder, std::vector<platform::DirEntry>& entries);
    // Forgets every folder queued and every listing not yet taken (the scan was cancelled).
    void DropAll();

private:
    enum class State { Queued, Running, Done };
    struct Job {
        State state = State::Queued;
        bool dropped = false; // running when dropped: forgotten once it ends
        int error = 0;
        std::vector<platform::DirEntry> entries;
        std::exception_ptr failure;
    };

    void work();
    void trimQueue();

    platform::FileSystem& fs_;
    const std::size_t maxHeld_;
    std::mutex mutex_;
    std::condition_variable workAvailable_; // for the threads: a job to start, or the end
    std::condition_variable listingDone_;   // for the scanner
    std::unordered_map<std::string, Job> jobs_;
    std::vector<std::string> queue_; // the next folder needed at the back
    std::size_t held_ = 0;           // jobs running or done and not yet taken
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};
