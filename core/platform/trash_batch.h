#pragma once

#include "file_ops.h"
#include "trash_places.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct TrashFolder;

// Where an entry lies in a trash: the trash folder (absolute; it holds files/ and info/) and
// the entry's name in files/.
struct TrashSpot {
    std::string trash;
    std::string name;
};

// Entries of any number of folders put into the trash together, in three steps: each gets its
// place first (its description is written under a name nobody else can take), then one flush
// of each trash's file system makes all descriptions durable, then each entry is moved into
// its place. Between the first and the last step the caller may note where each entry will
// lie. Every entry goes into the trash of its own file system; nothing is ever copied. The
// trashes stay open for the next round.
class TrashBatch {
public:
    // `flushEach`: each description reaches the disk as it is written, for a single entry.
    TrashBatch(FileOps& ops, const TrashPlaces& places, bool flushEach = false);
    ~TrashBatch();
    TrashBatch(const TrashBatch&) = delete;
    TrashBatch& operator=(const TrashBatch&) = delete;

    // Takes a place for the entry `name` (one path component, any bytes) of the open folder
    // `dirFd`, whose absolute path is `folderPath`. 0 or the errno; `slot` numbers the place.
    // The folder must stay open until the entry is moved or linked.
    int Claim(int dirFd, const std::string& folderPath, const std::string& name, std::size_t& slot);
    const TrashSpot& Spot(std::size_t slot) const { return spots_[slot]; }
    // Makes the descriptions durable: one flush per file system, but for those in
    // `flushedDevices`, which the caller has just flushed itself.
    void Flush(const std::vector<std::uint64_t>& flushedDevices = {});
    // Moves the entry into its place; on failure it stays and its description goes.
    int Move(std::size_t slot);
    // Moves a moved entry back to its free name and forgets its description; 0 or the errno.
    int MoveBack(std::size_t slot);
    // Gives a place back unused.
    void Release(std::size_t slot);
    // Forgets every place (each moved, linked or released); the next round starts afresh.
    void Clear();
    std::size_t size() const { return claims_.size(); }

private:
    struct Claimed {
        int dirFd = -1;
        std::string name;
        unsigned trash = 0;
        unsigned variant = 1;
        bool open = false; // its description is ours and not yet settled
    };

    FileOps& ops_;
    TrashPlaces places_;
    bool flushEach_;
    std::string date_; // the deletion date of this round
    std::vector<TrashFolder> trashes_;
    std::vector<Claimed> claims_;
    std::vector<TrashSpot> spots_;
    std::string folder_, text_; // reused for every entry
};

// True when `err` says that the file system keeps no second names (FAT, exFAT, some shares).
bool NoHardLinks(int err);

} // namespace platform
