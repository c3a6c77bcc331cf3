#pragma once

// For tests and benchmarks only: the program itself never makes one. The fakes sit beside the
// interface they stand in for, so that tests and benchmarks share one of each.
#include "platform/file_system.h"

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

// The real file system, with chosen paths answering as if they could not be examined.
class FailingFileSystem : public platform::FileSystem {
public:
    // Every query of a path that starts with `prefix` fails with `error`.
    void failBelow(const std::string& prefix, int error) { failures_[prefix] = error; }

    // An entry made to fail is listed as one that could not be examined (a folder, which the
    // listing does not examine, as a folder).
    int ListDirectory(const std::string& folder, std::vector<platform::DirEntry>& e) override {
        e.clear();
        if (const int err = failure(folder))
            return err;
        const int err = real().ListDirectory(folder, e);
        for (platform::DirEntry& entry : e)
            if (const int failed = (entry.attributes & platform::kAttrDirectory) == 0
                                       ? failure(folder + entry.name)
                                       : 0)
                entry = {entry.name, entry.name[0] == '.' ? platform::kAttrHidden : 0, 0, kZeroDate,
                         failed};
        return err;
    }
    platform::AttributeResult GetFileAttributes(const std::string& path) override {
        return failure(path) ? platform::AttributeResult{failure(path), 0}
                             : real().GetFileAttributes(path);
    }
    platform::AttributeResult GetTargetAttributes(const std::string& path) override {
        return failure(path) ? platform::AttributeResult{failure(path), 0}
                             : real().GetTargetAttributes(path);
    }
    int GetTargetId(const std::string& path, platform::FileId& id) override {
        return failure(path) ? failure(path) : real().GetTargetId(path, id);
    }
    DateTime GetFileLastWrite(const std::string& path) override {
        return failure(path) ? kZeroDate : real().GetFileLastWrite(path);
    }
    std::string CanonicalPath(const std::string& path) override {
        return real().CanonicalPath(path);
    }
    std::unique_ptr<platform::TreeReader> OpenTree(const std::string& root) override {
        return std::make_unique<Reader>(*this, root);
    }

protected:
    // The real reader, with the chosen paths failing.
    class Reader : public platform::TreeReader {
    public:
        Reader(const FailingFileSystem& fs, const std::string& root)
            : fs_(fs), root_(root.empty() || root.back() != '/' ? root + "/" : root),
              real_(real().OpenTree(root)) {}
        platform::FileState Examine(std::string_view folder, const std::string& name) override {
            platform::FileState failed;
            failed.error = fs_.failure(root_ + std::string(folder) + name);
            return failed.error != 0 ? failed : real_->Examine(folder, name);
        }

    private:
        const FailingFileSystem& fs_;
        std::string root_;
        std::unique_ptr<platform::TreeReader> real_;
    };

    static platform::FileSystem& real() { return platform::RealFileSystem(); }
    int failure(const std::string& path) const {
        for (const auto& [prefix, err] : failures_)
            if (path.compare(0, prefix.size(), prefix) == 0)
                return err;
        return 0;
    }
    std::map<std::string, int> failures_;
};

// Folders of made-up entries, for attribute bits a Linux file system never shows. A folder
// made to fail gives its entries (those read before the failure) and the error.
class ListedFileSystem : public FailingFileSystem {
public:
    std::map<std::string, std::vector<platform::DirEntry>> folders;
    int ListDirectory(const std::string& folder, std::vector<platform::DirEntry>& e) override {
        auto it = folders.find(folder);
        e = it != folders.end() ? it->second : std::vector<platform::DirEntry>{};
        return failure(folder);
    }
};

// The real file system as a slow device below `slowBelow` (a path prefix): `inFlight`
// listings and questions at once there (above 1 as on a network share; `inFlightElsewhere`
// for other roots), each listing waiting `listingWait` (a random part of it with
// `randomWait`, so that threads finish out of order) and `entryWait` more per entry it
// examines (all but folders and links), a listing below `throwBelow` throwing, each question
// about a single entry waiting `examineWait` and each question about a path `questionWait`.
// It counts what it is asked and keeps the folders it listed and how many threads listed them.
// `inFlightWhenWaiting` listings at once where its listings show that they wait.
class SlowDevice : public FailingFileSystem {
public:
    int inFlight = 1;
    int inFlightWhenWaiting = 1;
    int inFlightElsewhere = -1; // -1: as `inFlight`
    std::string slowBelow = "/";
    std::chrono::microseconds listingWait{0};
    std::chrono::microseconds entryWait{0};
    bool randomWait = false;
    std::string throwBelow; // none when empty
    std::chrono::microseconds examineWait{0};
    std::chrono::microseconds questionWait{0};
    std::atomic<int> listings{0}, examined{0};

    int ListingsInFlight(const std::string& root) override {
        return slow(root) || inFlightElsewhere < 0 ? inFlight : inFlightElsewhere;
    }
    int ListingsInFlightWhenWaiting(const std::string& /*root*/) override {
        return inFlightWhenWaiting;
    }
    int ListDirectory(const std::string& folder, std::vector<platform::DirEntry>& e) override {
        ++listings;
        thread_local std::minstd_rand random(std::random_device{}());
        if (slow(folder))
            std::this_thread::sleep_for(randomWait ? listingWait * int(random() % 8) / 7
                                                   : listingWait);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            listed_.push_back(folder);
            listers_.insert(std::this_thread::get_id());
        }
        if (!throwBelow.empty() && folder.rfind(throwBelow, 0) == 0)
            throw std::runtime_error("kaputt");
        const int err = FailingFileSystem::ListDirectory(folder, e);
        if (entryWait.count() > 0 && slow(folder)) {
            std::size_t entries = 0;
            for (const platform::DirEntry& entry : e)
                entries += (entry.attributes &
                            (platform::kAttrDirectory | platform::kAttrReparsePoint)) == 0;
            std::this_thread::sleep_for(entryWait * entries);
        }
        return err;
    }
    platform::AttributeResult GetFileAttributes(const std::string& path) override {
        ask(path);
        return FailingFileSystem::GetFileAttributes(path);
    }
    platform::AttributeResult GetTargetAttributes(const std::string& path) override {
        ask(path);
        return FailingFileSystem::GetTargetAttributes(path);
    }
    int GetTargetId(const std::string& path, platform::FileId& id) override {
        ask(path);
        return FailingFileSystem::GetTargetId(path, id);
    }
    DateTime GetFileLastWrite(const std::string& path) override {
        ask(path);
        return FailingFileSystem::GetFileLastWrite(path);
    }
    std::string CanonicalPath(const std::string& path) override {
        ask(path);
        return FailingFileSystem::CanonicalPath(path);
    }
    std::unique_ptr<platform::TreeReader> OpenTree(const std::string& root) override {
        class Waiting : public platform::TreeReader {
        public:
            Waiting(std::unique_ptr<platform::TreeReader> real, SlowDevice& fs, bool slow)
                : real_(std::move(real)), fs_(fs), slow_(slow) {}
            platform::FileState Examine(std::string_view folder, const std::string& name) override {
                ++fs_.examined;
                if (slow_)
                    std::this_thread::sleep_for(fs_.examineWait);
                return real_->Examine(folder, name);
            }

        private:
            std::unique_ptr<platform::TreeReader> real_;
            SlowDevice& fs_;
            const bool slow_;
        };
        return std::make_unique<Waiting>(FailingFileSystem::OpenTree(root), *this, slow(root));
    }
    std::vector<std::string> listed() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return listed_;
    }
    std::size_t listingThreads() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return listers_.size();
    }

private:
    // `path` is `slowBelow` itself (with or without its trailing "/") or lies below it.
    bool slow(const std::string& path) const {
        std::string_view base(slowBelow);
        while (base.size() > 1 && base.back() == '/')
            base.remove_suffix(1);
        return path.compare(0, base.size(), base) == 0 &&
               (path.size() == base.size() || path[base.size()] == '/' || base == "/");
    }
    void ask(const std::string& path) const {
        if (questionWait.count() > 0 && slow(path))
            std::this_thread::sleep_for(questionWait);
    }

    std::mutex mutex_;
    std::vector<std::string> listed_;
    std::set<std::thread::id> listers_;
};
