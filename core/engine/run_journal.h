#pragma once

#include "platform/folder_chain.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class FileOps;
struct TrashSpot;
} // namespace platform

// What the journal keeps of a file to know it again: which file it is, its size and time.
struct JournalFile {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t writeNanos = 0;
};

// What a run's journal says first: the two roots (absolute) as the run opened them, its rule,
// and whether replaced files keep their old version.
struct JournalHeader {
    std::string startPath, targetPath;
    platform::FileIdentity start, target;
    std::string ruleName, ruleText;
    bool keepReplaced = true;
};

// The journal of one run, written ahead of what the run does (journal_format.h has its form):
// records wait in memory until the run flushes its own data anyway, and reach the disk just
// before. Each run gets a file of its own; the last ten stay. A journal that cannot be
// written is given up together with the older ones, so that no older run can ever be undone
// across this one.
class RunJournal {
public:
    static constexpr std::size_t kKept = 10;

    explicit RunJournal(platform::FileOps& ops) : ops_(ops) {}
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    // Starts the journal of a new run in `folder` (made where missing); false, with the
    // reason in problem(), when it cannot.
    bool Begin(const std::string& folder, const JournalHeader& header);
    bool active() const { return fd_ >= 0; }
    // The file system the journal lies on; 0 while there is none.
    std::uint64_t device() const { return fd_ >= 0 ? device_ : 0; }

    // Each returns the action's number, for NotDone.
    std::size_t Made(bool inStart, std::string_view path, const JournalFile& now);
    // `kept` is where the old version lies, or null when it was not kept.
    std::size_t Replaced(bool inStart, std::string_view path, const JournalFile& now,
                         const JournalFile& old, const platform::TrashSpot* kept);
    std::size_t Trashed(bool inStart, std::string_view path, const JournalFile& file,
                        const platform::TrashSpot& spot);
    std::size_t DeletedForGood(bool inStart, std::string_view path, std::int64_t size,
                               std::int64_t writeNanos);
    // Written out at once: the folder is made right after.
    void FolderMade(bool inStart, std::string_view path);
    std::size_t FolderRemoved(bool inStart, std::string_view path, std::uint32_t mode,
                              const platform::TrashSpot* spot);
    // The action did not happen after all.
    void NotDone(std::size_t action);

    // Writes the waiting records; with `durable` they are on the disk when this returns.
    void Write(bool durable);
    // The run came to its end. A journal of a run that did nothing is removed: then the run
    // before stays the one to undo.
    void End();

    // Why the run cannot be undone, for the user; empty while the journal is kept.
    const std::string& problem() const { return problem_; }

private:
    void begin(bool inStart, std::string_view keyword, std::string_view path);
    std::size_t action();
    void giveUp(int err);
    void removeOthers(bool all);

    platform::FileOps& ops_;
    std::string folder_;
    int folderFd_ = -1;
    int fd_ = -1;
    std::string name_;
    std::string buffer_;
    std::size_t actions_ = 0;
    std::uint64_t device_ = 0;
    std::string problem_;
};
