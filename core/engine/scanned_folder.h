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
class ScannedFolder {
public:
    std::string folder; // ends in "/"
    std::vector<ScannedFile> files;

    // Empties it for `path`, keeping what it has taken of memory.
    void Reset(std::string_view path) {
        folder.assign(path);
        files.clear();
        names_.clear();
    }
    void Add(std::string_view name, std::int64_t size, DateTime lastWrite, std::uint16_t attributes,
             const platform::FileStamp& stamp = {}) {
        files.push_back(
            {size, lastWrite, static_cast<std::uint32_t>(names_.size()), attributes, stamp});
        names_.append(name);
        names_.push_back('\0');
    }
    const char* Name(const ScannedFile& f) const { return names_.data() + f.nameAt; }
    // Memory it holds, to decide whether it is worth keeping for the next folder.
    std::size_t Capacity() const {
        return files.capacity() * sizeof(ScannedFile) + names_.capacity() + folder.capacity();
    }

private:
    std::string names_; // each name with a closing zero
};
