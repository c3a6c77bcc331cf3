#pragma once

#include "platform/file_system.h"

#include <map>
#include <memory>
#include <string>

// The real file system, with chosen paths answering as if they could not be examined.
class FailingFileSystem : public platform::FileSystem {
public:
    // Every query of a path that starts with `prefix` fails with `error`.
    void failBelow(const std::string& prefix, int error) { failures_[prefix] = error; }

    int ListDirectory(const std::string& folder, std::vector<platform::DirEntry>& e) override {
        e.clear();
        return failure(folder) ? failure(folder) : real().ListDirectory(folder, e);
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
