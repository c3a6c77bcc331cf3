#include "sync_session.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t kNameBlock = 64 * 1024;
}

const char* SyncSession::keepName(std::string_view name) {
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

MyFile* SyncSession::NewRecord(std::string_view folder, std::string_view name) {
    if (folders_.empty() || folders_.back() != folder)
        folders_.emplace_back(folder);
    MyFile& f = records_.emplace_back();
    f.Folder = &folders_.back();
    f.Name = keepName(name);
    return &f;
}

MyFile* SyncSession::NewRecord(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return NewRecord(std::string_view(), path);
    return NewRecord(path.substr(0, slash + 1), path.substr(slash + 1));
}

void SyncSession::RememberCounterpart(MyFile& f, const platform::SeenDestination& seen) {
    if (f.CounterpartSeen != 0) {
        counterparts_[f.CounterpartSeen - 1] = seen;
        return;
    }
    counterparts_.push_back(seen);
    f.CounterpartSeen = static_cast<std::uint32_t>(counterparts_.size());
}

platform::SeenDestination SyncSession::CounterpartOf(const MyFile& f) const {
    // Without a record of the comparison nothing is known of the other end.
    return f.CounterpartSeen != 0 ? counterparts_[f.CounterpartSeen - 1]
                                  : platform::SeenDestination{};
}

void SyncSession::ResetCollections() {
    // Swapping with fresh containers hands the memory back, unlike clear().
    FileList().swap(StartFiles);
    FileList().swap(TargetFiles);
    FileList().swap(CopyList);
    FileList().swap(DeleteList);
    std::vector<ScanProblem>().swap(ScanProblems);
    std::deque<MyFile>().swap(records_);
    std::vector<platform::SeenDestination>().swap(counterparts_);
    std::deque<std::string>().swap(folders_);
    nameBlocks_.clear();
    nameBlocks_.shrink_to_fit();
    nameBlockUsed_ = nameBlockSize_ = 0;
}

SelectionTotals SelectedTotals(const FileList& list) {
    SelectionTotals t;
    for (const MyFile* f : list) {
        if (f->Selected) {
            ++t.count;
            t.bytes += f->Size;
        }
    }
    return t;
}
