#include "tree_scan.h"

#include "copy_errors.h"
#include "rules/rule_decisions.h"

#include <utility>

// Collects the files found folder by folder and hands each folder over once the scan moves
// on; each folder or file that could not be read goes into the scan's problems.
class ScanCollector final : public FindFileEvents {
public:
    explicit ScanCollector(TreeScan& scan)
        : scan_(scan), rootFolder_(ScannedFolderName(scan.root)),
          keepFolders_(scan.rule_.Options.MatchFolders && scan.rule_.IncludeSubfolders),
          tree_(scan.startTree ? FolderHandover::Start : FolderHandover::Target) {
        begin(rootFolder_);
    }
    // The last folder, handed over when the search has ended.
    void Finish() { scan_.handover_.Put(tree_, std::move(folder_)); }

    void MatchFound(const std::string& sFilename, const std::string& sFilePath, DateTime sLastWrite,
                    std::int64_t& Filesize, std::int32_t& FileAttributes) override {
        MatchFoundStamped(sFilename, sFilePath, sLastWrite, Filesize, FileAttributes, {});
    }
    void MatchFoundStamped(const std::string& sFilename, const std::string& sFilePath,
                           DateTime sLastWrite, std::int64_t& Filesize,
                           std::int32_t& FileAttributes,
                           const platform::FileStamp& stamp) override {
        if (sFilePath != folder_->folder) { // not met: a folder's files come before its subfolders
            scan_.handover_.Put(tree_, std::move(folder_));
            begin(sFilePath);
        }
        folder_->Add(sFilename, Filesize, sLastWrite, static_cast<std::uint16_t>(FileAttributes),
                     stamp);
        scan_.found_.fetch_add(1, std::memory_order_relaxed);
    }
    void NotReported(const std::string& sPath, const platform::DirEntry& entry) override {
        if (sPath != folder_->folder) {
            scan_.handover_.Put(tree_, std::move(folder_));
            begin(sPath);
        }
        const auto attributes = static_cast<std::uint16_t>(
            entry.error != 0 ? ScannedFolder::kUnexamined : entry.attributes);
        folder_->AddUnreported(entry.name, entry.size, entry.lastWrite, attributes, entry.stamp);
    }
    // A root that could not be listed ends the search: the load fails anyway.
    void StopSearch(bool& Cancel) override {
        Cancel = scan_.stop_.load(std::memory_order_relaxed) || scan_.rootError != 0;
    }
    void ReadFailed(const std::string& sPath, int ErrorNumber) override {
        FailedItem& item = scan_.problems.emplace_back();
        item.kind = FailedItem::Kind::Read;
        item.path = sPath;
        item.error = ErrorNumber;
        item.reason = ErrorDescription(ErrorNumber);
        item.inStartTree = scan_.startTree;
        if (sPath == rootFolder_)
            scan_.rootError = ErrorNumber;
        if (sPath == folder_->folder) // listed in part or not at all
            folder_->complete = false;
        scan_.say("Kann nicht gelesen werden: \"" + sPath + "\"");
    }

    void FolderLeftOut(const std::string& /*sPath*/) override { ++scan_.foldersLeftOut; }
    void FolderEntered(const std::string& sPath) override {
        if (keepFolders_)
            scan_.folders.push_back(sPath);
        scan_.handover_.Put(tree_, std::move(folder_));
        begin(sPath);
    }
    void EntryLeftOut(LeftOutKind kind) override {
        switch (kind) {
        case LeftOutKind::Link:
            ++scan_.linksLeftOut;
            break;
        case LeftOutKind::Special:
            ++scan_.specialLeftOut;
            break;
        case LeftOutKind::Excluded:
            ++scan_.excludedFiles;
            break;
        case LeftOutKind::ExcludedFolder:
            ++scan_.excludedFolders;
            break;
        }
    }
    void LeftoversFound(const std::string& sPath) override { scan_.leftovers.push_back(sPath); }

private:
    void begin(std::string_view path) {
        folder_ = scan_.handover_.Fresh(tree_);
        folder_->Reset(path);
    }

    TreeScan& scan_;
    const std::string rootFolder_;
    const bool keepFolders_;
    const FolderHandover::Tree tree_;
    std::unique_ptr<ScannedFolder> folder_; // the folder whose files are being reported
};

TreeScan::TreeScan(platform::FileSystem& fs, const SyncRule& rule, std::string rootPath, bool start,
                   const std::atomic<bool>& stop, FolderHandover& handover,
                   const ExclusionPatterns* exclusions)
    : root(std::move(rootPath)), startTree(start), fs_(fs), rule_(rule), exclusions_(exclusions),
      stop_(stop), handover_(handover) {}

void TreeScan::run(EventThrottle* here) {
    ScanCollector collector(*this);
    FindFile scanner(fs_, collector);
    scanner.setThrottle(here);
    scanner.setSFileToFind("*.*");
    scanner.setSFileFlag(ScanMask(rule_));
    scanner.setSInclSubfolders(rule_.IncludeSubfolders);
    scanner.setSSearchpath(root);
    scanner.setStopFlag(&stop_);
    scanner.setExclusions(exclusions_);
    error = scanner.sStartSearch();
    collector.Finish();
    finished_.store(true, std::memory_order_release);
    // After `finished`, so that the thread that waits for both sees the end when woken.
    handover_.Close(startTree ? FolderHandover::Start : FolderHandover::Target);
}

void TreeScan::say(std::string text) {
    const std::lock_guard<std::mutex> lock(textsMutex_);
    texts_.push_back(std::move(text));
}

std::vector<std::string> TreeScan::takeTexts() {
    const std::lock_guard<std::mutex> lock(textsMutex_);
    return std::exchange(texts_, {});
}
