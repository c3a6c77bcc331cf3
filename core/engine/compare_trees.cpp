#include "compare_trees.h"

#include "counterpart_cursor.h"
#include "counterpart_lookups.h"
#include "load_view.h"
#include "maybe_do_events.h"
#include "platform/file_system.h"
#include "sync_session.h"
#include "texts.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unordered_set>

namespace {

// How far the scanner's paths reach into a root: the root with one trailing "/".
std::size_t RootPrefixLength(const std::string& root) {
    return root.empty() || root.back() != '/' ? root.size() + 1 : root.size();
}

std::string RootWithSlash(const std::string& root) {
    std::string r = root;
    while (r.size() > 1 && r.back() == '/' && r[r.size() - 2] == '/')
        r.pop_back();
    if (r.empty() || r.back() != '/')
        r += '/';
    return r;
}

// Strictly later than the other time plus five seconds; five seconds or less count as equal.
bool LaterByMoreThanFiveSeconds(DateTime mine, DateTime other) {
    return mine > other + 5;
}

using Seen = platform::SeenDestination;
using Kind = Seen::Kind;

// What an examination of the counterpart found.
Seen FromState(const platform::FileState& st) {
    if (st.missing())
        return {Kind::Absent};
    if (!st.ok())
        return {Kind::Unknown}; // a link on the way, no permission, an I/O error
    if (S_ISDIR(st.mode))
        return {Kind::Folder};
    if (!S_ISREG(st.mode))
        return {Kind::Other};
    return {Kind::File, st.size, st.lastWrite};
}

// The counterpart's last-write time; the zero date when there is no file to read it from.
DateTime TimeOf(const Seen& other) {
    return other.kind == Kind::File ? other.lastWrite : kZeroDate;
}

enum class Counterpart { Missing, Present, Unknown };

// Whether the counterpart is there. One that cannot be examined (permission denied, an I/O
// error, a link on the way: anything but "does not exist") is not missing: a read error must
// never lead to a deletion or an overwrite on the other side. A folder of the same name
// counts as missing, as a file is looked for.
Counterpart Probe(const Seen& other) {
    switch (other.kind) {
    case Kind::Absent:
    case Kind::Folder:
        return Counterpart::Missing;
    case Kind::Unknown:
        return Counterpart::Unknown;
    default:
        return Counterpart::Present;
    }
}

} // namespace

bool StartFileChosen(int copyCondition, DateTime mine, const Seen& other) {
    switch (copyCondition) {
    case 0:
        return LaterByMoreThanFiveSeconds(mine, TimeOf(other));
    case 1:
        return other.kind != Kind::File && other.kind != Kind::Other;
    case 2: {
        const DateTime t = TimeOf(other);
        return t != kZeroDate && LaterByMoreThanFiveSeconds(mine, t);
    }
    default:
        return false;
    }
}

TargetChoice TargetFileChoice(int reverseAction, DateTime mine, const Seen& other) {
    switch (reverseAction) {
    case 1: {
        const DateTime t = TimeOf(other);
        return t != kZeroDate && LaterByMoreThanFiveSeconds(mine, t) ? TargetChoice::CopyBack
                                                                     : TargetChoice::None;
    }
    case 2:
        return Probe(other) == Counterpart::Missing ? TargetChoice::CopyBack : TargetChoice::None;
    case 3: {
        const Counterpart c = Probe(other);
        if (c == Counterpart::Missing)
            return TargetChoice::CopyBack;
        if (c == Counterpart::Unknown)
            return TargetChoice::None;
        // A start file whose time cannot be read is not overwritten either.
        const DateTime t = TimeOf(other);
        return t != kZeroDate && LaterByMoreThanFiveSeconds(mine, t) ? TargetChoice::CopyBack
                                                                     : TargetChoice::None;
    }
    case 4:
    case 5:
        return Probe(other) == Counterpart::Missing ? TargetChoice::Delete : TargetChoice::None;
    default:
        return TargetChoice::None;
    }
}

namespace {

// The relative paths of the start tree that could not be read: below them nothing is known,
// so nothing on the target side may be deleted for their sake.
class UnreadableStart {
public:
    UnreadableStart(const SyncSession& session, std::size_t startRoot) {
        for (const ScanProblem& p : session.ScanProblems)
            if (p.inStartTree && p.path.size() >= startRoot)
                paths_.insert(p.path.substr(startRoot));
    }
    // True when `relativeFolder` + `name`, or a folder above it, could not be read.
    bool covers(std::string_view relativeFolder, std::string_view name) const {
        if (paths_.empty())
            return false;
        if (paths_.count(std::string(relativeFolder) + std::string(name)) != 0)
            return true;
        if (paths_.count("") != 0)
            return true;
        for (auto slash = relativeFolder.find('/'); slash != std::string_view::npos;
             slash = relativeFolder.find('/', slash + 1))
            if (paths_.count(std::string(relativeFolder.substr(0, slash + 1))) != 0)
                return true;
        return false;
    }

private:
    std::unordered_set<std::string> paths_;
};

// Threads that ask ahead for the counterparts the other scan did not see, where the other tree
// lies on a device on which each question waits; null where one question at a time is as fast.
std::unique_ptr<CounterpartLookups> LookupsIn(platform::FileSystem& fs, const std::string& root,
                                              const RecordStore& mine, std::size_t mineRoot,
                                              CounterpartLookups::Tree other) {
    const int inFlight = fs.ListingsInFlight(root);
    if (inFlight <= 1)
        return nullptr;
    auto lookups = std::make_unique<CounterpartLookups>(fs, root, inFlight, mine, mineRoot, other);
    return lookups->threads() > 0 ? std::move(lookups) : nullptr;
}

} // namespace

std::string CounterpartPath(const SyncSession& session, const std::string& path, bool isStart) {
    const std::string& from = isStart ? session.StartPath : session.TargetPath;
    const std::string& to = isStart ? session.TargetPath : session.StartPath;
    const std::size_t skip = RootPrefixLength(from);
    return RootWithSlash(to) + (skip < path.size() ? path.substr(skip) : std::string());
}

bool CompareTrees(SyncSession& session, platform::FileSystem& fs, LoadView& view) {
    // A scan stopped before it found anything must not pass for a complete comparison.
    if (session.AbortRequested)
        return false;
    const int reverse = session.CurrentRule.ReverseAction;
    const auto startCount = static_cast<std::int64_t>(session.StartFiles.size());
    view.ShowComparisonProgress(startCount +
                                (reverse != 0 ? std::int64_t(session.TargetFiles.size()) : 0));
    std::int64_t total = 0;
    std::int64_t position = 0;
    const std::size_t startRoot = RootPrefixLength(session.StartPath);
    const std::size_t targetRoot = RootPrefixLength(session.TargetPath);
    // Each tree that was scanned answers for its own files, found by walking both trees in
    // their common order side by side; the file system is asked only about files a scan did
    // not see (missing, or left out by the attribute options), and below the other root
    // without following links, as the run will write there.
    std::optional<CounterpartCursor> inTarget;
    if (reverse != 0)
        inTarget.emplace(session.TargetFiles, targetRoot);
    std::unique_ptr<CounterpartLookups> targetLookups =
        LookupsIn(fs, session.TargetPath, session.StartFiles, startRoot,
                  {reverse != 0 ? &session.TargetFiles : nullptr, targetRoot});
    std::unique_ptr<platform::TreeReader> targetReader = fs.OpenTree(session.TargetPath);
    const auto keepWaiting = [&] {
        DoEventsNow();
        return !session.AbortRequested;
    };
    // What lies at the counterpart; nothing when "Abbrechen" ended the wait for it.
    auto counterpart = [&](const MyFile& f, std::optional<CounterpartCursor>& scanned,
                           std::size_t ownRoot, platform::TreeReader& otherTree,
                           CounterpartLookups* lookups) -> std::optional<Seen> {
        const std::string_view folder = f.FolderView();
        const std::string_view relative =
            ownRoot <= folder.size() ? folder.substr(ownRoot) : std::string_view();
        if (scanned) {
            if (const MyFile* other = scanned->find(relative, f.Name(), folder.data()))
                return Seen{Kind::File, other->Size, other->LastWrite};
        }
        if (lookups != nullptr) {
            const std::optional<platform::FileState> state = lookups->take(f, keepWaiting);
            return state ? std::optional<Seen>(FromState(*state)) : std::nullopt;
        }
        return FromState(otherTree.Examine(relative, f.Name()));
    };
    for (MyFile* f : session.StartFiles) {
        if (session.AbortRequested)
            return false;
        view.ComparisonProgress(++position);
        total += f->Size;
        const std::optional<Seen> seen =
            counterpart(*f, inTarget, startRoot, *targetReader, targetLookups.get());
        if (!seen)
            return false;
        const Seen& other = *seen;
        if (StartFileChosen(session.CurrentRule.CopyCondition, f->LastWrite, other)) {
            f->IsStart = true;
            session.RememberCounterpart(*f, other);
            session.CopyList.push_back(f);
        }
        MaybeDoEvents();
    }
    targetReader.reset();
    targetLookups.reset();
    if (reverse != 0) {
        std::optional<CounterpartCursor> inStart;
        inStart.emplace(session.StartFiles, startRoot);
        std::unique_ptr<CounterpartLookups> startLookups =
            LookupsIn(fs, session.StartPath, session.TargetFiles, targetRoot,
                      {&session.StartFiles, startRoot});
        std::unique_ptr<platform::TreeReader> startReader = fs.OpenTree(session.StartPath);
        const UnreadableStart unreadable(session, startRoot);
        for (MyFile* f : session.TargetFiles) {
            if (session.AbortRequested)
                return false;
            view.ComparisonProgress(++position);
            const std::optional<Seen> seen =
                counterpart(*f, inStart, targetRoot, *startReader, startLookups.get());
            if (!seen)
                return false;
            const Seen& other = *seen;
            switch (TargetFileChoice(reverse, f->LastWrite, other)) {
            case TargetChoice::CopyBack:
                session.RememberCounterpart(*f, other);
                session.CopyList.push_back(f);
                break;
            case TargetChoice::Delete: {
                const std::string_view folder = f->FolderView();
                if (!unreadable.covers(folder.substr(std::min(targetRoot, folder.size())),
                                       f->Name()))
                    session.DeleteList.push_back(f);
                break;
            }
            case TargetChoice::None:
                break;
            }
            MaybeDoEvents();
        }
    }
    for (MyFile* f : session.CopyList)
        f->Selected = true;
    for (MyFile* f : session.DeleteList)
        f->Selected = true;
    view.StatusText("Es wurden " +
                    std::to_string(session.StartFiles.size() + session.TargetFiles.size()) +
                    " Dateien (" + FormatSize(total) + ") verglichen.");
    return true;
}
