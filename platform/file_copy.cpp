#include "file_copy.h"

#include "file_system.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::size_t kChunk = 1 << 20; // progress is reported at least every MiB

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// A write that runs out of room or rights is the destination's fault; anything else while
// moving data is laid at the source's door.
CopySide SideOf(int err) {
    switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EROFS:
    case EPERM:
    case EACCES:
        return CopySide::Destination;
    default:
        return CopySide::Source;
    }
}

std::string TemporaryName(const std::string& folder) {
    static std::atomic<unsigned> counter{0};
    return folder + (folder.back() == '/' ? "" : "/") + kTemporaryPrefix +
           std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

mode_t CurrentUmask() {
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

// The open files and names of one copy; whatever is still open or named on the way out of
// a failed copy is closed and removed.
struct CopyState {
    FileOps& ops;
    int in = -1;
    int out = -1;
    std::string tempName; // set once the temporary file has a name
    bool renamed = false;

    ~CopyState() {
        if (out >= 0)
            ops.Close(out);
        if (in >= 0)
            ops.Close(in);
        if (!tempName.empty() && !renamed)
            ops.Unlink(tempName);
    }
};

CopyResult Fail(int err, CopySide side, const std::string& path) {
    return {err, side, path};
}

// Moves the data, in the kernel where it can, else through a buffer.
CopyResult CopyData(CopyState& s, const std::string& source, const std::string& destination,
                    std::int64_t size, const CopyProgress& progress) {
    std::int64_t transferred = 0;
    bool kernelCopy = true;
    std::unique_ptr<char[]> buffer;
    while (true) {
        std::size_t n = 0;
        if (kernelCopy) {
            const int err = s.ops.CopyRange(s.in, s.out, kChunk, n);
            if (err == EXDEV || err == ENOSYS || err == EINVAL || err == EOPNOTSUPP ||
                err == ETXTBSY) {
                kernelCopy = false; // this pair of file systems cannot: copy by hand
                continue;
            }
            if (err != 0)
                return Fail(err, SideOf(err),
                            SideOf(err) == CopySide::Source ? source : destination);
        } else {
            if (!buffer)
                buffer = std::make_unique<char[]>(kChunk);
            if (int err = s.ops.Read(s.in, buffer.get(), kChunk, n); err != 0)
                return Fail(err, CopySide::Source, source);
            for (std::size_t done = 0; done < n;) {
                std::size_t written = 0;
                if (int err = s.ops.Write(s.out, buffer.get() + done, n - done, written); err != 0)
                    return Fail(err, CopySide::Destination, destination);
                if (written == 0)
                    return Fail(EIO, CopySide::Destination, destination);
                done += written;
            }
        }
        if (n == 0)
            return {};
        transferred += static_cast<std::int64_t>(n);
        if (progress)
            progress(transferred, size);
    }
}

} // namespace

CopyResult StageCopy(FileOps& ops, const std::string& source, const std::string& destination,
                     const CopyProgress& progress, bool flush, StagedCopy& staged) {
    CopyState s{ops};
    if (int err = ops.Open(source, O_RDONLY | O_NOFOLLOW | O_NONBLOCK, 0, s.in); err != 0)
        return Fail(err, CopySide::Source, source);
    struct stat st {};
    if (int err = ops.Fstat(s.in, st); err != 0)
        return Fail(err, CopySide::Source, source);
    if (!S_ISREG(st.st_mode))
        return Fail(EINVAL, CopySide::Source, source);

    struct stat old {};
    if (ops.Lstat(destination, old) == 0) {
        if (S_ISDIR(old.st_mode))
            return Fail(EISDIR, CopySide::Destination, destination);
        if (S_ISREG(old.st_mode) && (old.st_mode & S_IWUSR) == 0)
            return Fail(EACCES, CopySide::Destination, destination); // read-only, as on Windows
    }

    // An unnamed file vanishes by itself if the program dies while writing it; where the
    // file system has no such files, a named temporary file takes its place.
    const std::string folder = FolderOf(destination);
    bool unnamed = true;
    int err = ops.Open(folder, O_TMPFILE | O_WRONLY, 0600, s.out);
    if (err == EOPNOTSUPP || err == EISDIR || err == EINVAL) {
        unnamed = false;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = TemporaryName(folder);
            err = ops.Open(name, O_WRONLY | O_CREAT | O_EXCL, 0600, s.out);
            if (err == 0)
                s.tempName = name;
            if (err != EEXIST)
                break;
        }
    }
    if (err != 0)
        return Fail(err, CopySide::Destination, destination);

    if (progress)
        progress(0, st.st_size);
    if (CopyResult r = CopyData(s, source, destination, st.st_size, progress); !r.ok())
        return r;
    if (int e = ops.Fchmod(s.out, st.st_mode & 07777); e != 0)
        return Fail(e, CopySide::Destination, destination);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (int e = ops.Futimens(s.out, times); e != 0)
        return Fail(e, CopySide::Destination, destination);
    // The data is on the disk before the name points at it: after a power cut the
    // destination is the old file or the complete new one. A batch is flushed as a whole
    // before its renames instead.
    if (flush) {
        if (int e = ops.Fdatasync(s.out); e != 0)
            return Fail(e, CopySide::Destination, destination);
    }
    struct stat written {};
    if (int e = ops.Fstat(s.out, written); e != 0)
        return Fail(e, CopySide::Destination, destination);
    // An unnamed file stays open and nameless until its commit, so that a program that
    // dies in between leaves nothing behind.
    if (!unnamed) {
        const int out = s.out;
        s.out = -1;
        if (int e = ops.Close(out); e != 0)
            return Fail(e, CopySide::Destination, destination);
    }
    staged.fd = s.out;
    staged.temporary = s.tempName;
    staged.destination = destination;
    staged.folder = folder;
    staged.device = written.st_dev;
    s.out = -1;
    s.renamed = true; // handed over to the caller
    return {};
}

CopyResult CommitStaged(FileOps& ops, StagedCopy& staged) {
    if (staged.fd >= 0) {
        const std::string name = TemporaryName(staged.folder);
        const int linked = ops.LinkTempFile(staged.fd, name);
        const int closed = ops.Close(staged.fd);
        staged.fd = -1;
        if (linked != 0)
            return Fail(linked, CopySide::Destination, staged.destination);
        staged.temporary = name;
        if (closed != 0) {
            ops.Unlink(staged.temporary);
            return Fail(closed, CopySide::Destination, staged.destination);
        }
    }
    if (int e = ops.Rename(staged.temporary, staged.destination); e != 0) {
        ops.Unlink(staged.temporary);
        return Fail(e, CopySide::Destination, staged.destination);
    }
    return {};
}

void DiscardStaged(FileOps& ops, StagedCopy& staged) {
    if (staged.fd >= 0) {
        ops.Close(staged.fd); // a nameless file is gone with its last descriptor
        staged.fd = -1;
    } else {
        ops.Unlink(staged.temporary);
    }
}

CopyResult CopyFileEx(FileOps& ops, const std::string& source, const std::string& destination,
                      const CopyProgress& progress) {
    StagedCopy staged; // committed or discarded below, so never left open
    if (CopyResult r = StageCopy(ops, source, destination, progress, true, staged); !r.ok())
        return r;
    return CommitStaged(ops, staged);
}

int MakeSureDirectoryPathExists(FileOps& ops, const std::string& path) {
    int last = 0;
    for (std::size_t pos = path.find('/', 1); pos != std::string::npos;
         pos = path.find('/', pos + 1)) {
        const int err = ops.Mkdir(path.substr(0, pos), 0777);
        last = err == EEXIST ? 0 : err;
    }
    return last;
}

std::uint32_t GetFileAttributesA(FileOps& ops, const std::string& path) {
    struct stat st {};
    if (ops.Lstat(path, st) != 0)
        return kInvalidFileAttributes;
    return AttributesOfPath(st.st_mode, path);
}

int SetFileAttributesA(FileOps& ops, const std::string& path, std::uint32_t attributes) {
    struct stat st {};
    if (int err = ops.Lstat(path, st); err != 0)
        return err;
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return 0;
    mode_t mode = st.st_mode & 07777;
    if (attributes & kAttrReadOnly)
        mode &= ~mode_t(0222);
    else
        mode |= (0222 & ~CurrentUmask()) | S_IWUSR;
    if (mode == (st.st_mode & 07777))
        return 0;
    return ops.Chmod(path, mode);
}

} // namespace platform
