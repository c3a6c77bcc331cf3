#include "sync_session.h"

MyFile* SyncSession::NewRecord() {
    return &records_.emplace_back();
}

void SyncSession::ResetCollections() {
    // Swapping with fresh containers hands the memory back, unlike clear().
    FileList().swap(StartFiles);
    FileList().swap(TargetFiles);
    FileList().swap(CopyList);
    FileList().swap(DeleteList);
    std::deque<MyFile>().swap(records_);
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
