#include "record_store.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kBlockBytes = 256 * 1024;
constexpr std::size_t kFolderBlockBytes = 64 * 1024;
constexpr std::size_t kHeaderBytes = sizeof(FolderGroup);

static_assert(sizeof(FolderGroup) % alignof(MyFile) == 0);
static_assert(offsetof(MyFile, nameStart_) == MyFile::kNameOffset);
static_assert(sizeof(MyFile) == 32);

// A record with its name and the name's closing zero, rounded up to keep the next aligned.
std::size_t RecordBytes(std::size_t nameLength) {
    const std::size_t bytes = MyFile::kNameOffset + nameLength + 1;
    const std::size_t aligned = (bytes + alignof(MyFile) - 1) / alignof(MyFile) * alignof(MyFile);
    return std::max(aligned, sizeof(MyFile));
}

} // namespace

bool RecordStore::fits(std::size_t bytes) const {
    return !blocks_.empty() && blocks_.back().used + bytes <= blocks_.back().capacity;
}

void RecordStore::startBlock(std::size_t bytes) {
    const std::size_t capacity = std::max(kBlockBytes, bytes);
    blocks_.push_back({std::make_unique<std::byte[]>(capacity), 0, capacity});
}

std::byte* RecordStore::take(std::size_t bytes) {
    Block& b = blocks_.back();
    std::byte* at = b.bytes.get() + b.used;
    b.used += bytes;
    return at;
}

const char* RecordStore::keepFolder(std::string_view folder) {
    if (folderBlocks_.empty() || folderBlockUsed_ + folder.size() > folderBlockSize_) {
        folderBlockSize_ = std::max(kFolderBlockBytes, folder.size());
        folderBlocks_.push_back(std::make_unique<char[]>(folderBlockSize_));
        folderBlockUsed_ = 0;
    }
    char* out = folderBlocks_.back().get() + folderBlockUsed_;
    std::memcpy(out, folder.data(), folder.size());
    folderBlockUsed_ += folder.size();
    return out;
}

MyFile* RecordStore::NewRecord(std::string_view folder, std::string_view name) {
    const std::size_t need = RecordBytes(name.size());
    const bool sameFolder =
        group_ != nullptr && std::string_view(group_->path, group_->pathLength) == folder;
    if (!sameFolder || !fits(need)) {
        // A folder's files that run over into a new block get a header of their own there,
        // sharing the path kept once.
        const char* path = sameFolder ? group_->path : keepFolder(folder);
        if (!fits(kHeaderBytes + need))
            startBlock(kHeaderBytes + need);
        group_ = new (take(kHeaderBytes))
            FolderGroup{path, static_cast<std::uint32_t>(folder.size()), 0};
    }
    std::byte* at = take(need);
    const auto distance = static_cast<std::uint32_t>(at - reinterpret_cast<std::byte*>(group_));
    MyFile* f = new (at) MyFile(distance);
    auto* nameOut = reinterpret_cast<char*>(at) + MyFile::kNameOffset;
    std::memcpy(nameOut, name.data(), name.size());
    nameOut[name.size()] = '\0';
    ++group_->count;
    ++count_;
    return f;
}

RecordStore& RecordStore::operator=(RecordStore&& other) noexcept {
    if (this == &other)
        return *this;
    blocks_ = std::move(other.blocks_);
    folderBlocks_ = std::move(other.folderBlocks_);
    group_ = std::exchange(other.group_, nullptr);
    folderBlockUsed_ = std::exchange(other.folderBlockUsed_, 0);
    folderBlockSize_ = std::exchange(other.folderBlockSize_, 0);
    count_ = std::exchange(other.count_, 0);
    other.clear();
    return *this;
}

void RecordStore::clear() {
    std::vector<Block>().swap(blocks_);
    std::vector<std::unique_ptr<char[]>>().swap(folderBlocks_);
    folderBlockUsed_ = folderBlockSize_ = 0;
    group_ = nullptr;
    count_ = 0;
}

RecordStore::iterator::iterator(const std::vector<Block>* blocks, std::size_t block)
    : blocks_(blocks), block_(block) {
    if (block_ < blocks_->size())
        enterGroup((*blocks_)[block_].bytes.get());
    else
        blocks_ = nullptr;
}

void RecordStore::iterator::enterGroup(std::byte* header) {
    const auto* group = std::launder(reinterpret_cast<FolderGroup*>(header));
    leftInGroup_ = group->count;
    record_ = std::launder(reinterpret_cast<MyFile*>(header + kHeaderBytes));
}

RecordStore::iterator& RecordStore::iterator::operator++() {
    std::byte* next =
        reinterpret_cast<std::byte*>(record_) + RecordBytes(std::strlen(record_->Name()));
    if (--leftInGroup_ > 0) {
        record_ = std::launder(reinterpret_cast<MyFile*>(next));
        return *this;
    }
    const Block& b = (*blocks_)[block_];
    if (next < b.bytes.get() + b.used) {
        enterGroup(next);
    } else if (++block_ < blocks_->size()) {
        enterGroup((*blocks_)[block_].bytes.get());
    } else {
        record_ = nullptr;
        blocks_ = nullptr;
    }
    return *this;
}
