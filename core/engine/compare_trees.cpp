#include "compare_trees.h"

#include "compare_folders.h"

#include "exact_stamps.h"
#include "load_view.h"
#include "sync_session.h"
#include "texts.h"
#include "tree_paths.h"
#include "unreadable_start.h"

#include <algorithm>

namespace {

std::string RootWithSlash(const std::string& root) {
    std::string r = root;
    while (r.size() > 1 && r.back() == '/' && r[r.size() - 2] == '/')
        r.pop_back();
    if (r.empty() || r.back() != '/')
        r += '/';
    return r;
}

// Nothing is deleted for the sake of what the start tree could not show.
void KeepReadableDeletions(SyncSession& session, const std::vector<FailedItem>& problems) {
    const UnreadableStart unreadable(problems, RootPrefixLength(session.StartPath));
    const std::size_t targetRoot = RootPrefixLength(session.TargetPath);
    const auto covered = [&](const MyFile* f) {
        return unreadable.covers(RelativeFolderOf(*f, targetRoot), f->Name());
    };
    FileList& list = session.DeleteList;
    list.erase(std::remove_if(list.begin(), list.end(), covered), list.end());
}

} // namespace

std::string CounterpartPath(const SyncSession& session, const std::string& path, bool isStart) {
    const std::string& from = isStart ? session.StartPath : session.TargetPath;
    const std::string& to = isStart ? session.TargetPath : session.StartPath;
    const std::size_t skip = RootPrefixLength(from);
    return RootWithSlash(to) + (skip < path.size() ? path.substr(skip) : std::string());
}

bool CompleteLists(SyncSession& session, platform::FileSystem& fs, LoadView& view,
                   const std::vector<FailedItem>& problems, std::int64_t compared,
                   std::int64_t bytes) {
    KeepReadableDeletions(session, problems);
    CompareFolders(session, fs, problems);
    if (!TakeExactStamps(session, fs, view))
        return false;
    // A conflict waits for the user's tick.
    for (MyFile* f : session.CopyList)
        f->Selected = !f->IsConflict();
    for (MyFile* f : session.DeleteList)
        f->Selected = true;
    view.StatusText("Es wurden " + std::to_string(compared) + " Dateien (" + FormatSize(bytes) +
                    ") verglichen.");
    return true;
}
