#pragma once

#include "my_file.h"

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Where the records of one tree live, with their folders and names: each folder is kept once
// for the files reported one after another in it, names are packed into large blocks.
// Moving a store keeps every record, folder and name where it was, so lists of record
// pointers stay valid when a scan hands its store over.
class RecordStore {
public:
    MyFile* NewRecord(std::string_view folder, std::string_view name);
    std::size_t size() const { return records_.size(); }
    void clear();

private:
    const char* keepName(std::string_view name);

    std::deque<MyFile> records_;
    std::deque<std::string> folders_;
    std::vector<std::unique_ptr<char[]>> nameBlocks_;
    std::size_t nameBlockUsed_ = 0;
    std::size_t nameBlockSize_ = 0;
};
