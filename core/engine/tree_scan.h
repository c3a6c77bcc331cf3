#pragma once

#include "failed_item.h"
#include "find_file.h"
#include "folder_handover.h"
#include "rules/sync_rule.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class EventThrottle;
class ExclusionPatterns;
namespace platform {
class FileSystem;
}

// The scan of one tree, made to run on a thread of its own: it hands the files of each folder
// it entered to the comparison through `handover`, fills its own problems, and leaves what the
// window should hear (texts, the count of files found) for the thread that waits for it.
// `stop` ends it before its next folder.
class TreeScan {
public:
    // `exclusions`, compiled once for both trees, may be null for none.
    TreeScan(platform::FileSystem& fs, const SyncRule& rule, std::string root, bool startTree,
             const std::atomic<bool>& stop, FolderHandover& handover,
             const ExclusionPatterns* exclusions = nullptr);

    // `here`: on the thread of the user interface, whose events then keep running through
    // `throttle` meanwhile.
    void run(EventThrottle* here = nullptr);

    bool finished() const { return finished_.load(std::memory_order_acquire); }
    std::size_t found() const { return found_.load(std::memory_order_relaxed); }
    // The texts for the status bar since the last call, in their order.
    std::vector<std::string> takeTexts();

    const std::string root;
    const bool startTree;
    // Valid once finished.
    std::vector<FailedItem> problems;
    std::optional<FindFileError> error;
    int rootError = 0;               // the errno that kept the root itself from being listed
    std::size_t foldersLeftOut = 0;  // trash and lost+found folders not entered
    std::size_t linksLeftOut = 0;    // symbolic links, when the rule does not take them
    std::size_t specialLeftOut = 0;  // sockets, FIFOs and devices
    std::size_t excludedFiles = 0;   // left out by the rule's exclusion patterns
    std::size_t excludedFolders = 0; // not entered for them
    // The subfolders entered, parents first, each ending in "/"; kept only when the rule
    // matches folders.
    std::vector<std::string> folders;
    std::vector<std::string> leftovers; // folders with temporary files of runs that are gone

private:
    friend class ScanCollector;
    void say(std::string text);

    platform::FileSystem& fs_;
    const SyncRule rule_;
    const ExclusionPatterns* exclusions_;
    const std::atomic<bool>& stop_;
    FolderHandover& handover_;
    std::atomic<std::size_t> found_{0};
    std::atomic<bool> finished_{false};
    std::mutex textsMutex_;
    std::vector<std::string> texts_;
};
