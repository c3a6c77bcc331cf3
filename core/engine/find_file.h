#pragma once

#include "platform/date_time.h"
#include "platform/file_system.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ListingPool;
namespace platform {
class BlockedTime;
}

// Receives what a scan finds.
class FindFileEvents {
public:
    virtual ~FindFileEvents() = default;
    // One matching file: its bare name and its folder, which always ends in "/".
    virtual void MatchFound(const std::string& sFilename, const std::string& sFilePath,
                            DateTime sLastWrite, std::int64_t& Filesize,
                            std::int32_t& FileAttributes) = 0;
    // The same with the exact times and identity the listing took of the file (not known
    // where it took none). A listener that keeps them answers this one; the others get
    // MatchFound.
    virtual void MatchFoundStamped(const std::string& sFilename, const std::string& sFilePath,
                                   DateTime sLastWrite, std::int64_t& Filesize,
                                   std::int32_t& FileAttributes,
                                   const platform::FileStamp& /*stamp*/) {
        MatchFound(sFilename, sFilePath, sLastWrite, Filesize, FileAttributes);
    }
    // Every other entry of the folder (ending in "/") whose files are being reported, in the
    // same order: a subfolder, a link or an entry the mask, the pattern or an exclusion leaves
    // out, or one that could not be examined.
    virtual void NotReported(const std::string& /*sPath*/, const platform::DirEntry& /*entry*/) {}
    // Asked before each descent into a subfolder; set Cancel to end the search.
    virtual void StopSearch(bool& Cancel) = 0;
    // A folder that could not be listed (its path ends in "/"), or an entry of a listed folder
    // that could not be examined, with the errno. The search goes on without it; a folder that
    // could be listed only in part still reports what was read.
    virtual void ReadFailed(const std::string& /*sPath*/, int /*ErrorNumber*/) {}
    // A trash or lost+found folder (its path ends in "/") that the search does not enter.
    virtual void FolderLeftOut(const std::string& /*sPath*/) {}
    // The folder (ending in "/") holds temporary files of a copy whose process is gone.
    virtual void LeftoversFound(const std::string& /*sPath*/) {}
    // An entry the attribute mask leaves out for what it is, not for an option of the rule:
    // a symbolic link, or a socket, FIFO or device.
    // Or one the rule's exclusion patterns leave out: a file, or a folder not entered.
    enum class LeftOutKind { Link, Special, Excluded, ExcludedFolder };
    // A subfolder the search enters (its path ends in "/"), before its entries.
    virtual void FolderEntered(const std::string& /*sPath*/) {}
    virtual void EntryLeftOut(LeftOutKind /*kind*/) {}
};

// The scanner's error: number 9999 with the failing member named in source and description.
struct FindFileError {
    int Number = 9999;
    std::string Source;
    std::string Description;
};

// The recursive folder scanner: all files of a folder are reported before its subfolders
// are entered, subfolders in listing order. Below a hidden folder every entry counts as hidden
// too, as a file manager shows it; the folder the search starts in passes on nothing, so a
// search in "~/.config/x" finds its plain files. Where the file system asks for several
// listings at once (a slow device), threads of a ListingPool list the folders ahead; the
// reports stay the same, in the same order, all on the calling thread. Elsewhere the first
// listings decide: when most of them waited for the device (a disk whose caches are cold),
// threads list ahead from then on too.
//
// Whatever the mask, the search never reports the temporary files of a copy, and never enters
// the trash folders and lost+found of a file system (at the top of one, or where the search
// starts) nor the user's own trash: those files are not the user's to copy or delete.
class EventThrottle;
class ExclusionPatterns;

class FindFile {
public:
    static constexpr std::int32_t kDefaultFileFlag = 439;

    FindFile(platform::FileSystem& fs, FindFileEvents& events) : fs_(fs), events_(events) {}

    std::optional<FindFileError> sStartSearch();

    void setSFileFlag(std::int32_t vData) { fileFlag_ = vData; }
    std::int32_t sFileFlag() const { return fileFlag_; }
    void setSInclSubfolders(bool vData) { inclSubfolders_ = vData; }
    bool sInclSubfolders() const { return inclSubfolders_; }
    void setSFileToFind(const std::string& vData) { fileToFind_ = vData; }
    const std::string& sFileToFind() const { return fileToFind_; }
    void setSSearchpath(const std::string& vData) { searchpath_ = vData; }
    const std::string& sSearchpath() const { return searchpath_; }
    // Set from another thread to end a listing under way at once (the listener still ends the
    // search); a listing given up so is not reported as unreadable.
    void setStopFlag(const std::atomic<bool>* stop) { stop_ = stop; }
    // Where the search runs on the window's thread, the window's events run every tenth entry.
    void setThrottle(EventThrottle* throttle) { throttle_ = throttle; }
    // Entries these patterns match, relative to the search's root, are left out; an excluded
    // folder is not entered.
    void setExclusions(const ExclusionPatterns* patterns) { exclusions_ = patterns; }

private:
    bool excludes(const std::string& folder, const std::string& name, bool isFolder) const;
    void searchFolder(bool insideHidden);
    void reportFiles(const std::string& folder, const std::vector<platform::DirEntry>& entries,
                     std::uint32_t inherited);
    bool leavesOut(const std::string& folder, const platform::DirEntry& e);
    void noteLeftovers(const std::string& folder, const std::vector<platform::DirEntry>& entries);
    int listFolder(const std::string& folder, std::vector<platform::DirEntry>& entries);
    void startPool(std::optional<ListingPool>& pool);
    void probe(std::int64_t blockedBefore);
    const std::atomic<bool>& stopFlag() const;

    platform::FileSystem& fs_;
    FindFileEvents& events_;
    std::string searchpath_;
    std::string fileToFind_;
    bool inclSubfolders_ = true;
    std::int32_t fileFlag_ = kDefaultFileFlag;
    ListingPool* pool_ = nullptr; // during a search that lists ahead
    // While the first listings are timed: how many were made, how many of them waited, and
    // how many threads list ahead when most did.
    struct Probe {
        int listings = 0;
        int waited = 0;
        int threads = 1;
        const platform::BlockedTime* blocked = nullptr; // during the search
    } probe_;
    const std::atomic<bool>* stop_ = nullptr;
    EventThrottle* throttle_ = nullptr;
    const ExclusionPatterns* exclusions_ = nullptr;
    std::string rootFolder_;                  // during a search: where it started
    std::vector<platform::DirEntry> listing_; // the folder being reported
    platform::FileId homeTrash_;
    bool homeTrashKnown_ = false;
};

// The folder as the scanner names it in its reports: with one "/" added unless it ends in one.
std::string ScannedFolderName(const std::string& path);

// "*" and "?" as in a file pattern; "*.*" matches every name, also one without a dot.
bool WildcardMatch(const std::string& pattern, const std::string& name);
