#include "record_store.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t kNameBlock = 64 * 1024;
}

const char* RecordStore::keepName(std::string_view name) {
    const std::size_t need = name.size() + 1;
    if (nameBlocks_.empty() || nameBlockUsed_ + need > nameBlockSize_) {
        nameBlockSize_ = std::max(kNameBlock, need);
        nameBlocks_.push_back(std::make_unique<char[]>(nameBlockSize_));
        nameBlockUsed_ = 0;
    }
    char* out = nameBlocks_.back().get() + nameBlockUsed_;
    std::memcpy(out, name.data(), name.size());
    out[name.size()] = '\0';
    nameBlockUsed_ += need;
    return out;
}

MyFile* RecordStore::NewRecord(std::string_view folder, std::string_view name) {
    if (folders_.empty() || folders_.back() != folder)
        folders_.emplace_back(folder);
    MyFile& f = records_.emplace_back();
    f.Folder = &folders_.back();
    f.Name = keepName(name);
    return &f;
}

void RecordStore::clear() {
    // Swapping with fresh containers hands the memory back, unlike clear().
    std::deque<MyFile>().swap(records_);
    std::deque<std::string>().swap(folders_);
    nameBlocks_.clear();
    nameBlocks_.shrink_to_fit();
    nameBlockUsed_ = nameBlockSize_ = 0;
}
