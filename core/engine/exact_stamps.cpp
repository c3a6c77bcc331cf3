#include "exact_stamps.h"

#include "load_view.h"
#include "platform/file_system.h"
#include "sync_session.h"
#include "tree_paths.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// One file to examine: the record whose seen slot takes the stamp, and in which tree the file
// lies (the record's own, or the other one at the same relative path).
struct Item {
    MyFile* record;
    bool inTarget;
};

// The files to examine, addressed by their place in the copy list and then the delete list, so
// that no list of them is made: a copy whose other end is a file or link, and every deletion,
// as long as its stamp is not known yet.
class Items {
public:
    explicit Items(SyncSession& session)
        : session_(session), copies_(session.CopyList.size()),
          size_(copies_ + session.DeleteList.size()) {}
    std::size_t size() const { return size_; }
    // The item at place `i`, or none.
    bool at(std::size_t i, Item& item) const {
        if (i >= copies_) {
            MyFile* f = session_.DeleteList[i - copies_];
            item = {f, true};
            return !session_.AsLoaded(*f).stamp.known;
        }
        MyFile* f = session_.CopyList[i];
        const platform::SeenDestination seen = session_.CounterpartOf(*f);
        item = {f, f->IsStart};
        return (seen.kind == platform::SeenDestination::Kind::File ||
                seen.kind == platform::SeenDestination::Kind::Link) &&
               !seen.stamp.known;
    }

private:
    const SyncSession& session_;
    const std::size_t copies_;
    const std::size_t size_;
};

// Examines the items from `begin` to `end` with readers of its own, in their order, so that
// the files of one folder are examined through one open folder.
class Stamper {
public:
    Stamper(SyncSession& session, platform::FileSystem& fs)
        : session_(session), fs_(fs), startRoot_(RootPrefixLength(session.StartPath)),
          targetRoot_(RootPrefixLength(session.TargetPath)) {}

    void stamp(const Items& items, std::size_t i) {
        Item item{};
        if (!items.at(i, item))
            return;
        MyFile& f = *item.record;
        const std::string_view relative = RelativeFolderOf(f, f.IsStart ? startRoot_ : targetRoot_);
        std::unique_ptr<platform::TreeReader>& reader = item.inTarget ? target_ : start_;
        if (!reader)
            reader = fs_.OpenTree(item.inTarget ? session_.TargetPath : session_.StartPath);
        const platform::FileState now = reader->Examine(relative, f.Name());
        if (now.ok() && (now.info.isFile() || now.info.type == platform::FileInfo::Type::Link))
            session_.SetStamp(f, platform::StampOf(now.info));
    }

private:
    SyncSession& session_;
    platform::FileSystem& fs_;
    const std::size_t startRoot_;
    const std::size_t targetRoot_;
    std::unique_ptr<platform::TreeReader> start_, target_;
};

constexpr std::size_t kChunk = 64; // consecutive items, mostly of one folder

bool StampHere(SyncSession& session, platform::FileSystem& fs, LoadView& view, const Items& items) {
    Stamper stamper(session, fs);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if ((i & 1023) == 1023) {
            view.PumpEvents();
            if (view.StopRequested())
                return false;
        }
        stamper.stamp(items, i);
    }
    return true;
}

// Several threads take chunks of the items in turn; this thread keeps the view's events
// running until they are done or "Abbrechen" is pressed.
bool StampOnThreads(SyncSession& session, platform::FileSystem& fs, LoadView& view,
                    const Items& items, int threads) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::atomic<int> running{0};
    std::mutex mutex;
    std::condition_variable done;
    auto work = [&] {
        Stamper stamper(session, fs);
        for (std::size_t begin; !stop && (begin = next.fetch_add(kChunk)) < items.size();)
            for (std::size_t i = begin; i < std::min(items.size(), begin + kChunk) && !stop; ++i)
                stamper.stamp(items, i);
        const std::lock_guard<std::mutex> lock(mutex);
        --running;
        done.notify_one();
    };
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i) {
        try {
            ++running;
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            --running; // fewer threads than asked for
            break;
        }
    }
    if (pool.empty()) // no thread to be had: the same work here
        return StampHere(session, fs, view, items);
    while (running > 0) {
        view.PumpEvents();
        if (view.StopRequested())
            stop = true;
        std::unique_lock<std::mutex> lock(mutex);
        done.wait_for(lock, std::chrono::milliseconds(10), [&] { return running == 0; });
    }
    for (std::thread& t : pool)
        t.join();
    return !stop;
}

} // namespace

bool TakeExactStamps(SyncSession& session, platform::FileSystem& fs, LoadView& view) {
    const Items items(session);
    // Mostly the listings took every stamp already.
    bool needed = false;
    Item item{};
    for (std::size_t i = 0; i < items.size() && !needed; ++i)
        needed = items.at(i, item);
    if (!needed)
        return true;
    // Two at least: each examination is one system call, which two cores answer side by side
    // also on a local disk (measured: about two thirds of one thread's time at 20,000 entries).
    const int threads = std::max(
        {2, fs.ListingsInFlight(session.StartPath), fs.ListingsInFlight(session.TargetPath)});
    return threads > 1 ? StampOnThreads(session, fs, view, items, threads)
                       : StampHere(session, fs, view, items);
}
