#include "folder_loading.h"

#include "rules/exclusion_patterns.h"
#include "texts.h"

#include "compare_trees.h"
#include "copy_errors.h"
#include "event_throttle.h"
#include "load_view.h"
#include "platform/file_system.h"
#include "sync_session.h"
#include "tree_comparison.h"
#include "tree_scan.h"

#include <atomic>
#include <chrono>
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

// One count of what a load left out, with its noun in the singular or the plural.
std::string Counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

// What the load left out, by kind: the trash and lost+found of a file system (whatever the
// rule), links the rule does not take, sockets, FIFOs and devices, and what could not be read.
std::string LeftOutText(const LoadResult& r, std::size_t folders) {
    std::vector<std::string> parts;
    if (folders > 0)
        parts.push_back(Counted(folders, "Papierkorb- oder lost+found-Ordner",
                                "Papierkorb- oder lost+found-Ordner"));
    if (r.linksLeftOut > 0)
        parts.push_back(Counted(std::size_t(r.linksLeftOut), "symbolische Verknüpfung",
                                "symbolische Verknüpfungen"));
    if (r.specialLeftOut > 0)
        parts.push_back(Counted(std::size_t(r.specialLeftOut), "Sonderdatei (Socket, FIFO, Gerät)",
                                "Sonderdateien (Sockets, FIFOs, Geräte)"));
    if (r.excludedFiles > 0)
        parts.push_back(Counted(std::size_t(r.excludedFiles), "ausgeschlossene Datei",
                                "ausgeschlossene Dateien"));
    if (r.excludedFolders > 0)
        parts.push_back(Counted(std::size_t(r.excludedFolders), "ausgeschlossener Ordner",
                                "ausgeschlossene Ordner"));
    if (!r.problems.empty())
        parts.push_back(Counted(r.problems.size(), "unlesbarer Eintrag", "unlesbare Einträge"));
    return parts.empty() ? std::string() : ListedInGerman(parts) + " ausgelassen.";
}

// Hands what both scans found to the session, and their problems and counts to the result.
void KeepScans(SyncSession& session, TreeScan& start, TreeScan* target, LoadResult& result) {
    session.StartFileCount = start.found();
    result.problems = std::move(start.problems);
    session.StartLeftovers = std::move(start.leftovers);
    session.StartFolders = std::move(start.folders);
    std::size_t leftOut = start.foldersLeftOut;
    result.linksLeftOut = std::int64_t(start.linksLeftOut);
    result.specialLeftOut = std::int64_t(start.specialLeftOut);
    result.excludedFiles = std::int64_t(start.excludedFiles);
    result.excludedFolders = std::int64_t(start.excludedFolders);
    if (target != nullptr) {
        session.TargetFileCount = target->found();
        result.problems.insert(result.problems.end(), target->problems.begin(),
                               target->problems.end());
        session.TargetLeftovers = std::move(target->leftovers);
        session.TargetFolders = std::move(target->folders);
        leftOut += target->foldersLeftOut;
        result.linksLeftOut += std::int64_t(target->linksLeftOut);
        result.specialLeftOut += std::int64_t(target->specialLeftOut);
        result.excludedFiles += std::int64_t(target->excludedFiles);
        result.excludedFolders += std::int64_t(target->excludedFolders);
    }
    result.leftOut = LeftOutText(result, leftOut);
    result.startFiles = static_cast<std::int64_t>(session.StartFileCount);
    result.targetFiles = static_cast<std::int64_t>(session.TargetFileCount);
}

std::string RootErrorText(const TreeScan& scan) {
    return std::string(scan.startTree ? "Der Startordner " : "Der Zielordner ") +
           Quoted(scan.root) + " kann nicht gelesen werden: " + ErrorDescription(scan.rootError);
}

// Both trees are scanned at once, each on a thread of its own, so a slow disk on one side does
// not wait for the other; the view's thread compares their folders as they come, passes on
// what the scans report and keeps the view's events running. The view hears the start tree
// first, as if the trees were scanned one after the other.
class BothScans {
public:
    BothScans(SyncSession& session, platform::FileSystem& fs, LoadView& view,
              EventThrottle& throttle, const ExclusionPatterns& exclusions,
              FolderHandover& handover)
        : start(fs, session.CurrentRule, session.StartPath, true, stop_, handover, &exclusions),
          view_(view), throttle_(throttle), handover_(handover) {
        if (session.CurrentRule.scansTarget())
            target.emplace(fs, session.CurrentRule, session.TargetPath, false, stop_, handover,
                           &exclusions);
    }

    void run(TreeComparison& comparison) {
        std::thread startThread = launch(start);
        std::thread targetThread;
        if (target)
            targetThread = launch(*target);
        relayUntilDone(comparison);
        for (std::thread* t : {&startThread, &targetThread})
            if (t->joinable())
                t->join();
    }

    bool failed() const {
        return start.error || start.rootError != 0 ||
               (target && (target->error || target->rootError));
    }
    bool stopped() const { return stop_.load(); }

    TreeScan start;
    std::optional<TreeScan> target;

private:
    bool allFinished() const { return start.finished() && (!target || target->finished()); }

    // A scan that gets no thread of its own (the system has none to give) runs here, before the
    // other is waited for, without bounds on what it hands over: slower, but the same result.
    std::thread launch(TreeScan& scan) {
        try {
            return std::thread([&scan] { scan.run(); });
        } catch (const std::system_error&) {
            handover_.Unbound();
            scan.run(&throttle_);
            return std::thread();
        }
    }

    void stop() {
        stop_ = true;
        handover_.Stop(); // a scan waiting for room goes on to its end at once
    }

    void relayUntilDone(TreeComparison& comparison) {
        Shown startShown, targetShown;
        auto lastPump = std::chrono::steady_clock::now();
        while (true) {
            const bool finished = allFinished();
            Relay(start, startShown, view_);
            const bool startFinished = start.finished(); // once: the scan may end meanwhile
            const bool startRead = startFinished && !start.error && start.rootError == 0;
            if (target && startRead)
                Relay(*target, targetShown, view_);
            // A start root that cannot be read ends the load: the target is not needed.
            if (!stop_ && (view_.StopRequested() || (startFinished && !startRead)))
                stop();
            // Nothing is compared with a tree that could not be read to its end.
            if (!stop_ && !failedSoFar() && !comparison.Advance())
                stop();
            if (finished)
                break;
            // Every few milliseconds, not for each batch of folders compared.
            if (const auto now = std::chrono::steady_clock::now();
                now - lastPump >= std::chrono::milliseconds(5)) {
                view_.PumpEvents();
                lastPump = now;
                if (!stop_ && view_.StopRequested())
                    stop();
            }
            handover_.WaitForMore(std::chrono::milliseconds(10));
        }
    }

    // Whether a scan that has ended failed; what a scan still running holds is not read here.
    bool failedSoFar() const {
        const auto failedScan = [](const TreeScan& scan) {
            return scan.finished() && (scan.error || scan.rootError != 0);
        };
        return failedScan(start) || (target && failedScan(*target));
    }

    std::atomic<bool> stop_{false};
    LoadView& view_;
    EventThrottle& throttle_;
    FolderHandover& handover_;
};

// What was read is of no use without both trees; what could not be read stays on record, the
// start tree's first, and from the target only when the start was read.
void RecordFailedScan(BothScans& scans, LoadResult& result) {
    const bool startFailed = scans.start.error || scans.start.rootError != 0;
    result.problems = std::move(scans.start.problems);
    if (!startFailed)
        result.problems.insert(result.problems.end(), scans.target->problems.begin(),
                               scans.target->problems.end());
    result.error = startFailed ? scans.start.error : scans.target->error;
    if (!result.error)
        result.rootError = RootErrorText(startFailed ? scans.start : *scans.target);
}

} // namespace

LoadResult LoadFolders(SyncSession& session, platform::FileSystem& fs, LoadView& view) {
    session.ResetCollections();
    session.StartLeftovers = session.TargetLeftovers = {};
    session.AbortRequested = false;
    session.StartRoot = IdentifyFolder(fs, session.StartPath);
    session.TargetRoot = IdentifyFolder(fs, session.TargetPath);
    LoadResult result;
    EventThrottle throttle(view);
    // Compiled once, read by both scans.
    const ExclusionPatterns exclusions =
        ExclusionPatterns::Compile(session.CurrentRule.Options.Exclusions);
    FolderHandover handover;
    TreeComparison comparison(session, fs, view, throttle, handover);
    BothScans scans(session, fs, view, throttle, exclusions, handover);
    scans.run(comparison);
    // Nothing of a load that did not see both trees to their end is to be acted on.
    if (scans.failed() || scans.stopped())
        session.ResetCollections();
    if (scans.failed()) {
        RecordFailedScan(scans, result);
        return result;
    }
    KeepScans(session, scans.start, scans.target ? &*scans.target : nullptr, result);
    const std::int64_t files = result.startFiles + result.targetFiles;
    view.StatusText("Vergleiche " + std::to_string(files) + " Dateien...");
    if (scans.stopped())
        return result;
    const bool reverse = session.CurrentRule.ReverseAction != 0;
    result.compared =
        comparison.Finish(result.startFiles + (reverse ? result.targetFiles : 0)) &&
        CompleteLists(session, fs, view, result.problems, files, comparison.StartBytes());
    result.comparedBytes = comparison.StartBytes();
    for (const MyFile* f : session.CopyList)
        result.conflicts += f->IsConflict() ? 1 : 0;
    // Last, so that the status bar keeps it.
    if (result.compared && !result.leftOut.empty())
        view.StatusText(result.leftOut);
    return result;
}
