#include "file_system.h"

#include "device_waits.h"
#include "file_ops.h"
#include "folder_chain.h"
#include "name_order.h"
#include "stat_posix.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace platform {
namespace {

// Names as the Windows file system returns them: without regard to case, ties by bytes.
bool NameLess(const DirEntry& a, const DirEntry& b) {
    return CompareNames(a.name, b.name) < 0;
}

// Listings under way at once in one tree on such a file system (see bench/README.md).
constexpr int kListingsOnWaitingDevices = 8;
// The same on a local disk whose listings wait for the disk because its caches are cold.
constexpr int kListingsOnColdDisks = 4;

// Attribute bits from a file's mode and name, as the scanner reports them.
std::uint32_t AttributesFromMode(unsigned mode, const char* name) {
    std::uint32_t attr = 0;
    if (S_ISDIR(mode))
        attr = kAttrDirectory;
    else if (S_ISREG(mode))
        attr = kAttrArchive;
    else if (S_ISLNK(mode))
        attr = kAttrReparsePoint;
    else
        attr = kAttrDevice;
    if (name != nullptr && name[0] == '.')
        attr |= kAttrHidden;
    if ((S_ISDIR(mode) || S_ISREG(mode)) && (mode & S_IWUSR) == 0)
        attr |= kAttrReadOnly;
    return attr;
}

// The same for a path, whose last component is the name.
std::uint32_t AttributesOfPath(unsigned mode, const std::string& path) {
    const auto slash = path.rfind('/');
    return AttributesFromMode(mode, path.c_str() + (slash == std::string::npos ? 0 : slash + 1));
}

class RealFs final : public FileSystem {
public:
    int ListingsInFlight(const std::string& root) override {
        struct statfs fs {};
        if (::statfs(root.c_str(), &fs) != 0)
            return 1;
        return DeviceWaits(static_cast<std::uint32_t>(fs.f_type)) ? kListingsOnWaitingDevices : 1;
    }
    int ListingsInFlightWhenWaiting(const std::string& /*root*/) override {
        return kListingsOnColdDisks;
    }

    int ListDirectory(const std::string& folder, std::vector<DirEntry>& entries) override {
        static const std::atomic<bool> never{false};
        return ListDirectoryUntil(folder, entries, never);
    }

    int ListDirectoryUntil(const std::string& folder, std::vector<DirEntry>& entries,
                           const std::atomic<bool>& stop) override {
        // The entries it holds are filled again, names in the room they have.
        std::size_t count = 0;
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr) {
            entries.clear();
            return errno;
        }
        const int fd = ::dirfd(dir);
        bool stopped = false;
        while (!(stopped = stop.load(std::memory_order_relaxed))) {
            errno = 0;
            const dirent* d = ::readdir(dir);
            if (d == nullptr)
                break;
            const char* name = d->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            if (count == entries.size())
                entries.emplace_back();
            DirEntry& e = entries[count];
            e.name.assign(name);
            e.error = 0;
            e.size = 0;
            e.lastWrite = kZeroDate;
            e.stamp = {};
            if (d->d_type == DT_DIR) {
                // Folders need no size or time: spare the stat. A link is examined itself,
                // never followed: its time and the length of its target text.
                e.attributes = AttributesFromMode(S_IFDIR | 0700, name);
            } else {
                struct stat st {};
                if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                    if (errno == ENOENT)
                        continue; // vanished since the listing: not there
                    // There, but hidden from this user (a folder that may be read but not
                    // searched) or unreadable: the caller learns of it.
                    e.error = errno;
                    e.attributes = name[0] == '.' ? kAttrHidden : 0;
                    ++count;
                    continue;
                }
                e.attributes = AttributesFromMode(st.st_mode, name);
                e.size = st.st_size;
                e.lastWrite = DateTimeFromUnix(st.st_mtim.tv_sec);
                e.stamp = StampOf(InfoFromStat(st));
            }
            ++count;
        }
        const int err = stopped ? ECANCELED : errno;
        ::closedir(dir);
        entries.resize(count);
        std::sort(entries.begin(), entries.end(), NameLess);
        return err;
    }

    AttributeResult GetFileAttributes(const std::string& path) override {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            return {errno, 0};
        return {0, AttributesOfPath(st.st_mode, path)};
    }

    AttributeResult GetTargetAttributes(const std::string& path) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return {errno, 0};
        return {0, AttributesOfPath(st.st_mode, path)};
    }

    int GetTargetId(const std::string& path, FileId& id) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return errno;
        id.device = static_cast<std::uint64_t>(st.st_dev);
        id.inode = static_cast<std::uint64_t>(st.st_ino);
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            id.birth = BirthOf(fd);
            ::close(fd);
        }
        return 0;
    }

    bool IsFileSystemTop(const std::string& folder) override {
        struct stat here {
        }, above{};
        const std::string parent =
            folder.empty() || folder.back() != '/' ? folder + "/.." : folder + "..";
        if (::stat(folder.c_str(), &here) != 0 || ::stat(parent.c_str(), &above) != 0)
            return false;
        return here.st_dev != above.st_dev || here.st_ino == above.st_ino;
    }

    std::string CanonicalPath(const std::string& path) override {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved == nullptr)
            return {};
        std::string out(resolved);
        std::free(resolved);
        return out;
    }

    DateTime GetFileLastWrite(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return kZeroDate;
        struct stat st {};
        DateTime t = kZeroDate;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
            t = DateTimeFromUnix(st.st_mtim.tv_sec);
        ::close(fd);
        return t;
    }
};

class RealTreeReader final : public TreeReader {
public:
    explicit RealTreeReader(const std::string& root) : chain_(RealFileOps()) {
        rootError_ = chain_.OpenRoot(root);
    }
    FileState Examine(std::string_view relativeFolder, const std::string& name) override {
        FileState state;
        if (rootError_ != 0) {
            state.error = rootError_;
            return state;
        }
        // The files of one folder are asked for one after another: a folder that is not
        // there is tried once for all of them.
        if (relativeFolder == missingFolder_) {
            state.error = ENOENT;
            return state;
        }
        FolderRef folder;
        if (int err = chain_.Resolve(relativeFolder, false, folder); err != 0) {
            if (err == ENOENT)
                missingFolder_.assign(relativeFolder);
            state.error = err;
            return state;
        }
        missingFolder_.assign(1, '\0'); // no relative folder holds a NUL
        state.error = RealFileOps().StatAt(folder->fd, name, state.info);
        return state;
    }

private:
    FolderChain chain_;
    int rootError_ = 0;
    std::string missingFolder_ = std::string(1, '\0');
};

} // namespace

std::unique_ptr<TreeReader> FileSystem::OpenTree(const std::string& root) {
    return std::make_unique<RealTreeReader>(root);
}

FileSystem& RealFileSystem() {
    static RealFs fs;
    return fs;
}

} // namespace platform
