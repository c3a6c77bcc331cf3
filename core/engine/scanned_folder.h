#pragma once

#include "platform/date_time.h"
#include "platform/seen_file.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One file a scan reported: what the comparison needs of it. Its name lies in its folder's
// names.
struct ScannedFile {
    std::int64_t size = 0;
    DateTime lastWrite = kZeroDate;
    std::uint32_t nameAt = 0;
    std::uint16_t attributes = 0;
    // Where the listing took them: the times and identity a run checks before it replaces or
    // deletes the file.
    platform::FileStamp stamp;
};

// The files one scan reported in one folder, in their order. Every folder the scan entered has
// one, also when it holds no file, so that the comparison knows how far a scan has come. The
// comparison keeps only what goes on a list; the rest goes when the folder is compared.
//
// Beside them, every other entry of the folder's listing (subfolders, links, entries the
// options or patterns leave out, entries that could not be examined), so that the comparison
// knows what lies at a name the other tree's scan reported without asking the file system.
class ScannedFolder {
public:
    // In `attributes` of an unreported entry: it could not be examined.
    static constexpr std::uint16_t kUnexamined = 0x8000;

    std::string folder; // ends in "/"
    std::vector<ScannedFile> files;
    std::vector<ScannedFile> unreported; // in listing order, as `files`
    // False when the folder could be listed only in part, or not at all: what is not among its
    // entries may still be there.
    bool complete = true;

    // Empties it for `path`, keeping what it has taken of memory.
    void Reset(std::string_view path) {
        folder.assign(path);
        files.clear();
        unreported.clear();
        names_.clear();
        complete = true;
    }
    void Add(std::string_view name, std::int64_t size, DateTime lastWrite, std::uint16_t attributes,
             const platform::FileStamp& stamp = {}) {
        files.push_back(entry(name, size, lastWrite, attributes, stamp));
    }
    void AddUnreported(std::string_view name, std::int64_t size, DateTime lastWrite,
                       std::uint16_t attributes, const platform::FileStamp& stamp) {
        unreported.push_back(entry(name, size, lastWrite, attributes, stamp));
    }
    const char* Name(const ScannedFile& f) const { return names_.data() + f.nameAt; }
    // The unreported entry of that name, or null.
    const ScannedFile* Unreported(std::string_view name) const;
    // The entries it holds, reported or not.
    std::size_t Entries() const { return files.size() + unreported.size(); }
    // Memory it holds, to decide whether it is worth keeping for the next folder.
    std::size_t Capacity() const {
        return (files.capacity() + unreported.capacity()) * sizeof(ScannedFile) +
               names_.capacity() + folder.capacity();
    }

private:
    ScannedFile entry(std::string_view name, std::int64_t size, DateTime lastWrite,
                      std::uint16_t attributes, const platform::FileStamp& stamp) {
        const auto at = static_cast<std::uint32_t>(names_.size());
        names_.append(name);
        names_.push_back('\0');
        return {size, lastWrite, at, attributes, stamp};
    }

    std::string names_; // each name with a closing zero
};
