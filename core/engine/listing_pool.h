#pragma once

#include "platform/file_system.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
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
// Once a folder is listed, the subfolders the scanner will enter are queued, and the threads
// always start on the folder the scanner will need first (depth first, subfolders in listing
// order, as the scan goes). The threads start no listing while `maxHeld` listings are under
// way or done and not yet taken, or while those done hold `maxHeldEntries` entries. A folder
// the scanner needs before a thread has started on it is listed by the scanner itself, so it
// never waits on a listing nobody makes.
class ListingPool {
public:
    // Far enough ahead that one slow listing does not hold up the threads behind it, and a
    // few megabytes at most (bench/README.md).
    static constexpr std::size_t kMaxHeld = 1024;
    static constexpr std::size_t kMaxHeldEntries = 20000;
    // A local disk, whose listings wait far less, needs less ahead.
    static constexpr std::size_t kMaxHeldEntriesOnDisks = 4096;
    // Whether the scanner enters this subfolder of a folder it entered.
    using Enters = std::function<bool(const platform::DirEntry&)>;

    // Starts up to `threads` threads; fewer (none at all) when the system has no more to give.
    // Without threads the pool only follows the scanner's order, so that threads can join later
    // (AddThreads). A listing under way gives up once `stop` is set.
    ListingPool(platform::FileSystem& fs, int threads, Enters enters, const std::atomic<bool>& stop,
                std::size_t maxHeld = kMaxHeld, std::size_t maxHeldEntries = kMaxHeldEntries);
    // Drops whatever is still queued and joins every thread.
    ~ListingPool();
    ListingPool(const ListingPool&) = delete;
    ListingPool& operator=(const ListingPool&) = delete;

    std::size_t threads() const { return threads_.size(); }
    // Up to `count` more threads list ahead from the folder the scanner needs next; fewer when
    // the system has no more to give.
    void AddThreads(int count);

    // The listing of `folder` (ending in "/"), as FileSystem::ListDirectory gives it: made by
    // a thread (waited for while under way) or here. The first folder taken is the root of the
    // search. An exception the listing threw is thrown here.
    int Take(const std::string& folder, std::vector<platform::DirEntry>& entries);
    // Ends the listing ahead for this search (it was cancelled): every folder queued and every
    // listing not yet taken is forgotten, and what the scanner takes after is listed by it.
    void DropAll();

private:
    enum class State { Queued, Running, Done };
    struct Job {
        State state = State::Queued;
        std::string order; // sorts as the scanner needs the folders
        bool dropped = false;
        int error = 0;
        std::vector<platform::DirEntry> entries;
        std::exception_ptr failure;
    };

    void work();
    void queueSubfolders(const std::string& folder, const std::string& order,
                         const std::vector<platform::DirEntry>& entries);

    platform::FileSystem& fs_;
    const Enters enters_;
    const std::atomic<bool>& stop_;
    const std::size_t maxHeld_;
    const std::size_t maxHeldEntries_;
    std::mutex mutex_;
    std::condition_variable workAvailable_; // for the threads: a job to start, or the end
    std::condition_variable listingDone_;   // for the scanner
    std::unordered_map<std::string, Job> jobs_;
    std::map<std::string, std::string> queue_; // order -> folder, the first needed first
    std::size_t held_ = 0;                     // jobs running or done and not yet taken
    std::size_t heldEntries_ = 0;              // the entries of those done
    bool rootTaken_ = false;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};
