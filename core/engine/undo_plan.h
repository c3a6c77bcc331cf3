#pragma once

// Undoing the last run: what the window and the terminal program use. A run writes a journal
// of everything it does (run_journal.h); undo reads the newest journal not yet undone and
// works through it backwards, checking the disk at every step: what changed since the run is
// left alone and listed with its reason, and nothing is ever lost (whatever undo takes away
// goes into the trash).

#include "run_journal.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class FileOps;
struct TrashSpot;
} // namespace platform

// What one action of the run was.
enum class UndoKind : std::uint8_t {
    Made,           // a file made: it goes into the trash
    Replaced,       // a file replaced: its old version comes back from the trash
    Trashed,        // a file moved into the trash: it comes back
    DeletedForGood, // cannot come back
    FolderMade,     // removed again when empty
    FolderRemoved,  // made again
};
inline constexpr std::size_t kUndoKinds = 6;

// One action, as the journal keeps it. Its names lie in the plan's store.
struct UndoEntry {
    UndoKind kind = UndoKind::Made;
    bool inStart = false;    // else in the target tree
    bool notDone = false;    // the run noted that it did not happen
    std::uint32_t mode = 0;  // of a removed folder
    std::uint32_t trash = 0; // the trash holding it: 1 + its index in UndoPlan::trashes; 0 none
    std::uint32_t pathLength = 0, trashNameLength = 0;
    std::size_t path = 0, trashName = 0; // offsets in the store
    JournalFile now; // the file the run made, wrote or moved; size and time of a deleted one
    JournalFile old; // a replaced file's old version
};

// The last run that can be undone, as its journal tells it.
struct UndoPlan {
    std::string journal;               // the journal's file
    std::string startPath, targetPath; // absolute, each ending in "/"
    platform::FileIdentity start, target;
    std::string ruleName, ruleText;
    std::int64_t began = 0; // Unix seconds
    bool keepReplaced = true;
    bool finished = false;          // the run came to its end; else it was killed part-way
    std::vector<UndoEntry> entries; // in the order the run took them
    std::vector<std::string> trashes;
    std::string store; // the entries' paths and trash names

    std::string_view PathOf(const UndoEntry& e) const {
        return {store.data() + e.path, e.pathLength};
    }
    // The whole path, with its root.
    std::string FullPath(const UndoEntry& e) const;
    platform::TrashSpot SpotOf(const UndoEntry& e) const;
};

// The newest journal not yet undone; nothing when there is none, and `why` says so in words
// (also when a journal cannot be read).
std::optional<UndoPlan> FindUndoableRun(platform::FileOps& ops, std::string& why);
// Whether there is one, without reading it: for the menu item "Letzten Abgleich rückgängig
// machen...".
bool UndoableRunExists(platform::FileOps& ops);

// One line of the plan for each kind of action that is there, in the order undo takes them
// (target tree first): "3 neue Dateien kommen in den Papierkorb" and the like.
struct UndoGroup {
    UndoKind kind;
    bool inStart;
    std::int64_t count;
    std::string line;
};
std::vector<UndoGroup> PlanGroups(const UndoPlan& plan);
// The plan's heading: which run, when, between which folders, and whether it came to its end.
std::vector<std::string> PlanHeading(const UndoPlan& plan);

// What an undo shows and asks while it works.
class UndoView {
public:
    virtual ~UndoView() = default;
    virtual void StatusText(const std::string& text) = 0;
    // `done` of `total` entries.
    virtual void Progress(std::int64_t done, std::int64_t total) = 0;
    virtual void PumpEvents() = 0;
    // Undo stops after the entry at hand; the journal stays undoable, and a second undo
    // finishes the work.
    virtual bool StopRequested() = 0;
};

// An entry undo did not (or would not) put back, and why.
struct UndoLeft {
    UndoKind kind = UndoKind::Made;
    std::string path;
    std::string reason; // German
};

struct UndoResult {
    // Not empty when the undo did not start (a root is no longer the run's folder): nothing was
    // touched, and this says why.
    std::string refused;
    bool stopped = false;
    bool onlyChecked = false;
    // What was (or, only checked, would be) put back, by kind, and each by its place in the
    // plan's entries.
    std::array<std::int64_t, kUndoKinds> putBack{};
    std::vector<std::size_t> putBackEntries;
    // Entries with nothing to do: the action never happened, or is undone already.
    std::int64_t nothingToDo = 0;
    std::vector<UndoLeft> left;
    bool markedUndone = false; // the journal says now that its run is undone

    std::int64_t putBackTotal() const;
};

// Undoes the plan's run backwards; with `onlyCheck` it changes nothing and tells what it
// would do. The journal is marked undone when every entry was gone through.
UndoResult RunUndo(const UndoPlan& plan, platform::FileOps& ops, UndoView& view,
                   bool onlyCheck = false);

// What an undo did (or would do), one line for each kind that happened, in the plan's order,
// and one for what was left: {"Alte Fassungen zurückgeholt:", 2}.
struct UndoSummaryLine {
    std::string label;
    std::int64_t count = 0;
};
std::vector<UndoSummaryLine> UndoSummary(const UndoResult& result);
