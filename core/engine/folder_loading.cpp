#include "folder_loading.h"

#include "compare_trees.h"
#include "copy_errors.h"
#include "load_view.h"
#include "maybe_do_events.h"
#include "platform/file_system.h"
#include "sync_session.h"
#include "tree_scan.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

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

// What a scan reported and the window has not seen yet.
struct Shown {
    std::size_t files = 0;
    bool announced = false;
};

// Passes on the status texts and one activity step per file found since the last call.
void Relay(TreeScan& scan, Shown& shown, LoadView& view) {
    if (!shown.announced) {
        view.StatusText("Durchsuche: " + Quoted(scan.root));
        shown.announced = true;
    }
    for (std::string& text : scan.takeTexts())
        view.StatusText(text);
    const std::size_t found = scan.found();
    if (found > shown.files)
        view.ActivitySteps(found - shown.files);
    shown.files = found;
}

// The trash and lost+found of a file system hold nothing a user copies or deletes: such
// folders are left out whatever the rule, and the user is told how many.
std::string LeftOutText(std::size_t folders) {
    if (folders == 0)
        return {};
    return std::to_string(folders) + " Papierkorb- oder lost+found-Ordner ausgelassen.";
}

// Hands what both scans found to the session; returns how many folders they left out.
std::size_t KeepScans(SyncSession& session, TreeScan& start, TreeScan* target) {
    session.StartFiles = std::move(start.files);
    session.ScanProblems = std::move(start.problems);
    session.StartLeftovers = std::move(start.leftovers);
    if (target == nullptr)
        return start.foldersLeftOut;
    session.TargetFiles = std::move(target->files);
    session.ScanProblems.insert(session.ScanProblems.end(), target->problems.begin(),
                                target->problems.end());
    session.TargetLeftovers = std::move(target->leftovers);
    return start.foldersLeftOut + target->foldersLeftOut;
}

std::string RootErrorText(const TreeScan& scan) {
    return std::string(scan.startTree ? "Der Startordner " : "Der Zielordner ") +
           Quoted(scan.root) + " kann nicht gelesen werden: " + ErrorDescription(scan.rootError);
}

} // namespace

LoadResult LoadFolders(SyncSession& session, platform::FileSystem& fs, LoadView& view) {
    session.ResetCollections();
    session.StartLeftovers = session.TargetLeftovers = {};
    session.AbortRequested = false;
    session.StartRoot = IdentifyFolder(fs, session.StartPath);
    session.TargetRoot = IdentifyFolder(fs, session.TargetPath);
    LoadResult result;

    // Both trees are scanned at once, each on a thread of its own, so a slow disk on one side
    // does not wait for the other; this thread passes on what they report and keeps the
    // window's events running. The window hears the start tree first, as if the trees were
    // scanned one after the other.
    std::atomic<bool> stop{false};
    TreeScan start(fs, session.CurrentRule, session.StartPath, true, stop);
    std::optional<TreeScan> target;
    if (session.CurrentRule.scansTarget())
        target.emplace(fs, session.CurrentRule, session.TargetPath, false, stop);
    std::mutex doneMutex;
    std::condition_variable done;
    auto runScan = [&](TreeScan& scan) {
        scan.run();
        const std::lock_guard<std::mutex> lock(doneMutex);
        done.notify_one();
    };
    // A scan that gets no thread of its own (the system has none to give) runs here, before
    // the other is waited for: slower, but the same result.
    auto startScan = [&](TreeScan& scan) {
        try {
            return std::thread(runScan, std::ref(scan));
        } catch (const std::system_error&) {
            scan.run(true);
            return std::thread();
        }
    };
    std::thread startThread = startScan(start);
    std::thread targetThread;
    if (target)
        targetThread = startScan(*target);

    Shown startShown, targetShown;
    auto allFinished = [&] { return start.finished() && (!target || target->finished()); };
    while (true) {
        const bool finished = allFinished();
        Relay(start, startShown, view);
        const bool startFinished = start.finished(); // once: the scan may end meanwhile
        const bool startRead = startFinished && !start.error && start.rootError == 0;
        if (target && startRead)
            Relay(*target, targetShown, view);
        if (finished)
            break;
        DoEventsNow();
        // A start root that cannot be read ends the load: the target is not needed.
        if (session.AbortRequested || (startFinished && !startRead))
            stop = true;
        std::unique_lock<std::mutex> lock(doneMutex);
        done.wait_for(lock, std::chrono::milliseconds(10), allFinished);
    }
    for (std::thread* t : {&startThread, &targetThread})
        if (t->joinable())
            t->join();

    if (start.error || start.rootError != 0 || (target && (target->error || target->rootError))) {
        // What was read is of no use without both trees; what could not be read stays on
        // record, the start tree's first, and from the target only when the start was read.
        const bool startFailed = start.error || start.rootError != 0;
        session.ScanProblems = std::move(start.problems);
        if (!startFailed)
            session.ScanProblems.insert(session.ScanProblems.end(), target->problems.begin(),
                                        target->problems.end());
        result.error = startFailed ? start.error : target->error;
        if (!result.error) {
            const TreeScan& failed = startFailed ? start : *target;
            result.rootError = RootErrorText(failed);
        }
        return result;
    }
    result.leftOut = LeftOutText(KeepScans(session, start, target ? &*target : nullptr));

    view.StatusText("Vergleiche " +
                    std::to_string(session.StartFiles.size() + session.TargetFiles.size()) +
                    " Dateien...");
    result.compared = CompareTrees(session, fs, view);
    // Last, so that the status bar keeps it.
    if (result.compared && !result.leftOut.empty())
        view.StatusText(result.leftOut);
    return result;
}
