#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class FileOps;

// An open folder that closes itself when the last user lets go; staged copies waiting in a
// batch keep their destination folder open this way.
struct OpenFolder {
    OpenFolder(FileOps& ops, int fd) : ops(ops), fd(fd) {}
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    FileOps& ops;
    int fd;
};
using FolderRef = std::shared_ptr<OpenFolder>;

// The device and inode of an open folder or file.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t birth = 0; // only taken for roots; 0 where not taken or not kept
    bool operator==(const FileIdentity&) const = default;
    auto operator<=>(const FileIdentity&) const = default;
};

// Told just before a folder chain makes a folder, with the folder's path below the root
// (components each ending in "/"), so that it can be noted down before it exists.
class FolderMaking {
public:
    virtual ~FolderMaking() = default;
    virtual void BeforeMaking(std::string_view relative) = 0;
};

// Opens folders below a root one component at a time, each relative to the folder above it
// and never through a symbolic link, so that a link planted inside a tree can never lead a
// write outside it. The root itself may be a link: the user chose it. The chain of the last
// folder stays open, so that walking a tree folder by folder opens each folder once.
class FolderChain {
public:
    explicit FolderChain(FileOps& ops) : ops_(ops) {}

    // Opens the root; 0 or the errno. `identity` receives what the root is.
    int OpenRoot(const std::string& root, FileIdentity* identity = nullptr);
    // The folder `relative` below the root ("" for the root, else components each ending in
    // "/"). With `create`, missing folders are made. ELOOP when a component is a symbolic
    // link, ENOTDIR when it is something else that is not a folder. `created` (when given)
    // tells whether the folder itself was made just now.
    int Resolve(std::string_view relative, bool create, FolderRef& folder, bool* created = nullptr);
    bool isOpen() const { return !chain_.empty(); }
    // Who is told of each folder this chain makes; nobody when null.
    void TellMaking(FolderMaking* making) { making_ = making; }

private:
    int openComponent(int parent, const std::string& name, std::string_view upTo, bool create,
                      int& fd, bool& made);

    FileOps& ops_;
    FolderMaking* making_ = nullptr;
    std::vector<FolderRef> chain_;   // [0] the root, then one per component
    std::vector<std::string> names_; // the components below the root
};

} // namespace platform
