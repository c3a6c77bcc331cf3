#include "registry_hive.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace win {
namespace {

HiveWriteHook g_writeHook = nullptr;
HiveWriteFault g_writeFault = nullptr;

// Tries of further names when a temporary name is taken by something left behind.
constexpr int kTemporaryAttempts = 100;
// As many links in a row as the kernel itself follows.
constexpr int kMaxLinkHops = 40;

void RunHook(HiveWriteStage stage) {
    if (g_writeHook != nullptr)
        g_writeHook(stage);
}

LONG CodeFromErrno(int err) {
    switch (err) {
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    default:
        return ERROR_CANTWRITE;
    }
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The file a write of `path` has to replace: `path` itself, or where its chain of symbolic
// links ends (that file need not exist yet). Returns 0 or the errno.
int FollowLinks(const std::string& path, std::string& target) {
    target = path;
    char buf[PATH_MAX];
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        const ssize_t n = ::readlink(target.c_str(), buf, sizeof buf);
        if (n < 0)
            return errno == EINVAL || errno == ENOENT ? 0 : errno; // EINVAL: no link
        if (static_cast<std::size_t>(n) == sizeof buf)
            return ENAMETOOLONG;
        const std::string link(buf, static_cast<std::size_t>(n));
        target = link.front() == '/' ? link : DirectoryOf(target) + '/' + link;
    }
    return ELOOP;
}

int MakeDirectories(const std::string& dir) {
    for (std::size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos == dir.size() || dir[pos] == '/') {
            const std::string part = dir.substr(0, pos);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
                return errno;
        }
    }
    return 0;
}

bool ReadWholeFile(const std::string& path, std::string& out, int& err) {
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        return false;
    }
    char buf[65536];
    while (true) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            err = errno;
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The process ID in a temporary name of `file` ("<file>.tmp.<pid>.<attempt>"), 0 when the
// name is not one.
long WriterOf(const std::string& name, const std::string& file) {
    const std::string prefix = file + ".tmp.";
    if (name.compare(0, prefix.size(), prefix) != 0)
        return 0;
    const char* p = name.c_str() + prefix.size();
    char* end = nullptr;
    const long pid = std::strtol(p, &end, 10);
    if (end == p || *end != '.' || end[1] == '\0' || pid <= 0)
        return 0;
    for (const char* d = end + 1; *d != '\0'; ++d)
        if (*d < '0' || *d > '9')
            return 0;
    return pid;
}

// A writer killed between creating its temporary file and the rename leaves the file beside
// the hive for good. Called under the lock: the temporary files of writers that are gone are
// removed; a live writer's may still become the hive.
void RemoveDeadWritersFiles(const std::string& target) {
    const std::string dir = DirectoryOf(target);
    const auto slash = target.rfind('/');
    const std::string file = slash == std::string::npos ? target : target.substr(slash + 1);
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr)
        return;
    const int fd = ::dirfd(d);
    while (const dirent* e = ::readdir(d)) {
        const long pid = WriterOf(e->d_name, file);
        if (pid == 0 || pid == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 ||
            errno != ESRCH)
            continue;
        ::unlinkat(fd, e->d_name, 0);
    }
    ::closedir(d);
}

class FileLock {
public:
    explicit FileLock(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ < 0) {
            err_ = errno;
            return;
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                err_ = errno;
                break;
            }
        }
    }
    ~FileLock() {
        if (fd_ >= 0)
            ::close(fd_); // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    int error() const { return err_; }

private:
    int fd_;
    int err_ = 0;
};

std::recursive_mutex g_mutex;

} // namespace

void SetHiveWriteHookForTests(HiveWriteHook hook) {
    g_writeHook = hook;
}

void SetHiveWriteFaultForTests(HiveWriteFault fault) {
    g_writeFault = fault;
}

std::string HiveTemporaryPath(const std::string& target, int attempt) {
    return target + ".tmp." + std::to_string(::getpid()) + '.' + std::to_string(attempt);
}

std::string HivePathFromEnvironment() {
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "") + "/.config";
    }
    return base + "/gleichwart/registry.reg";
}

Hive::Hive(std::string path) : path_(std::move(path)) {}

Hive& Hive::Current() {
    static std::unique_ptr<Hive> hive;
    std::lock_guard lock(g_mutex);
    std::string path = HivePathFromEnvironment();
    if (!hive || hive->path() != path)
        hive = std::make_unique<Hive>(std::move(path));
    return *hive;
}

Hive::Identity Hive::statFile() const {
    Identity id;
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0)
        return id;
    id.exists = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.size = static_cast<unsigned long long>(st.st_size);
    id.mtimeSec = st.st_mtim.tv_sec;
    id.mtimeNsec = st.st_mtim.tv_nsec;
    id.ctimeNsec = st.st_ctim.tv_nsec;
    return id;
}

const HiveData& Hive::read() {
    std::lock_guard lock(g_mutex);
    const Identity id = statFile();
    if (cacheValid_ && id == cachedIdentity_)
        return cache_;
    std::string text;
    int err = 0;
    if (id.exists && ReadWholeFile(path_, text, err))
        cache_ = ParseHive(text).data;
    else
        cache_ = HiveData{};
    cachedIdentity_ = id;
    cacheValid_ = true;
    return cache_;
}

LONG Hive::writeFile(const std::string& path, const std::string& text) {
    std::string target;
    if (int err = FollowLinks(path, target); err != 0)
        return CodeFromErrno(err);
    if (g_writeFault != nullptr) {
        if (int err = g_writeFault(target, text.size()); err != 0)
            return CodeFromErrno(err);
    }
    RemoveDeadWritersFiles(target);
    // A fresh file that no link can redirect: whatever already has the name is left alone.
    std::string tmp;
    int fd = -1;
    int openErr = EEXIST;
    for (int attempt = 0; attempt < kTemporaryAttempts && openErr == EEXIST; ++attempt) {
        tmp = HiveTemporaryPath(target, attempt);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        openErr = fd < 0 ? errno : 0;
    }
    if (fd < 0)
        return CodeFromErrno(openErr);
    const std::size_t half = text.size() / 2;
    bool ok = WriteAll(fd, text.data(), half);
    if (ok)
        RunHook(HiveWriteStage::TemporaryHalfWritten);
    ok = ok && WriteAll(fd, text.data() + half, text.size() - half);
    ok = ok && ::fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok) {
        RunHook(HiveWriteStage::TemporaryComplete);
        if (::rename(tmp.c_str(), target.c_str()) != 0) {
            ok = false;
            err = errno;
        }
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        return CodeFromErrno(err);
    }
    RunHook(HiveWriteStage::Renamed);
    // The rename itself must survive a power cut too.
    int dirFd = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return ERROR_SUCCESS;
}

LONG Hive::modify(const std::function<LONG(HiveData&)>& change) {
    std::lock_guard lock(g_mutex);
    if (int err = MakeDirectories(DirectoryOf(path_)); err != 0)
        return CodeFromErrno(err);
    FileLock fileLock(path_ + ".lock");
    if (fileLock.error() != 0)
        return CodeFromErrno(fileLock.error());

    std::string original;
    int readErr = 0;
    const bool exists = ReadWholeFile(path_, original, readErr);
    if (!exists && readErr != ENOENT)
        return CodeFromErrno(readErr);
    ParsedHive parsed = ParseHive(original);
    cacheValid_ = false;

    const LONG rc = change(parsed.data);
    if (rc != ERROR_SUCCESS)
        return rc;
    const std::string text = SerializeHive(parsed.data);
    if (exists && text == original)
        return ERROR_SUCCESS;
    if (parsed.damaged) {
        // Keep what could not be read before the rewrite drops it.
        if (LONG bak = writeFile(path_ + ".bak", original); bak != ERROR_SUCCESS)
            return bak;
    }
    if (LONG w = writeFile(path_, text); w != ERROR_SUCCESS)
        return w;
    cache_ = std::move(parsed.data);
    cachedIdentity_ = statFile();
    cacheValid_ = true;
    return ERROR_SUCCESS;
}

} // namespace win
