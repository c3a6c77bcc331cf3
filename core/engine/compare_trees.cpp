#include "compare_trees.h"

#include "compare_folders.h"

#include "counterpart_cursor.h"
#include "counterpart_lookups.h"
#include "event_throttle.h"
#include "exact_stamps.h"
#include "load_view.h"
#include "platform/file_system.h"
#include "platform/seen_file.h"
#include "rules/rule_decisions.h"
#include "sync_session.h"
#include "texts.h"
#include "tree_paths.h"
#include "unreadable_start.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace {

std::string RootWithSlash(const std::string& root) {
    std::string r = root;
    while (r.size() > 1 && r.back() == '/' && r[r.size() - 2] == '/')
        r.pop_back();
    if (r.empty() || r.back() != '/')
        r += '/';
    return r;
}

using Seen = platform::SeenDestination;
using Kind = Seen::Kind;

// What an examination of the counterpart found. A link is one when the rule takes links,
// otherwise something else that is there.
Seen FromState(const platform::FileState& st, bool linksTaken) {
    if (st.missing())
        return {Kind::Absent};
    if (!st.ok())
        return {Kind::Unknown}; // a link on the way, no permission, an I/O error
    if (st.info.isFolder())
        return {Kind::Folder};
    const bool link = linksTaken && st.info.type == platform::FileInfo::Type::Link;
    if (!st.info.isFile() && !link)
        return {Kind::Other};
    return {link ? Kind::Link : Kind::File, st.info.size, DateTimeFromUnix(st.info.writeSeconds()),
            platform::StampOf(st.info)};
}

// A link on one side where the other has a file or a folder of that name: listed for the
// user, never acted on.
bool KindsClash(const MyFile& f, const Seen& other) {
    return f.IsLink() ? other.kind == Kind::File || other.kind == Kind::Folder
                      : other.kind == Kind::Link;
}

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

namespace {

// One tree's files against the other tree: found by walking both trees' records in their
// common order side by side; the file system is asked only about files a scan did not see
// (missing, or left out by the attribute options), and below the other root without following
// links, as the run will write there.
class CounterpartFinder {
public:
    CounterpartFinder(SyncSession& session, platform::FileSystem& fs, LoadView& view,
                      bool fromStart)
        : view_(view),
          ownRoot_(RootPrefixLength(fromStart ? session.StartPath : session.TargetPath)),
          linksTaken_(session.CurrentRule.Options.SymbolicLinks) {
        const std::string& otherPath = fromStart ? session.TargetPath : session.StartPath;
        const RecordStore& own = fromStart ? session.StartFiles : session.TargetFiles;
        const std::size_t otherRoot = RootPrefixLength(otherPath);
        // The target's records are there only when the rule scanned the target.
        const RecordStore* scanned = !fromStart || session.CurrentRule.ReverseAction != 0
                                         ? (fromStart ? &session.TargetFiles : &session.StartFiles)
                                         : nullptr;
        if (scanned != nullptr)
            cursor_.emplace(*scanned, otherRoot);
        lookups_ = LookupsIn(fs, otherPath, own, ownRoot_, {scanned, otherRoot});
        otherTree_ = fs.OpenTree(otherPath);
    }

    std::string_view relative(const MyFile& f) const { return RelativeFolderOf(f, ownRoot_); }

    // What lies at the counterpart; nothing when "Abbrechen" ended the wait for it.
    std::optional<Seen> find(const MyFile& f) {
        const std::string_view rel = relative(f);
        if (cursor_) {
            if (const MyFile* other = cursor_->find(rel, f.Name(), f.FolderView().data()))
                return Seen{other->IsLink() ? Kind::Link : Kind::File, other->Size,
                            other->LastWrite};
        }
        if (lookups_ != nullptr) {
            const auto keepWaiting = [this] {
                view_.PumpEvents();
                return !view_.StopRequested();
            };
            const std::optional<platform::FileState> state = lookups_->take(f, keepWaiting);
            return state ? std::optional<Seen>(FromState(*state, linksTaken_)) : std::nullopt;
        }
        return FromState(otherTree_->Examine(rel, f.Name()), linksTaken_);
    }

private:
    LoadView& view_;
    std::size_t ownRoot_;
    bool linksTaken_;
    std::optional<CounterpartCursor> cursor_;
    std::unique_ptr<CounterpartLookups> lookups_;
    std::unique_ptr<platform::TreeReader> otherTree_;
};

// The start files chosen under the copy condition go on the copy list. False when stopped.
bool CompareStartFiles(SyncSession& session, platform::FileSystem& fs, LoadView& view,
                       EventThrottle& throttle, std::int64_t& position, std::int64_t& total) {
    CounterpartFinder target(session, fs, view, true);
    for (MyFile* f : session.StartFiles) {
        if (view.StopRequested())
            return false;
        view.ComparisonProgress(++position);
        total += f->Size;
        std::optional<Seen> other = target.find(*f);
        if (!other)
            return false;
        const std::int32_t condition = session.CurrentRule.CopyCondition;
        const bool clash = KindsClash(*f, *other);
        const bool chosen = !clash && StartFileChosen(condition, f->LastWrite, *other);
        const bool conflict =
            clash || (!chosen && SameTimeOtherSize(condition, f->LastWrite, f->Size, *other));
        if (chosen || conflict) {
            if (conflict)
                f->MarkConflict();
            f->IsStart = true;
            session.RememberCounterpart(*f, *other);
            session.CopyList.push_back(f);
        }
        throttle.MaybeDoEvents();
    }
    return true;
}

// The target files copied back or deleted under the rule's action on the target side. False
// when stopped.
bool CompareTargetFiles(SyncSession& session, platform::FileSystem& fs, LoadView& view,
                        EventThrottle& throttle, const std::vector<FailedItem>& problems,
                        std::int64_t& position) {
    const int reverse = session.CurrentRule.ReverseAction;
    CounterpartFinder start(session, fs, view, false);
    const UnreadableStart unreadable(problems, RootPrefixLength(session.StartPath));
    for (MyFile* f : session.TargetFiles) {
        if (view.StopRequested())
            return false;
        view.ComparisonProgress(++position);
        std::optional<Seen> other = start.find(*f);
        if (!other)
            return false;
        const std::string_view relative = start.relative(*f);
        if (KindsClash(*f, *other)) {
            // Listed once: from the start side where the start tree has a file or link of
            // that name, from here where it has a folder. Never copied back or deleted.
            if (other->kind == Kind::Folder) {
                f->MarkConflict();
                session.RememberCounterpart(*f, *other);
                session.CopyList.push_back(f);
            }
            throttle.MaybeDoEvents();
            continue;
        }
        switch (TargetFileChoice(reverse, f->LastWrite, *other)) {
        case TargetChoice::CopyBack:
            session.RememberCounterpart(*f, *other);
            session.CopyList.push_back(f);
            break;
        case TargetChoice::Delete:
            if (!unreadable.covers(relative, f->Name())) {
                session.RememberAsLoaded(
                    *f, {f->IsLink() ? Kind::Link : Kind::File, f->Size, f->LastWrite});
                session.DeleteList.push_back(f);
            }
            break;
        case TargetChoice::None:
            break;
        }
        throttle.MaybeDoEvents();
    }
    return true;
}

} // namespace

bool CompareTrees(SyncSession& session, platform::FileSystem& fs, LoadView& view,
                  EventThrottle& throttle, const std::vector<FailedItem>& problems) {
    // A scan stopped before it found anything must not pass for a complete comparison.
    if (view.StopRequested())
        return false;
    const bool reverse = session.CurrentRule.ReverseAction != 0;
    view.ShowComparisonProgress(std::int64_t(session.StartFiles.size()) +
                                (reverse ? std::int64_t(session.TargetFiles.size()) : 0));
    std::int64_t total = 0;
    std::int64_t position = 0;
    if (!CompareStartFiles(session, fs, view, throttle, position, total))
        return false;
    if (reverse && !CompareTargetFiles(session, fs, view, throttle, problems, position))
        return false;
    CompareFolders(session, fs, problems);
    if (!TakeExactStamps(session, fs, view))
        return false;
    // A conflict waits for the user's tick.
    for (MyFile* f : session.CopyList)
        f->Selected = !f->IsConflict();
    for (MyFile* f : session.DeleteList)
        f->Selected = true;
    view.StatusText("Es wurden " +
                    std::to_string(session.StartFiles.size() + session.TargetFiles.size()) +
                    " Dateien (" + FormatSize(total) + ") verglichen.");
    return true;
}
