#pragma once

#include "file_ops.h"
#include "trash_batch.h"
#include "trash_places.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace platform {

struct TrashFolder;

// Files that one run puts into the trash together, in one folder in the trash of each disk
// (named after the run, with one description that sends it back into the tree it came from),
// each file under its own name there (with a number where names repeat). One entry in the
// trash per run and disk, however many files, and nothing written per file: a run keeps the old
// versions of the files it replaces this way, each as a second name (a hard link) taken before
// the new copy takes its name, so that the name is never missing and nothing is copied; undo
// puts away what it takes out of the trees.
class TrashCollection {
public:
    // `title` names the run's folder, e.g. "Gleichwart, alte Fassungen vom 17.05.2024 12.00.00".
    TrashCollection(FileOps& ops, const TrashPlaces& places, std::string title);
    ~TrashCollection();
    TrashCollection(const TrashCollection&) = delete;
    TrashCollection& operator=(const TrashCollection&) = delete;

    // A place for the entry `name` of the open folder `dirFd` on `device`, which is the folder
    // `relative` below the tree's root `root` (absolute, ending in "/"); the run's folder in
    // that disk's trash is made the first time, with a description that names the root as
    // where it came from. 0 or the errno; `slot` numbers the place. The folder must stay open
    // until the entry is kept or moved. The description reaches the disk with the caller's next
    // flush of that file system.
    int Claim(int dirFd, std::string_view root, std::string_view relative, const std::string& name,
              std::uint64_t device, std::size_t& slot);
    const TrashSpot& Spot(std::size_t slot) const { return spots_[slot]; }
    // Keeps the entry in its place: a second name where the disk has them; else, as on FAT
    // and exFAT, it is moved there (`moved`) and its own name is free. Keep, Move and Undo of
    // different places may run on several threads at once.
    int Keep(std::size_t slot, bool& moved);
    // Moves the entry into its place.
    int Move(std::size_t slot);
    // Takes a kept version out again after the replacement failed: the second name goes, or
    // the moved version goes back to its free name.
    void Undo(std::size_t slot, bool moved);
    // Forgets the places of this round; the folders stay for the next.
    void Clear();

private:
    struct RunFolder {
        std::uint64_t device = 0;
        int trash = -1;   // index in trashes_
        int fd = -1;      // the run's folder in files/
        int error = 0;    // why this disk keeps nothing
        std::string name; // the run's folder's name in files/
        std::unordered_set<std::string> used;
        std::size_t kept = 0;
    };
    struct Claimed {
        int dirFd;
        std::string name;
        std::size_t folder; // index in folders_
        std::string kept;   // the name in the run's folder
    };
    int open(int dirFd, std::string_view root, std::string_view relative, std::uint64_t device,
             std::size_t& index);

    FileOps& ops_;
    TrashPlaces places_;
    std::string title_;
    std::vector<TrashFolder> trashes_;
    std::vector<RunFolder> folders_;
    std::vector<Claimed> claims_;
    std::vector<TrashSpot> spots_;
    std::mutex counting_; // guards each run folder's `kept`
};

} // namespace platform
