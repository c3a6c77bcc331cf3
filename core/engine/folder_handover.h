#pragma once

#include "scanned_folder.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

// Hands the folders of both trees' scans, each on a thread of its own, to the comparison on
// another. A scan waits while its tree holds the bounds' worth of folders or files that the
// comparison has not let go of yet, so what waits for the other tree's scan stays small
// whatever the trees' size. Emptied folders go back to the scan that made them, to be filled
// again. One lock for both trees, so the comparison waits for either.
class FolderHandover {
public:
    static constexpr std::size_t kMaxHeldFolders = 512;
    static constexpr std::size_t kMaxHeldFiles = 4096;
    enum Tree { Start = 0, Target = 1 };

    FolderHandover() = default;
    FolderHandover(const FolderHandover&) = delete;
    FolderHandover& operator=(const FolderHandover&) = delete;

    // A folder to fill for `tree`: one given back, or a new one.
    std::unique_ptr<ScannedFolder> Fresh(Tree tree);
    // The next folder of `tree`'s scan; waits while the tree holds the bounds' worth (unless
    // Stop or Unbound was called).
    void Put(Tree tree, std::unique_ptr<ScannedFolder> folder);
    // `tree`'s scan has ended: no more folders come from it.
    void Close(Tree tree);
    // Ends every wait of the scans at once; what they put after is dropped.
    void Stop();
    // For a scan that runs on the comparison's thread: it never waits.
    void Unbound();

    // The folders put since the last call, moved to the end of `into`; true once `tree` is
    // closed and every folder of it taken.
    bool Take(Tree tree, std::deque<std::unique_ptr<ScannedFolder>>& into);
    // The comparison is done with a folder it took.
    void Release(Tree tree, std::unique_ptr<ScannedFolder> folder);
    // Waits until a few folders are put, a scan waits for room or a tree is closed, at most
    // `limit`: the comparison is woken for a batch of folders, not for each.
    void WaitForMore(std::chrono::milliseconds limit);

private:
    struct Side {
        std::vector<std::unique_ptr<ScannedFolder>> put; // not taken yet
        std::vector<std::unique_ptr<ScannedFolder>> spare;
        std::size_t heldFolders = 0; // put and not released
        std::size_t heldFiles = 0;
        std::size_t putFiles = 0; // in `put`
        bool closed = false;
        bool news = false; // closed, or a scan waits for room, since the comparison last took
    };
    bool worthWaking() const;

    std::mutex mutex_;
    std::condition_variable room_; // for the scans
    std::condition_variable more_; // for the comparison
    Side sides_[2];
    bool stopped_ = false;
    bool unbound_ = false;
};
