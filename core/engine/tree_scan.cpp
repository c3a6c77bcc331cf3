#include "tree_scan.h"

#include "copy_errors.h"
#include "rules/rule_decisions.h"

#include <utility>

// Reports each file found into the scan's own list, and each folder or file that could not
// be read into its problems.
class ScanCollector final : public FindFileEvents {
public:
    explicit ScanCollector(TreeScan& scan)
        : scan_(scan), rootFolder_(ScannedFolderName(scan.root)),
          keepFolders_(scan.rule_.Options.MatchFolders && scan.rule_.IncludeSubfolders) {}

    void MatchFound(const std::string& sFilename, const std::string& sFilePath, DateTime sLastWrite,
                    std::int64_t& Filesize, std::int32_t& FileAttributes) override {
        MyFile* f = scan_.files.NewRecord(sFilePath, sFilename);
        f->LastWrite = sLastWrite;
        f->Attributes = static_cast<std::uint16_t>(FileAttributes);
        f->Size = Filesize;
        scan_.found_.fetch_add(1, std::memory_order_relaxed);
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
        scan_.say("Kann nicht gelesen werden: \"" + sPath + "\"");
    }

    void FolderLeftOut(const std::string& /*sPath*/) override { ++scan_.foldersLeftOut; }
    void FolderEntered(const std::string& sPath) override {
        if (keepFolders_)
            scan_.folders.push_back(sPath);
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
    TreeScan& scan_;
    const std::string rootFolder_;
    const bool keepFolders_;
};

TreeScan::TreeScan(platform::FileSystem& fs, const SyncRule& rule, std::string rootPath, bool start,
                   const std::atomic<bool>& stop, const ExclusionPatterns* exclusions)
    : root(std::move(rootPath)), startTree(start), fs_(fs), rule_(rule), exclusions_(exclusions),
      stop_(stop) {}

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
    finished_.store(true, std::memory_order_release);
}

void TreeScan::say(std::string text) {
    const std::lock_guard<std::mutex> lock(textsMutex_);
    texts_.push_back(std::move(text));
}

std::vector<std::string> TreeScan::takeTexts() {
    const std::lock_guard<std::mutex> lock(textsMutex_);
    return std::exchange(texts_, {});
}
