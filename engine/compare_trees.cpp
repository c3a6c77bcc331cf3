#include "compare_trees.h"

#include "load_view.h"
#include "maybe_do_events.h"
#include "platform/file_system.h"
#include "sync_session.h"
#include "texts.h"

#include "folder_loading.h"

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

bool ChooseStartFile(platform::FileSystem& fs, const MyFile& f, const std::string& other,
                     int copyCondition) {
    switch (copyCondition) {
    case 0:
        return LaterByMoreThanFiveSeconds(f.LastWrite, fs.GetFileLastWrite(other));
    case 1:
        return !FileExists(fs, other);
    case 2: {
        const DateTime t = fs.GetFileLastWrite(other);
        return t != kZeroDate && LaterByMoreThanFiveSeconds(f.LastWrite, t);
    }
    default:
        return false;
    }
}

enum class TargetChoice { None, CopyBack, Delete };

TargetChoice ChooseTargetFile(platform::FileSystem& fs, const MyFile& f, const std::string& other,
                              int reverseAction) {
    switch (reverseAction) {
    case 1: {
        const DateTime t = fs.GetFileLastWrite(other);
        return t != kZeroDate && LaterByMoreThanFiveSeconds(f.LastWrite, t) ? TargetChoice::CopyBack
                                                                            : TargetChoice::None;
    }
    case 2:
        return Probe(fs, other) == Counterpart::Missing ? TargetChoice::CopyBack
                                                        : TargetChoice::None;
    case 3: {
        const Counterpart c = Probe(fs, other);
        if (c == Counterpart::Missing)
            return TargetChoice::CopyBack;
        if (c == Counterpart::Unknown)
            return TargetChoice::None;
        // A start file whose time cannot be read is not overwritten either.
        const DateTime t = fs.GetFileLastWrite(other);
        return t != kZeroDate && LaterByMoreThanFiveSeconds(f.LastWrite, t) ? TargetChoice::CopyBack
                                                                            : TargetChoice::None;
    }
    case 4:
    case 5:
        return Probe(fs, other) == Counterpart::Missing ? TargetChoice::Delete : TargetChoice::None;
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
    for (MyFile* f : session.StartFiles) {
        if (session.AbortRequested)
            return false;
        view.ComparisonProgress(++position);
        total += f->Size;
        const std::string other = CounterpartPath(session, f->Path, true);
        if (ChooseStartFile(fs, *f, other, session.CurrentRule.CopyCondition)) {
            f->IsStart = true;
            session.CopyList.push_back(f);
        }
        MaybeDoEvents();
    }
    if (reverse != 0) {
        for (MyFile* f : session.TargetFiles) {
            if (session.AbortRequested)
                return false;
            view.ComparisonProgress(++position);
            const std::string other = CounterpartPath(session, f->Path, false);
            switch (ChooseTargetFile(fs, *f, other, reverse)) {
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
