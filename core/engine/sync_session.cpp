#include "sync_session.h"

MyFile* SyncSession::NewRecord(std::string_view folder, std::string_view name) {
    return records_.NewRecord(folder, name);
}

MyFile* SyncSession::NewRecord(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return NewRecord(std::string_view(), path);
    return NewRecord(path.substr(0, slash + 1), path.substr(slash + 1));
}

void SyncSession::RememberCounterpart(MyFile& f, const platform::SeenDestination& seen) {
    if (f.SeenIndex != 0) {
        seen_[f.SeenIndex - 1] = seen;
        return;
    }
    seen_.push_back(seen);
    f.SeenIndex = static_cast<std::uint32_t>(seen_.size());
}

platform::SeenDestination SyncSession::CounterpartOf(const MyFile& f) const {
    // Without a record of the comparison nothing is known of the other end.
    return f.SeenIndex != 0 ? seen_[f.SeenIndex - 1] : platform::SeenDestination{};
}

void SyncSession::RememberAsLoaded(MyFile& f, const platform::SeenDestination& seen) {
    // A file is on one list only, so the same slot serves both.
    RememberCounterpart(f, seen);
}

void SyncSession::SetStamp(const MyFile& f, const platform::FileStamp& stamp) {
    if (f.SeenIndex != 0)
        seen_[f.SeenIndex - 1].stamp = stamp;
}

platform::SeenDestination SyncSession::AsLoaded(const MyFile& f) const {
    if (f.SeenIndex != 0)
        return seen_[f.SeenIndex - 1];
    return {f.IsLink() ? platform::SeenDestination::Kind::Link
                       : platform::SeenDestination::Kind::File,
            f.Size, f.LastWrite};
}

void SyncSession::ResetCollections() {
    // Swapping with fresh containers hands the memory back, unlike clear().
    StartFiles.clear();
    TargetFiles.clear();
    FileList().swap(CopyList);
    FileList().swap(DeleteList);
    std::vector<std::string>().swap(StartFolders);
    std::vector<std::string>().swap(TargetFolders);
    std::vector<FolderToMake>().swap(FoldersToMake);
    records_.clear();
    std::vector<platform::SeenDestination>().swap(seen_);
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
