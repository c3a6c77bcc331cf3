#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What happens on the target side; the numbers are the stored ones.
enum ReverseActions : std::int32_t {
    kNothingOnTarget = 0,
    kCopyBackNewer = 1,   // a target file newer than its start file is copied back
    kCopyBackMissing = 2, // a target file the start tree lacks is copied back
    kCopyBackBoth = 3,    // both
    kMoveToTrash = 4,     // a target file the start tree lacks goes into the trash
    kDeleteForGood = 5,   // … or is deleted for good
};

// When a start file is copied; the numbers are the stored ones.
enum CopyConditions : std::int32_t {
    kCopyMissingOrOlder = 0,
    kCopyMissing = 1,
    kCopyOlder = 2,
};

// What a rule does beyond its four stored numbers. A rule stored without options has all of
// them off and behaves exactly as its numbers say.
struct RuleOptions {
    // A symbolic link is mirrored as a link with the same target text, never followed.
    bool SymbolicLinks = false;
    // With subfolders: missing folders are made, empty ones too, and under the delete rules a
    // target folder the start tree lacks is removed once the run left it empty.
    bool MatchFolders = false;
    // Patterns of entries to leave out, one a line, in the syntax of .gitignore.
    std::vector<std::string> Exclusions;

    bool operator==(const RuleOptions&) const = default;
};

// One named rule: when a start file is copied, what happens on the target side, and which
// files take part.
struct SyncRule {
    std::string Name;
    std::int32_t ReverseAction = kNothingOnTarget;    // one of ReverseActions
    std::int32_t CopyCondition = kCopyMissingOrOlder; // one of CopyConditions
    bool IncludeSubfolders = false;
    bool SystemFiles = false;
    bool HiddenFiles = false;
    bool ReadOnlyFiles = false;
    RuleOptions Options;

    // Only a rule that acts on the target side needs the target tree scanned.
    bool scansTarget() const { return ReverseAction != kNothingOnTarget; }
    bool deletesOnTarget() const {
        return ReverseAction == kMoveToTrash || ReverseAction == kDeleteForGood;
    }

    bool operator==(const SyncRule&) const = default;
};
