#include "compare_folders.h"

#include "platform/file_system.h"
#include "sync_session.h"
#include "tree_paths.h"
#include "unreadable_start.h"

#include <memory>
#include <string_view>
#include <unordered_set>

namespace {

using Relatives = std::unordered_set<std::string_view>;

Relatives RelativesOf(const std::vector<std::string>& folders, std::size_t root) {
    Relatives r;
    r.reserve(folders.size());
    for (const std::string& f : folders)
        r.insert(std::string_view(f).substr(root));
    return r;
}

// "a/b/" → the parent "a/" and the name "b".
std::pair<std::string_view, std::string_view> Split(std::string_view relative) {
    const std::string_view bare = relative.substr(0, relative.size() - 1);
    const auto slash = bare.rfind('/');
    if (slash == std::string_view::npos)
        return {{}, bare};
    return {bare.substr(0, slash + 1), bare.substr(slash + 1)};
}

// Whether the folder `relative` is missing below the root `reader` reads: a folder the tree's
// scan entered is there; any other is asked of the file system, as a scan leaves out some
// folders that exist. Only a folder that is not there at all counts: a file, a link or an
// entry that cannot be examined in its place is left to the rules for files.
bool Missing(std::string_view relative, const Relatives* scanned, platform::TreeReader& reader) {
    if (scanned != nullptr && scanned->count(relative) != 0)
        return false;
    const auto [parent, name] = Split(relative);
    return reader.Examine(parent, std::string(name)).missing();
}

} // namespace

void CompareFolders(SyncSession& session, platform::FileSystem& fs,
                    const std::vector<FailedItem>& problems) {
    const SyncRule& rule = session.CurrentRule;
    if (!rule.Options.MatchFolders || !rule.IncludeSubfolders)
        return;
    const std::size_t startRoot = RootPrefixLength(session.StartPath);
    const std::size_t targetRoot = RootPrefixLength(session.TargetPath);
    const bool targetScanned = rule.ReverseAction != kNothingOnTarget;
    const Relatives starts = RelativesOf(session.StartFolders, startRoot);
    const Relatives targets = RelativesOf(session.TargetFolders, targetRoot);
    const std::unique_ptr<platform::TreeReader> targetReader = fs.OpenTree(session.TargetPath);
    for (const std::string& folder : session.StartFolders) {
        const std::string_view relative = std::string_view(folder).substr(startRoot);
        if (Missing(relative, targetScanned ? &targets : nullptr, *targetReader))
            session.FoldersToMake.push_back({std::string(relative), true});
    }
    if (!targetScanned)
        return;
    const bool copiesBack =
        rule.ReverseAction == kCopyBackMissing || rule.ReverseAction == kCopyBackBoth;
    const std::unique_ptr<platform::TreeReader> startReader = fs.OpenTree(session.StartPath);
    const UnreadableStart unreadable(problems, startRoot);
    for (const std::string& folder : session.TargetFolders) {
        const std::string_view relative = std::string_view(folder).substr(targetRoot);
        if (!Missing(relative, &starts, *startReader))
            continue;
        const auto [parent, name] = Split(relative);
        if (copiesBack) {
            session.FoldersToMake.push_back({std::string(relative), false});
        } else if (rule.deletesOnTarget() && !unreadable.covers(parent, std::string(name) + '/')) {
            MyFile* f = session.NewDeletionRecord(
                std::string_view(folder).substr(0, targetRoot + parent.size()),
                std::string(name) + '/');
            f->Attributes = MyFile::kFolderBit;
            session.DeleteList.push_back(f);
        }
    }
}
