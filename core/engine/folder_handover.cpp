#include "folder_handover.h"

#include <iterator>

namespace {

// Folders given back that are kept to be filled again; a very large one is let go.
constexpr std::size_t kSpareFolders = 64;
constexpr std::size_t kSpareBytes = 256 * 1024;
// What a tree has put before the comparison is woken for it.
constexpr std::size_t kWakeFolders = 32;
constexpr std::size_t kWakeFiles = 512;

} // namespace

std::unique_ptr<ScannedFolder> FolderHandover::Fresh(Tree tree) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        auto& spare = sides_[tree].spare;
        if (!spare.empty()) {
            std::unique_ptr<ScannedFolder> folder = std::move(spare.back());
            spare.pop_back();
            return folder;
        }
    }
    return std::make_unique<ScannedFolder>();
}

void FolderHandover::Put(Tree tree, std::unique_ptr<ScannedFolder> folder) {
    std::unique_lock<std::mutex> lock(mutex_);
    Side& side = sides_[tree];
    const auto room = [&] {
        return stopped_ || unbound_ ||
               (side.heldFolders < kMaxHeldFolders && side.heldFiles < kMaxHeldFiles);
    };
    if (!room()) {
        side.news = true; // whatever was put is needed now
        more_.notify_all();
        room_.wait(lock, room);
    }
    if (stopped_)
        return;
    ++side.heldFolders;
    side.heldFiles += folder->Entries();
    side.putFiles += folder->Entries();
    side.put.push_back(std::move(folder));
    if (worthWaking())
        more_.notify_all();
}

bool FolderHandover::worthWaking() const {
    for (const Side& side : sides_)
        if (side.news || side.put.size() >= kWakeFolders || side.putFiles >= kWakeFiles)
            return true;
    return false;
}

void FolderHandover::Close(Tree tree) {
    const std::lock_guard<std::mutex> lock(mutex_);
    sides_[tree].closed = sides_[tree].news = true;
    more_.notify_all();
}

void FolderHandover::Stop() {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    room_.notify_all();
}

void FolderHandover::Unbound() {
    const std::lock_guard<std::mutex> lock(mutex_);
    unbound_ = true;
    room_.notify_all();
}

bool FolderHandover::Take(Tree tree, std::deque<std::unique_ptr<ScannedFolder>>& into) {
    const std::lock_guard<std::mutex> lock(mutex_);
    Side& side = sides_[tree];
    into.insert(into.end(), std::make_move_iterator(side.put.begin()),
                std::make_move_iterator(side.put.end()));
    side.put.clear();
    side.putFiles = 0;
    side.news = false;
    return side.closed;
}

void FolderHandover::Release(Tree tree, std::unique_ptr<ScannedFolder> folder) {
    const std::lock_guard<std::mutex> lock(mutex_);
    Side& side = sides_[tree];
    --side.heldFolders;
    side.heldFiles -= folder->Entries();
    if (side.spare.size() < kSpareFolders && folder->Capacity() <= kSpareBytes)
        side.spare.push_back(std::move(folder));
    room_.notify_all();
}

void FolderHandover::WaitForMore(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    more_.wait_for(lock, limit, [this] { return worthWaking(); });
}
