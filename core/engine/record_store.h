#pragma once

#include "my_file.h"

#include <cstddef>
#include <iterator>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

// The records of one scanned tree in the order they were reported, with their folders and
// names. Records are packed into large blocks, each run of files of one folder behind a
// header that holds the folder's path once. Moving a store keeps every record where it was,
// so lists of record pointers stay valid when a scan hands its store over.
class RecordStore {
    struct Block {
        std::unique_ptr<std::byte[]> bytes;
        std::size_t used = 0;
        std::size_t capacity = 0;
    };

public:
    RecordStore() = default;
    // The store moved from is left empty.
    RecordStore(RecordStore&& other) noexcept { *this = std::move(other); }
    RecordStore& operator=(RecordStore&& other) noexcept;

    // A new record at the end for the file `name` in `folder` (which ends in "/").
    MyFile* NewRecord(std::string_view folder, std::string_view name);
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // Hands all memory back.
    void clear();

    // Walks the records in their order.
    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = MyFile*;
        using difference_type = std::ptrdiff_t;
        using pointer = MyFile* const*;
        using reference = MyFile*;

        iterator() = default;
        MyFile* operator*() const { return record_; }
        iterator& operator++();
        bool operator==(const iterator& other) const { return record_ == other.record_; }

    private:
        friend class RecordStore;
        iterator(const std::vector<Block>* blocks, std::size_t block);
        void enterGroup(std::byte* header);

        const std::vector<Block>* blocks_ = nullptr;
        std::size_t block_ = 0;
        MyFile* record_ = nullptr;
        std::uint32_t leftInGroup_ = 0;
    };
    iterator begin() const { return iterator(&blocks_, 0); }
    iterator end() const { return iterator(); }

private:
    bool fits(std::size_t bytes) const;
    void startBlock(std::size_t bytes);
    std::byte* take(std::size_t bytes);
    const char* keepFolder(std::string_view folder);

    std::vector<Block> blocks_;
    FolderGroup* group_ = nullptr; // the group new records join
    std::vector<std::unique_ptr<char[]>> folderBlocks_;
    std::size_t folderBlockUsed_ = 0;
    std::size_t folderBlockSize_ = 0;
    std::size_t count_ = 0;
};
