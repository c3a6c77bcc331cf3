#pragma once

#include "platform/folder_chain.h"
#include "platform/trash_collection.h"
#include "run_journal.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SyncSession;
namespace platform {
struct FileInfo;
struct StagedCopy;
} // namespace platform

// What keeps a run undoable: its journal, and the trash places that keep the old versions of
// the files it replaces. Each part of the run notes here what it is about to do, before it
// does it.
class RunRecorder {
public:
    static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);

    RunRecorder(platform::FileOps& ops, const SyncSession& session, bool keepReplaced);
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;

    // Starts the journal in `folder` (none when empty) for the roots as the run opened them;
    // the two chains that write tell it of every folder they make.
    void Begin(const std::string& folder, const platform::FileIdentity& start,
               const platform::FileIdentity& target, platform::FolderChain& startWrite,
               platform::FolderChain& targetWrite);

    // A staged copy about to take its name; a replaced file gets its trash place (`slot`,
    // else kNoSlot) where old versions are kept. Returns the action's number.
    std::size_t NoteCopy(const platform::StagedCopy& staged, bool toTarget, std::size_t& slot);
    // The trash places of the replaced files, null where old versions are not kept.
    platform::TrashCollection* keep() { return keepReplaced_ ? &keep_ : nullptr; }
    // The copies noted so far are done or failed; their unused trash places are given back.
    void CopiesDone() { keep_.Clear(); }

    // A file `relative` to the target root, as examined just before it goes.
    std::size_t NoteTrashed(std::string_view relative, const platform::FileInfo& st,
                            const platform::TrashSpot& spot);
    std::size_t NoteDeleted(std::string_view relative, std::int64_t size, std::int64_t writeNanos) {
        return journal_.DeletedForGood(false, relative, size, writeNanos);
    }
    // A folder of the target tree (`relative` ends in "/"), into the trash or for good.
    std::size_t NoteFolderRemoved(std::string_view relative, std::uint32_t mode,
                                  const platform::TrashSpot* spot) {
        return journal_.FolderRemoved(false, relative, mode, spot);
    }

    RunJournal& journal() { return journal_; }
    // The records so far reach the disk before anything on `flushedNext` changes: the caller
    // flushes these file systems right after, which takes the journal along where it lies on
    // one of them; else it is flushed on its own.
    void Durable(const std::vector<std::uint64_t>& flushedNext = {}) {
        journal_.Write(std::find(flushedNext.begin(), flushedNext.end(), journal_.device()) ==
                       flushedNext.end());
    }
    // The absolute path of a folder `relative` below the start or target root.
    std::string AbsoluteFolder(bool inStart, std::string_view relative) const;
    void End() { journal_.End(); }

private:
    // Tells the journal of the folders one tree's chain makes.
    struct Making : platform::FolderMaking {
        RunJournal* journal = nullptr;
        bool inStart = false;
        void BeforeMaking(std::string_view relative) override {
            journal->FolderMade(inStart, relative);
        }
    };

    const SyncSession& session_;
    const bool keepReplaced_;
    RunJournal journal_;
    platform::TrashCollection keep_;
    std::string absoluteStart_, absoluteTarget_;
    Making startMaking_, targetMaking_;
};
