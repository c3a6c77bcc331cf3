#include "rule_decisions.h"

namespace {

using Seen = platform::SeenDestination;
using Kind = Seen::Kind;

// Strictly later than the other time plus five seconds; five seconds or less count as equal.
bool LaterByMoreThanFiveSeconds(DateTime mine, DateTime other) {
    return mine > other + 5;
}

// The counterpart's last-write time; the zero date when there is no file (or link, where the
// rule takes links) to read it from.
DateTime TimeOf(const Seen& other) {
    return other.kind == Kind::File || other.kind == Kind::Link ? other.lastWrite : kZeroDate;
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

bool StartFileChosen(std::int32_t copyCondition, DateTime mine, const Seen& other) {
    switch (copyCondition) {
    case kCopyMissingOrOlder:
        return LaterByMoreThanFiveSeconds(mine, TimeOf(other));
    case kCopyMissing:
        return other.kind != Kind::File && other.kind != Kind::Link && other.kind != Kind::Other;
    case kCopyOlder: {
        const DateTime t = TimeOf(other);
        return t != kZeroDate && LaterByMoreThanFiveSeconds(mine, t);
    }
    default:
        return false;
    }
}

bool SameTimeOtherSize(std::int32_t copyCondition, DateTime mine, std::int64_t mySize,
                       const Seen& other) {
    if (copyCondition != kCopyMissingOrOlder && copyCondition != kCopyOlder)
        return false;
    return (other.kind == Kind::File || other.kind == Kind::Link) && other.size != mySize &&
           !LaterByMoreThanFiveSeconds(mine, other.lastWrite) &&
           !LaterByMoreThanFiveSeconds(other.lastWrite, mine);
}

TargetChoice TargetFileChoice(std::int32_t reverseAction, DateTime mine, const Seen& other) {
    switch (reverseAction) {
    case kCopyBackNewer: {
        const DateTime t = TimeOf(other);
        return t != kZeroDate && LaterByMoreThanFiveSeconds(mine, t) ? TargetChoice::CopyBack
                                                                     : TargetChoice::None;
    }
    case kCopyBackMissing:
        return Probe(other) == Counterpart::Missing ? TargetChoice::CopyBack : TargetChoice::None;
    case kCopyBackBoth: {
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
    case kMoveToTrash:
    case kDeleteForGood:
        return Probe(other) == Counterpart::Missing ? TargetChoice::Delete : TargetChoice::None;
    default:
        return TargetChoice::None;
    }
}

std::int32_t ScanMask(const SyncRule& rule) {
    // Symbolic links take part only when the rule takes them, as links.
    const std::int32_t links = rule.Options.SymbolicLinks ? 1024 : 0;
    if (rule.HiddenFiles && rule.ReadOnlyFiles && rule.SystemFiles)
        return 423 + links; // only then are temporary files admitted
    std::int32_t mask = 160 + links;
    if (rule.HiddenFiles)
        mask += 2;
    if (rule.ReadOnlyFiles)
        mask += 1;
    if (rule.SystemFiles)
        mask += 4;
    return mask;
}
