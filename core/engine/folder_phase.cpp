#include "folder_phase.h"

#include "copy_errors.h"
#include "platform/file_ops.h"
#include "platform/folder_chain.h"
#include "platform/trash_batch.h"
#include "run_recorder.h"
#include "sync_session.h"
#include "tree_paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace {

void Fail(RunView& view, RunResult& result, FailedItem::Kind kind, std::string path, int err,
          bool inStart, std::string reason = {}) {
    FailedItem item;
    item.kind = kind;
    item.path = std::move(path);
    item.error = err;
    item.reason = reason.empty() ? ErrorDescription(err) : std::move(reason);
    item.inStartTree = inStart;
    AddFailure(view, result, std::move(item));
}

// The folder's own name, without its trailing "/".
std::string BareName(const MyFile& f) {
    std::string name = f.Name();
    if (!name.empty() && name.back() == '/')
        name.pop_back();
    return name;
}

} // namespace

void MakeFolders(SyncSession& session, platform::FolderChain& targetTree,
                 platform::FolderChain& startTree, RunView& view, RunResult& result) {
    for (const SyncSession::FolderToMake& m : session.FoldersToMake) {
        platform::FolderRef folder;
        bool made = false;
        platform::FolderChain& tree = m.inTarget ? targetTree : startTree;
        if (const int err = tree.Resolve(m.relative, true, folder, &made); err != 0) {
            const std::string& root = m.inTarget ? session.TargetPath : session.StartPath;
            Fail(view, result, FailedItem::Kind::Copy, root + '/' + m.relative, err, !m.inTarget,
                 err == ELOOP ? "Ein Teil des Pfads ist eine symbolische Verknüpfung." : "");
        } else if (made) {
            ++result.foldersMade;
            // Named, as a copy is, by where it comes from.
            const std::string& root = m.inTarget ? session.StartPath : session.TargetPath;
            if (view.ListsActions())
                view.ActionDone(m.inTarget ? RunAction::FolderMade : RunAction::FolderMadeBack,
                                root + '/' + m.relative, {});
        }
    }
}

namespace {

// What the removal of the folders shares: the trash (null for good) and the journal.
struct Removal {
    platform::FileOps& ops;
    platform::FolderChain& targetTree;
    RunRecorder& recorder;
    platform::TrashBatch* trash;
    RunView& view;
    RunResult& result;
};

// Removes the folder entry `f` below the open folder `parent` when it is empty, into the
// trash or for good, noted in the journal first. 0 when removed, -1 when left (gone, or
// something left in it), else the errno; a folder replaced by something else since the load
// is reported here.
int RemoveOne(Removal& r, const MyFile& f, std::string_view parentRelative,
              const platform::FolderRef& parent) {
    platform::FileInfo st;
    int err = r.ops.StatAt(parent->fd, BareName(f), st);
    if (err == ENOENT)
        return -1; // gone already
    if (err == 0 && st.type != platform::FileInfo::Type::Folder) {
        Fail(r.view, r.result, FailedItem::Kind::Delete, f.Path(), 0, false,
             "Der Ordner wurde nach dem Laden durch etwas anderes ersetzt.");
        r.result.failures.back().changedSinceLoad = true;
        return -1;
    }
    if (err != 0)
        return err;
    // Only an empty folder goes; what is left in it keeps it here.
    std::vector<std::string> names;
    platform::FolderRef inside;
    const std::string relative = std::string(parentRelative) + f.Name();
    err = r.targetTree.Resolve(relative, false, inside);
    if (err == 0)
        err = r.ops.ListNames(inside->fd, names);
    if (err != 0 || !names.empty())
        return err != 0 ? err : -1;
    std::size_t slot = 0;
    if (r.trash != nullptr) {
        err = r.trash->Claim(parent->fd, r.recorder.AbsoluteFolder(false, parentRelative),
                             BareName(f), slot);
        if (err != 0)
            return err;
    }
    const std::size_t action = r.recorder.NoteFolderRemoved(
        relative, st.permissions, r.trash != nullptr ? &r.trash->Spot(slot) : nullptr);
    r.recorder.Durable();
    err = r.trash != nullptr ? r.trash->Move(slot)
                             : r.ops.UnlinkAt(parent->fd, BareName(f), AT_REMOVEDIR);
    if (r.trash != nullptr)
        r.trash->Clear();
    if (err != 0)
        r.recorder.journal().NotDone(action);
    return err == ENOTEMPTY || err == EEXIST ? -1 : err; // something came into it meanwhile
}

} // namespace

void RemoveFolders(SyncSession& session, platform::FileOps& ops, platform::FolderChain& targetTree,
                   RunView& view, RunResult& result, RunRecorder& recorder) {
    std::vector<const MyFile*> folders;
    for (const MyFile* f : session.DeleteList)
        if (f->IsFolder() && f->Selected)
            folders.push_back(f);
    if (folders.empty())
        return;
    // Deepest first: a folder emptied of its subfolders may go too.
    std::stable_sort(folders.begin(), folders.end(), [](const MyFile* a, const MyFile* b) {
        return a->FolderView().size() + std::strlen(a->Name()) >
               b->FolderView().size() + std::strlen(b->Name());
    });
    const bool toTrash = session.CurrentRule.ReverseAction == kMoveToTrash;
    platform::TrashBatch trash(
        ops, toTrash ? platform::CurrentTrashPlaces() : platform::TrashPlaces{}, true);
    Removal removal{ops, targetTree, recorder, toTrash ? &trash : nullptr, view, result};
    const std::size_t root = RootPrefixLength(session.TargetPath);
    for (const MyFile* f : folders) {
        const std::string_view parent = RelativeFolderOf(*f, root);
        platform::FolderRef folder;
        int err = targetTree.Resolve(parent, false, folder);
        if (err == 0)
            err = RemoveOne(removal, *f, parent, folder);
        if (err == 0) {
            ++result.foldersRemoved;
            view.ActionDone(RunAction::Deleted, f->Path(), {});
        } else if (err > 0 && err != ENOENT) {
            Fail(view, result, FailedItem::Kind::Delete, f->Path(), err, false);
        }
    }
    // The removals are on the disk before the run reports that it is done.
    platform::FolderRef top;
    if (result.foldersRemoved > 0 && targetTree.Resolve("", false, top) == 0)
        ops.SyncFileSystemOf(top->fd);
}
