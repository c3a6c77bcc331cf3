#include "find_file.h"

#include "rules/exclusion_patterns.h"

#include "event_throttle.h"
#include "listing_pool.h"
#include "platform/blocked_time.h"
#include "platform/file_system.h"
#include "platform/leftovers.h"
#include "platform/trash.h"

#include <cerrno>
#include <exception>
#include <utility>

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*" || pattern == "*")
        return true;
    // Iterative match with one backtracking point per star.
    std::size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string ScannedFolderName(const std::string& path) {
    return path.empty() || path.back() != '/' ? path + '/' : path;
}

namespace {

bool IsHidden(const platform::DirEntry& e) {
    return (e.attributes & platform::kAttrHidden) != 0;
}

// Whether the scan enters a subfolder of a folder it entered. Nothing below a hidden folder
// can match a mask without the hidden bit: such a folder is not entered at all. So a folder
// entered lies inside a hidden one only when the mask admits hidden entries, and then its
// subfolders are entered whatever they are.
bool EntersSubfolder(const platform::DirEntry& e, bool hiddenAdmitted) {
    return e.error == 0 && (e.attributes & platform::kAttrDirectory) != 0 &&
           (hiddenAdmitted || !IsHidden(e));
}

const std::atomic<bool> kNeverStopped{false};

enum class Guarded { No, AtTop, HomeTrash };

// Names of folders that may hold what is not the user's: the trash folders a file system
// keeps at its top (".Trash", ".Trash-<uid>"), its lost+found, and the user's own trash.
// Only the name is looked at here; whether the folder really is one is asked after.
Guarded GuardedName(const std::string& name) {
    if (name == "lost+found" || name == ".Trash")
        return Guarded::AtTop;
    if (name == "Trash")
        return Guarded::HomeTrash;
    if (name.size() <= 7 || name.compare(0, 7, ".Trash-") != 0)
        return Guarded::No;
    for (std::size_t i = 7; i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9')
            return Guarded::No;
    return Guarded::AtTop;
}

} // namespace

std::optional<FindFileError> FindFile::sStartSearch() {
    rootFolder_ = ScannedFolderName(searchpath_);
    const platform::TrashPlaces places = platform::CurrentTrashPlaces();
    homeTrashKnown_ =
        !places.dataHome.empty() && fs_.GetTargetId(places.dataHome + "/Trash", homeTrash_) == 0;
    try {
        // Every thread of the pool is joined when it goes, also when the search throws.
        std::optional<ListingPool> pool;
        startPool(pool);
        const platform::BlockedTime blocked; // read on this thread only
        probe_.blocked = &blocked;
        searchFolder(false);
        pool_ = nullptr;
        return std::nullopt;
    } catch (const std::exception&) {
        pool_ = nullptr;
        return FindFileError{9999, "cFindFile:sStartSearch Method", "Fehler bei sStartSearch"};
    }
}

const std::atomic<bool>& FindFile::stopFlag() const {
    return stop_ != nullptr ? *stop_ : kNeverStopped;
}

// Threads list ahead from the start where each listing waits for the device by its kind; where
// it may wait all the same, the pool follows the scanner's first listings without threads,
// ready to take them when those listings show the waits.
void FindFile::startPool(std::optional<ListingPool>& pool) {
    probe_ = {};
    if (!inclSubfolders_)
        return;
    const int inFlight = fs_.ListingsInFlight(searchpath_);
    const int whenWaiting = inFlight > 1 ? 1 : fs_.ListingsInFlightWhenWaiting(searchpath_);
    if (inFlight <= 1 && whenWaiting <= 1)
        return;
    const bool hiddenAdmitted = (fileFlag_ & platform::kAttrHidden) != 0;
    pool.emplace(
        fs_, inFlight > 1 ? inFlight : 0,
        // A folder that may be left out is listed by the scanner itself, once it knows that
        // it enters it.
        [hiddenAdmitted](const platform::DirEntry& e) {
            return EntersSubfolder(e, hiddenAdmitted) && GuardedName(e.name) == Guarded::No;
        },
        stopFlag(), ListingPool::kMaxHeld,
        inFlight > 1 ? ListingPool::kMaxHeldEntries : ListingPool::kMaxHeldEntriesOnDisks);
    if (inFlight <= 1)
        probe_.threads = whenWaiting;
    if (pool->threads() > 0 || probe_.threads > 1)
        pool_ = &*pool;
}

namespace {

// How many of the scanner's own first listings decide, how many of them must have waited, and
// how long one must have been blocked to count: far longer than a lock is held (a listing
// answered from the caches is blocked for a microsecond at most), shorter than a disk read that
// misses them (20 µs and more on this kind of virtual disk, though the host caches it).
constexpr int kProbedListings = 8;
constexpr int kWaitedListings = 4;
constexpr std::int64_t kWaitedNanos = 10000;

} // namespace

// Counts a listing the scanner made while probing; once enough are made, either starts the
// threads or stops following the order, so that the scanner lists alone at no extra cost.
void FindFile::probe(std::int64_t blockedBefore) {
    ++probe_.listings;
    const std::int64_t blocked = probe_.blocked->Now() - blockedBefore;
    if (blocked >= kWaitedNanos)
        ++probe_.waited;
    if (probe_.listings < kProbedListings)
        return;
    if (probe_.waited >= kWaitedListings)
        pool_->AddThreads(probe_.threads);
    if (pool_->threads() == 0) {
        pool_->DropAll();
        pool_ = nullptr;
    }
    probe_.threads = 1;
}

int FindFile::listFolder(const std::string& folder, std::vector<platform::DirEntry>& entries) {
    if (pool_ == nullptr)
        return fs_.ListDirectoryUntil(folder, entries, stopFlag());
    if (probe_.threads <= 1)
        return pool_->Take(folder, entries);
    const std::int64_t blockedBefore = probe_.blocked->Now();
    const int error = pool_->Take(folder, entries);
    probe(blockedBefore);
    return error;
}

bool FindFile::leavesOut(const std::string& folder, const platform::DirEntry& e) {
    switch (GuardedName(e.name)) {
    case Guarded::No:
        return false;
    case Guarded::AtTop:
        return folder == rootFolder_ || fs_.IsFileSystemTop(folder);
    case Guarded::HomeTrash:
        break;
    }
    platform::FileId id;
    return homeTrashKnown_ && fs_.GetTargetId(folder + e.name, id) == 0 &&
           id.device == homeTrash_.device && id.inode == homeTrash_.inode;
}

// Tells once of a folder that holds a temporary file of a copy whose process is gone.
void FindFile::noteLeftovers(const std::string& folder,
                             const std::vector<platform::DirEntry>& entries) {
    for (const auto& e : entries) {
        const long owner = platform::CopyTemporaryOwner(e.name);
        if (owner != 0 && platform::ProcessGone(owner)) {
            events_.LeftoversFound(folder);
            return;
        }
    }
}

bool FindFile::excludes(const std::string& folder, const std::string& name, bool isFolder) const {
    if (exclusions_ == nullptr || exclusions_->empty())
        return false;
    return exclusions_->Excluded(std::string_view(folder).substr(rootFolder_.size()), name,
                                 isFolder);
}

// Reports the entries of one folder that the pattern and the attribute mask admit.
void FindFile::reportFiles(const std::string& folder,
                           const std::vector<platform::DirEntry>& entries,
                           std::uint32_t inherited) {
    const auto mask = static_cast<std::uint32_t>(fileFlag_);
    for (const auto& e : entries) {
        const std::uint32_t bits = e.attributes | inherited;
        if ((bits & platform::kAttrDirectory) == 0 && excludes(folder, e.name, false)) {
            events_.EntryLeftOut(FindFileEvents::LeftOutKind::Excluded);
            events_.NotReported(folder, e);
            continue;
        }
        const bool match = (bits | mask) == mask && WildcardMatch(fileToFind_, e.name) &&
                           platform::CopyTemporaryOwner(e.name) == 0;
        if (!match || e.error != 0)
            events_.NotReported(folder, e);
        if (match) {
            if (e.error != 0) {
                events_.ReadFailed(folder + e.name, e.error);
            } else {
                std::int64_t size = e.size;
                auto attributes = static_cast<std::int32_t>(bits);
                events_.MatchFoundStamped(e.name, folder, e.lastWrite, size, attributes, e.stamp);
            }
        } else if ((bits & mask & platform::kAttrReparsePoint) == 0 &&
                   (bits & platform::kAttrReparsePoint) != 0) {
            events_.EntryLeftOut(FindFileEvents::LeftOutKind::Link);
        } else if ((bits & mask & platform::kAttrDevice) == 0 &&
                   (bits & platform::kAttrDevice) != 0) {
            events_.EntryLeftOut(FindFileEvents::LeftOutKind::Special);
        }
        if (throttle_ != nullptr)
            throttle_->MaybeDoEvents();
    }
}

// Walks one folder and the folders below it. A cancel ends this level; each level above asks
// its listener again before its next subfolder.
void FindFile::searchFolder(bool insideHidden) {
    const auto mask = static_cast<std::uint32_t>(fileFlag_);
    const std::string folder = ScannedFolderName(searchpath_);
    const bool subfolders = inclSubfolders_;
    const std::uint32_t inherited = insideHidden ? platform::kAttrHidden : 0;
    const bool hiddenAdmitted = (mask & platform::kAttrHidden) != 0;

    // One listing serves both passes. A folder that cannot be listed is reported as such; one
    // listed only in part still reports what was read.
    // The listing's room is the search's, used again folder after folder: it is not needed
    // once the folder's files are reported, before the subfolders are searched.
    std::vector<platform::DirEntry>& entries = listing_;
    if (const int err = listFolder(folder, entries);
        err != 0 && !(err == ECANCELED && stopFlag().load(std::memory_order_relaxed)))
        events_.ReadFailed(folder, err);

    std::vector<std::pair<std::string, bool>> subfolderNames; // with "is hidden"
    bool leftovers = false;
    for (const auto& e : entries) {
        if (EntersSubfolder(e, hiddenAdmitted)) {
            if (leavesOut(folder, e))
                events_.FolderLeftOut(folder + e.name + '/');
            else if (excludes(folder, e.name, true))
                events_.EntryLeftOut(FindFileEvents::LeftOutKind::ExcludedFolder);
            else
                subfolderNames.emplace_back(e.name, insideHidden || IsHidden(e));
        }
        leftovers = leftovers || platform::CopyTemporaryOwner(e.name) != 0;
        if (throttle_ != nullptr)
            throttle_->MaybeDoEvents();
    }
    if (leftovers)
        noteLeftovers(folder, entries);
    reportFiles(folder, entries, inherited);

    if (!subfolders)
        return;
    bool cancel = false;
    for (const auto& [name, hidden] : subfolderNames) {
        events_.StopSearch(cancel);
        if (cancel) {
            if (pool_ != nullptr)
                pool_->DropAll();
            return;
        }
        searchpath_ = folder + name;
        events_.FolderEntered(searchpath_ + '/');
        searchFolder(hidden);
    }
}
