#include "sync_session.h"

SyncSession::SeenSlot SyncSession::Packed(const platform::SeenDestination& seen) {
    static_assert(sizeof(SeenSlot) == 56, "8 bytes less than a SeenDestination");
    return {seen.size,
            seen.lastWrite,
            seen.stamp.writeNanos,
            seen.stamp.changeNanos,
            seen.stamp.device,
            seen.stamp.inode,
            seen.kind,
            seen.stamp.known};
}

platform::SeenDestination SyncSession::Unpacked(const SeenSlot& slot) {
    return {slot.kind, slot.size, slot.lastWrite,
            platform::FileStamp{slot.writeNanos, slot.changeNanos, slot.device, slot.inode,
                                slot.known}};
}

MyFile* SyncSession::NewRecord(std::string_view folder, std::string_view name) {
    return records_.NewRecord(folder, name);
}

MyFile* SyncSession::NewTargetRecord(std::string_view folder, std::string_view name) {
    return targetRecords_.NewRecord(folder, name);
}

MyFile* SyncSession::NewDeletionRecord(std::string_view folder, std::string_view name) {
    return deletionRecords_.NewRecord(folder, name);
}

void SyncSession::ListRecords() {
    FileList copies;
    copies.reserve(records_.size() + targetRecords_.size());
    copies.insert(copies.end(), records_.begin(), records_.end());
    copies.insert(copies.end(), targetRecords_.begin(), targetRecords_.end());
    CopyList = std::move(copies);
    DeleteList = FileList(deletionRecords_.begin(), deletionRecords_.end());
}

MyFile* SyncSession::NewRecord(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return NewRecord(std::string_view(), path);
    return NewRecord(path.substr(0, slash + 1), path.substr(slash + 1));
}

SyncSession::SeenSlot* SyncSession::slotOf(const MyFile& f) const {
    if (f.SeenIndex == 0 || f.SeenIndex == kAbsentCounterpart || (f.SeenIndex & kOwnStamp) != 0)
        return nullptr;
    return &seen_[f.SeenIndex - 1];
}

platform::FileStamp* SyncSession::ownStampOf(const MyFile& f) const {
    if (f.SeenIndex == kAbsentCounterpart || (f.SeenIndex & kOwnStamp) == 0)
        return nullptr;
    return &ownStamps_[(f.SeenIndex & ~kOwnStamp) - 1];
}

void SyncSession::RememberCounterpart(MyFile& f, const platform::SeenDestination& seen) {
    const bool absent = seen.kind == platform::SeenDestination::Kind::Absent && !seen.stamp.known;
    if (SeenSlot* slot = slotOf(f)) {
        *slot = Packed(seen);
    } else if (absent) {
        f.SeenIndex = kAbsentCounterpart;
    } else {
        seen_.push_back(Packed(seen));
        f.SeenIndex = static_cast<std::uint32_t>(seen_.size());
    }
}

platform::SeenDestination SyncSession::CounterpartOf(const MyFile& f) const {
    // Without a record of the comparison nothing is known of the other end.
    if (f.SeenIndex == kAbsentCounterpart)
        return {platform::SeenDestination::Kind::Absent};
    if (ownStampOf(f) != nullptr)
        return AsLoaded(f);
    const SeenSlot* slot = slotOf(f);
    return slot != nullptr ? Unpacked(*slot) : platform::SeenDestination{};
}

void SyncSession::RememberAsLoaded(MyFile& f, const platform::SeenDestination& seen) {
    // A file is on one list only, so the same slot serves both. Where it was loaded as its
    // record says, only the stamp is kept beside it.
    const platform::SeenDestination recorded{f.IsLink() ? platform::SeenDestination::Kind::Link
                                                        : platform::SeenDestination::Kind::File,
                                             f.Size, f.LastWrite};
    const bool asRecorded = seen.kind == recorded.kind && seen.size == recorded.size &&
                            seen.lastWrite == recorded.lastWrite;
    if (!asRecorded || slotOf(f) != nullptr) {
        RememberCounterpart(f, seen);
    } else if (platform::FileStamp* own = ownStampOf(f)) {
        *own = seen.stamp;
    } else {
        ownStamps_.push_back(seen.stamp);
        f.SeenIndex = kOwnStamp | static_cast<std::uint32_t>(ownStamps_.size());
    }
}

void SyncSession::SetStamp(const MyFile& f, const platform::FileStamp& stamp) {
    // Nothing was there to take a stamp of where the other end was missing.
    if (platform::FileStamp* own = ownStampOf(f)) {
        *own = stamp;
    } else if (SeenSlot* slot = slotOf(f)) {
        slot->writeNanos = stamp.writeNanos;
        slot->changeNanos = stamp.changeNanos;
        slot->device = stamp.device;
        slot->inode = stamp.inode;
        slot->known = stamp.known;
    }
}

platform::SeenDestination SyncSession::AsLoaded(const MyFile& f) const {
    if (f.SeenIndex == kAbsentCounterpart)
        return {platform::SeenDestination::Kind::Absent};
    if (const SeenSlot* slot = slotOf(f))
        return Unpacked(*slot);
    const platform::FileStamp* own = ownStampOf(f);
    return {f.IsLink() ? platform::SeenDestination::Kind::Link
                       : platform::SeenDestination::Kind::File,
            f.Size, f.LastWrite, own != nullptr ? *own : platform::FileStamp{}};
}

void SyncSession::ResetCollections() {
    // Swapping with fresh containers hands the memory back, unlike clear().
    StartFileCount = TargetFileCount = 0;
    FileList().swap(CopyList);
    FileList().swap(DeleteList);
    std::vector<std::string>().swap(StartFolders);
    std::vector<std::string>().swap(TargetFolders);
    std::vector<FolderToMake>().swap(FoldersToMake);
    records_.clear();
    targetRecords_.clear();
    deletionRecords_.clear();
    std::deque<SeenSlot>().swap(seen_);
    std::deque<platform::FileStamp>().swap(ownStamps_);
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
