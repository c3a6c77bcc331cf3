#include "folder_loading.h"

#include "compare_trees.h"
#include "copy_errors.h"
#include "load_view.h"
#include "platform/file_system.h"
#include "sync_session.h"

namespace {

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// True when `inner` lies below `outer` (both canonical).
bool LiesInside(const std::string& inner, const std::string& outer) {
    if (outer == "/")
        return inner != "/";
    return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
           inner[outer.size()] == '/';
}

// Reports each file found into one of the session's collections, and each folder or file
// that could not be read into its scan problems.
class Collector final : public FindFileEvents {
public:
    Collector(SyncSession& session, FileList& into, LoadView& view, const std::string& root,
              bool startTree)
        : session_(session), into_(into), view_(view), root_(ScannedFolderName(root)),
          startTree_(startTree) {}

    void MatchFound(const std::string& sFilename, const std::string& sFilePath, DateTime sLastWrite,
                    std::int64_t& Filesize, std::int32_t& FileAttributes) override {
        MyFile* f = session_.NewRecord(sFilePath, sFilename);
        f->LastWrite = sLastWrite;
        f->Attributes = static_cast<std::uint16_t>(FileAttributes);
        f->Size = Filesize;
        into_.push_back(f);
        view_.ActivityStep();
    }
    // A root that could not be listed ends the search: the load fails anyway.
    void StopSearch(bool& Cancel) override { Cancel = session_.AbortRequested || rootError_ != 0; }
    void ReadFailed(const std::string& sPath, int ErrorNumber) override {
        session_.ScanProblems.push_back({sPath, ErrorNumber, startTree_});
        if (sPath == root_)
            rootError_ = ErrorNumber;
        view_.StatusText("Kann nicht gelesen werden: " + Quoted(sPath));
    }
    int rootError() const { return rootError_; }

private:
    SyncSession& session_;
    FileList& into_;
    LoadView& view_;
    const std::string root_;
    const bool startTree_;
    int rootError_ = 0;
};

} // namespace

bool FolderExists(platform::FileSystem& fs, const std::string& path) {
    const platform::AttributeResult a = fs.GetTargetAttributes(path);
    return a.ok() && (a.attributes & platform::kAttrDirectory) != 0;
}

bool FileExists(platform::FileSystem& fs, const std::string& path) {
    const platform::AttributeResult a = fs.GetFileAttributes(path);
    return a.ok() && (a.attributes & (platform::kAttrDirectory | platform::kAttrVolume)) == 0;
}

std::string CheckPaths(platform::FileSystem& fs, const std::string& startText,
                       const std::string& targetText) {
    std::string message;
    if (Trimmed(startText).empty())
        message = "Es wurde kein Startpfad angegeben !!";
    else if (!FolderExists(fs, startText))
        message = "Der Startpfad: " + Quoted(startText) + "existiert nicht !!";
    if (Trimmed(targetText).empty())
        message = "Es wurde kein Zielpfad angegeben !!";
    else if (!FolderExists(fs, targetText))
        message = "Der Zielpfad: " + Quoted(targetText) + "existiert nicht !!";
    if (!message.empty())
        return message;
    // One tree inside the other would copy the tree into itself, or delete what was just
    // copied: such a pair is refused. The same folder twice is harmless and allowed.
    const std::string start = fs.CanonicalPath(startText);
    const std::string target = fs.CanonicalPath(targetText);
    if (!start.empty() && !target.empty()) {
        if (LiesInside(target, start))
            return "Der Zielpfad: " + Quoted(targetText) + " liegt innerhalb des Startpfads !!";
        if (LiesInside(start, target))
            return "Der Startpfad: " + Quoted(startText) + " liegt innerhalb des Zielpfads !!";
    }
    return {};
}

std::int32_t ScanMask(const SyncRule& rule) {
    if (rule.HiddenFiles && rule.ReadOnlyFiles && rule.SystemFiles)
        return 423; // only then are temporary files admitted
    std::int32_t mask = 160;
    if (rule.HiddenFiles)
        mask += 2;
    if (rule.ReadOnlyFiles)
        mask += 1;
    if (rule.SystemFiles)
        mask += 4;
    return mask;
}

FolderIdentity IdentifyFolder(platform::FileSystem& fs, const std::string& path) {
    platform::FileId id;
    if (fs.GetTargetId(path, id) != 0)
        return {};
    return {id.device, id.inode, true, id.birth};
}

namespace {

// One tree into its collection, with the rule's attribute and subfolder options. False when
// the load cannot go on; `result` then says why.
bool ScanTree(SyncSession& session, platform::FileSystem& fs, LoadView& view, bool startTree,
              LoadResult& result) {
    const std::string& root = startTree ? session.StartPath : session.TargetPath;
    Collector collector(session, startTree ? session.StartFiles : session.TargetFiles, view, root,
                        startTree);
    FindFile scanner(fs, collector);
    scanner.setSFileToFind("*.*");
    scanner.setSFileFlag(ScanMask(session.CurrentRule));
    scanner.setSInclSubfolders(session.CurrentRule.IncludeSubfolders);
    view.StatusText("Durchsuche: " + Quoted(root));
    scanner.setSSearchpath(root);
    result.error = scanner.sStartSearch();
    if (result.error)
        return false;
    if (const int err = collector.rootError(); err != 0) {
        result.rootError = std::string(startTree ? "Der Startordner " : "Der Zielordner ") +
                           Quoted(root) + " kann nicht gelesen werden: " + ErrorDescription(err);
        return false;
    }
    return true;
}

} // namespace

LoadResult LoadFolders(SyncSession& session, platform::FileSystem& fs, LoadView& view) {
    session.ResetCollections();
    session.AbortRequested = false;
    session.StartRoot = IdentifyFolder(fs, session.StartPath);
    session.TargetRoot = IdentifyFolder(fs, session.TargetPath);
    LoadResult result;

    const bool scanned =
        ScanTree(session, fs, view, true, result) &&
        (!session.CurrentRule.scansTarget() || ScanTree(session, fs, view, false, result));
    if (!result.rootError.empty()) {
        // What the start tree held is of no use without its counterpart; what could not be
        // read stays on record.
        std::vector<ScanProblem> problems = std::move(session.ScanProblems);
        session.ResetCollections();
        session.ScanProblems = std::move(problems);
    }
    if (!scanned)
        return result;

    view.StatusText("Vergleiche " +
                    std::to_string(session.StartFiles.size() + session.TargetFiles.size()) +
                    " Dateien...");
    result.compared = CompareTrees(session, fs, view);
    return result;
}
