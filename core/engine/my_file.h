#pragma once

#include "platform/date_time.h"

#include <cstdint>
#include <string>
#include <string_view>

// One file found in a tree. The collections of a load hold references to the same record,
// so a tick made through one list is seen through the others. The path is kept in two
// parts: the folder, shared by every file in it, and the name, both owned by the session.
struct MyFile {
    bool Selected = false;
    bool IsStart = false; // a start-tree file in the copy list, copied start → target
    // The attribute bits all lie below 2048; 16 bits keep the record at 40 bytes.
    std::uint16_t Attributes = 0;
    // For an entry of the copy list, where the session keeps what the comparison saw at the
    // other end (1 + its place there; 0 for none), so that the run replaces only that.
    std::uint32_t CounterpartSeen = 0;
    std::int64_t Size = 0;
    DateTime LastWrite = kZeroDate;
    const std::string* Folder = nullptr; // ends in "/"
    const char* Name = "";

    // The folder with its trailing "/", then the name.
    std::string Path() const {
        std::string p = Folder != nullptr ? *Folder : std::string();
        p += Name;
        return p;
    }
    std::string_view FolderView() const {
        return Folder != nullptr ? std::string_view(*Folder) : std::string_view();
    }
};
