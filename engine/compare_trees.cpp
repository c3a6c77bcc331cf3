#include "compare_trees.h"

#include "load_view.h"
#include "maybe_do_events.h"
#include "platform/file_system.h"
#include "sync_session.h"
#include "texts.h"
#include "tree_index.h"

#include "folder_loading.h"

#include <optional>

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

enum class Counterpart { Missing, Present, Unknown };

// Whether the counterpart is there. A path that cannot be examined (permission denied, an
// I/O error: anything but "does not exist") is not missing: a read error must never lead
// to a deletion or an overwrite on the other side.
Counterpart Probe(platform::FileSystem& fs, const std::string& path) {
    const platform::AttributeResult a = fs.GetFileAttributes(path);
    if (a.ok())
        return (a.attributes & (platform::kAttrDirectory | platform::kAttrVolume)) == 0
                   ? Counterpart::Present
                   : Counterpart::Missing;
    return a.missing() ? Counterpart::Missing : Counterpart::Unknown;
}

// What the comparison knows of a counterpart: the scanned record of the other tree when the
// scan saw it, else the file system is asked.
struct Other {
    const MyFile* scanned = nullptr;
    std::string path;
    platform::FileSystem& fs;

    DateTime lastWrite() const {
        return scanned != nullptr ? scanned->LastWrite : fs.GetFileLastWrite(path);
    }
    bool exists() const { return scanned != nullptr || FileExists(fs, path); }
    Counterpart probe() const {
        return scanned != nullptr ? Counterpart::Present : Probe(fs, path);
    }
};

bool ChooseStartFile(const MyFile& f, const Other& other, int copyCondition) {
    switch (copyCondition) {
    case 0:
        return LaterByMoreThanFiveSeconds(f.LastWrite, other.lastWrite());
    case 1:
        return !other.exists();
    case 2: {
        const DateTime t = other.lastWrite();
        return t != kZeroDate && LaterByMoreThanFiveSeconds(f.LastWrite, t);
    }
    default:
        return false;
    }
}

enum class TargetChoice { None, CopyBack, Delete };

TargetChoice ChooseTargetFile(const MyFile& f, const Other& other, int reverseAction) {
    switch (reverseAction) {
    case 1: {
        const DateTime t = other.lastWrite();
        return t != kZeroDate && LaterByMoreThanFiveSeconds(f.LastWrite, t) ? TargetChoice::CopyBack
                                                                            : TargetChoice::None;
    }
    case 2:
        return other.probe() == Counterpart::Missing ? TargetChoice::CopyBack : TargetChoice::None;
    case 3: {
        const Counterpart c = other.probe();
        if (c == Counterpart::Missing)
            return TargetChoice::CopyBack;
        if (c == Counterpart::Unknown)
            return TargetChoice::None;
        // A start file whose time cannot be read is not overwritten either.
        const DateTime t = other.lastWrite();
        return t != kZeroDate && LaterByMoreThanFiveSeconds(f.LastWrite, t) ? TargetChoice::CopyBack
                                                                            : TargetChoice::None;
    }
    case 4:
    case 5:
        return other.probe() == Counterpart::Missing ? TargetChoice::Delete : TargetChoice::None;
    default:
        return TargetChoice::None;
    }
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
    // Each tree that was scanned answers for its own files; the file system is asked only
    // about files a scan did not see (missing, or left out by the attribute options).
    std::optional<TreeIndex> targetIndex;
    if (reverse != 0)
        targetIndex.emplace(session.TargetFiles, targetRoot);
    auto counterpart = [&](const MyFile& f, bool isStart, const std::optional<TreeIndex>& index,
                           std::size_t ownRoot) {
        const std::string_view folder = f.FolderView();
        const std::string_view relative =
            ownRoot <= folder.size() ? folder.substr(ownRoot) : std::string_view();
        Other other{index ? index->find(relative, f.Name) : nullptr, std::string(), fs};
        if (other.scanned == nullptr)
            other.path = CounterpartPath(session, f.Path(), isStart);
        return other;
    };
    for (MyFile* f : session.StartFiles) {
        if (session.AbortRequested)
            return false;
        view.ComparisonProgress(++position);
        total += f->Size;
        const Other other = counterpart(*f, true, targetIndex, startRoot);
        if (ChooseStartFile(*f, other, session.CurrentRule.CopyCondition)) {
            f->IsStart = true;
            session.CopyList.push_back(f);
        }
        MaybeDoEvents();
    }
    if (reverse != 0) {
        targetIndex.reset();
        std::optional<TreeIndex> startIndex;
        startIndex.emplace(session.StartFiles, startRoot);
        for (MyFile* f : session.TargetFiles) {
            if (session.AbortRequested)
                return false;
            view.ComparisonProgress(++position);
            const Other other = counterpart(*f, false, startIndex, targetRoot);
            switch (ChooseTargetFile(*f, other, reverse)) {
            case TargetChoice::CopyBack:
                session.CopyList.push_back(f);
                break;
            case TargetChoice::Delete:
                session.DeleteList.push_back(f);
                break;
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
