#pragma once

#include "platform/date_time.h"

#include <cstdint>
#include <string>
#include <string_view>

// The folder shared by the records that follow it in a record store: its path ends in "/".
struct FolderGroup {
    const char* path = nullptr;
    std::uint32_t pathLength = 0;
    std::uint32_t count = 0; // records following this header
};

// One file found in a tree. The collections of a load hold references to the same record,
// so a tick made through one list is seen through the others. A record lives in a record
// store, which packs it with its name right behind it and finds its folder in the group it
// belongs to: a million records take about 48 bytes each. It is therefore never copied.
struct MyFile {
    std::int64_t Size = 0;
    DateTime LastWrite = kZeroDate;
    // For an entry of the copy list, where the session keeps what the comparison saw at the
    // other end; for one of the delete list, where it keeps the file itself as the load saw it
    // (1 + its place there; 0 for none), so that the run replaces or deletes only that.
    std::uint32_t SeenIndex = 0;
    // The attribute bits all lie below 2048; the top bit marks a conflict (IsConflict).
    std::uint16_t Attributes = 0;
    bool Selected = false;
    bool IsStart = false; // a start-tree file in the copy list, copied start → target

    // A start file whose counterpart has the same time, within the tolerance, but another
    // size: it is listed for copying unticked, for the user to decide.
    static constexpr std::uint16_t kConflictMark = 0x8000;
    // The scanner's attribute bit of a symbolic link, taken when the rule takes links.
    static constexpr std::uint16_t kLinkBit = 1024;
    bool IsLink() const { return (Attributes & kLinkBit) != 0; }
    // A folder on the delete list, named with its trailing "/", where the rule matches folders.
    static constexpr std::uint16_t kFolderBit = 16;
    bool IsFolder() const { return (Attributes & kFolderBit) != 0; }
    bool IsConflict() const { return (Attributes & kConflictMark) != 0; }
    void MarkConflict() { Attributes |= kConflictMark; }

    MyFile(const MyFile&) = delete;
    MyFile& operator=(const MyFile&) = delete;

    // The bare name, stored right behind the record.
    const char* Name() const { return reinterpret_cast<const char*>(this) + kNameOffset; }
    // The folder with its trailing "/".
    std::string_view FolderView() const {
        const FolderGroup* g = group();
        return {g->path, g->pathLength};
    }
    // The folder, then the name.
    std::string Path() const {
        std::string p(FolderView());
        p += Name();
        return p;
    }

    // Kept by the record store: where the record's folder group begins, and where its name
    // begins (it runs on past the record).
    static constexpr std::size_t kNameOffset = 28;
    std::uint32_t groupDistance_ = 0; // bytes from the group's header to this record
    char nameStart_[4]{};

private:
    friend class RecordStore;
    explicit MyFile(std::uint32_t groupDistance) : groupDistance_(groupDistance) {}
    const FolderGroup* group() const {
        return reinterpret_cast<const FolderGroup*>(reinterpret_cast<const char*>(this) -
                                                    groupDistance_);
    }
};
