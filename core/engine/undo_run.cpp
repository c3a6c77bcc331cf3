#include "undo_work.h"

#include "copy_errors.h"
#include "platform/file_ops.h"
#include "platform/trash_places.h"
#include "undo_journal.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace {

// As the run checks its roots: a folder removed and made again may get the same inode, but
// not the same birth time.
bool SameFolder(const platform::FileIdentity& then, const platform::FileIdentity& now) {
    return then.device == now.device && then.inode == now.inode &&
           (then.birth == 0 || now.birth == 0 || then.birth == now.birth);
}

std::string Refusal(const std::string& which, const std::string& path, const std::string& why) {
    return which + " \"" + path + "\" " + why + " Es wurde nichts rückgängig gemacht.";
}

// The name of this undo's folder in the trash.
std::string UndoTitle() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[64] = "";
    if (::localtime_r(&now, &local) != nullptr)
        std::strftime(text, sizeof text, "%d.%m.%Y %H.%M.%S", &local);
    return std::string("Gleichwart, rückgängig gemacht am ") + text;
}

} // namespace

UndoWork::UndoWork(const UndoPlan& plan, platform::FileOps& ops, UndoView& view, bool onlyCheck)
    : plan_(plan), ops_(ops), view_(view), check_(onlyCheck), start_(ops), target_(ops),
      trash_(ops), moves_(ops, platform::CurrentTrashPlaces(), UndoTitle()), sweep_(ops) {
    result_.onlyChecked = onlyCheck;
}

// Both roots must still be the folders of the run, where the run did anything in them: undo
// never works in a folder that has taken the place of one of them.
std::string UndoWork::openRoots() {
    bool used[2] = {false, false};
    for (const UndoEntry& e : plan_.entries)
        used[e.inStart ? 0 : 1] = true;
    for (const bool inStart : {false, true}) {
        if (!used[inStart ? 0 : 1])
            continue;
        const std::string& path = inStart ? plan_.startPath : plan_.targetPath;
        const char* which = inStart ? "Der Startordner" : "Der Zielordner";
        platform::FileIdentity now;
        const int err = (inStart ? start_ : target_).OpenRoot(path, &now);
        if (err == ENOENT || err == ENOTDIR)
            return Refusal(which, path, "ist nicht mehr vorhanden.");
        if (err != 0)
            return Refusal(which, path, "kann nicht geöffnet werden: " + ErrorDescription(err));
        if (!SameFolder(inStart ? plan_.start : plan_.target, now))
            return Refusal(which, path, "ist nicht mehr derselbe Ordner wie beim Abgleich.");
    }
    return {};
}

UndoResult UndoWork::Run() {
    result_.refused = openRoots();
    if (!result_.refused.empty())
        return result_;
    view_.StatusText(check_ ? "Prüfe, was sich rückgängig machen lässt..."
                            : "Mache den letzten Abgleich rückgängig...");
    const auto total = static_cast<std::int64_t>(plan_.entries.size());
    std::int64_t doneCount = 0;
    // Backwards: removed folders come back before the files put back into them, and made
    // folders go after the files made in them.
    for (auto e = plan_.entries.rbegin(); e != plan_.entries.rend(); ++e, ++doneCount) {
        if (view_.StopRequested()) {
            result_.stopped = true;
            break;
        }
        step(*e);
        if ((doneCount & 63) == 0) {
            view_.Progress(doneCount, total);
            view_.PumpEvents();
        }
    }
    view_.Progress(doneCount, total);
    if (check_)
        return result_;
    // What was put back is on the disk before undo says it is done.
    for (const platform::FolderRef& folder : touched_)
        ops_.SyncFileSystemOf(folder->fd);
    trash_.FlushAll();
    if (!result_.stopped)
        result_.markedUndone = MarkUndone(ops_, plan_.journal) == 0;
    return result_;
}

void UndoWork::step(const UndoEntry& e) {
    switch (e.kind) {
    case UndoKind::Made:
        return made(e);
    case UndoKind::Replaced:
        return replaced(e);
    case UndoKind::Trashed:
        return trashed(e);
    case UndoKind::DeletedForGood:
        return deletedForGood(e);
    case UndoKind::FolderMade:
        return folderMade(e);
    case UndoKind::FolderRemoved:
        return folderRemoved(e);
    }
}

int UndoWork::parent(const UndoEntry& e, platform::FolderRef& folder, std::string& name,
                     bool* again) {
    std::string_view path = plan_.PathOf(e);
    if (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    const std::string_view above = slash == std::string_view::npos ? "" : path.substr(0, slash + 1);
    name.assign(path.substr(above.size()));
    const int err = (e.inStart ? start_ : target_).Resolve(above, false, folder);
    if (err == 0) {
        sweep_.Folder(e.inStart, above, folder);
        touched(folder);
    } else if (err == ENOENT && again != nullptr && check_) {
        // Would a folder on the way be made again before this entry?
        std::string key(1, e.inStart ? 'S' : 'T');
        key.append(above);
        while (key.size() > 1 && !*again) {
            *again = again_.count(key) != 0;
            key.pop_back();
            const std::size_t up = key.rfind('/');
            key.resize(up == std::string::npos ? 1 : up + 1);
        }
    }
    return err;
}

void UndoWork::touched(const platform::FolderRef& folder) {
    platform::FileInfo st;
    if (check_ || ops_.Fstat(folder->fd, st) != 0 ||
        std::find(touchedDevices_.begin(), touchedDevices_.end(), st.device) !=
            touchedDevices_.end())
        return;
    touchedDevices_.push_back(st.device);
    touched_.push_back(folder);
}

void UndoWork::left(const UndoEntry& e, std::string reason) {
    result_.left.push_back({e.kind, plan_.FullPath(e), std::move(reason)});
}

void UndoWork::failed(const UndoEntry& e, int err) {
    left(e, err == ELOOP ? "Ein Teil des Pfads ist eine symbolische Verknüpfung."
                         : ErrorDescription(err));
}

int UndoWork::toTrash(const UndoEntry& e, const platform::FolderRef& folder,
                      const std::string& name, std::uint64_t device, std::size_t& slot) {
    const std::string_view path = plan_.PathOf(e);
    const int err = moves_.Claim(folder->fd, e.inStart ? plan_.startPath : plan_.targetPath,
                                 path.substr(0, path.size() - name.size()), name, device, slot);
    return err != 0 ? err : moves_.Move(slot);
}

UndoResult RunUndo(const UndoPlan& plan, platform::FileOps& ops, UndoView& view, bool onlyCheck) {
    UndoWork work(plan, ops, view, onlyCheck);
    return work.Run();
}
