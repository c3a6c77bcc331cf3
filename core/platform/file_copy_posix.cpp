#include "file_copy.h"

#include "file_system.h"
#include "leftovers.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace platform {
namespace {

constexpr std::size_t kChunk = 1 << 20; // progress is reported at least every MiB

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

} // namespace

std::string NewTemporaryName() {
    static std::atomic<unsigned> counter{0};
    return kTemporaryPrefix + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

namespace {

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
    int tempFolder = -1;  // the folder that holds it
    bool handedOver = false;

    ~CopyState() {
        if (out >= 0)
            ops.Close(out);
        if (in >= 0)
            ops.Close(in);
        if (!tempName.empty() && !handedOver)
            ops.UnlinkAt(tempFolder, tempName, 0);
    }
};

CopyResult Fail(int err, CopySide side, const std::string& path) {
    return {err, side, path};
}

// Moves the data, in the kernel where it can, else through a buffer.
// `kernelCopy` is false where this pair of file systems refused already; it becomes false when
// they refuse now.
CopyResult CopyData(CopyState& s, const std::string& source, const std::string& destination,
                    std::int64_t size, const CopyProgress& progress, bool& kernelCopy) {
    std::int64_t transferred = 0;
    // One buffer per thread for every copy by hand, neither zeroed nor allocated per file.
    thread_local std::unique_ptr<char[]> buffer;
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
                buffer = std::make_unique_for_overwrite<char[]>(kChunk);
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
        // The size examined is copied: no further call to learn that the end is reached.
        if (transferred >= size && size > 0)
            return {};
    }
}

} // namespace

namespace {

// Opens the source and examines it: a regular file that still wins under the rule.
CopyResult OpenSource(CopyState& s, const CopyEnd& source, const SourceCheck& sourceCheck,
                      FileInfo& st) {
    if (int err = s.ops.OpenAt(source.folder->fd, source.name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK,
                               0, s.in);
        err != 0)
        return Fail(err, CopySide::Source, source.path);
    if (int err = s.ops.Fstat(s.in, st); err != 0)
        return Fail(err, CopySide::Source, source.path);
    if (!st.isFile())
        return Fail(EINVAL, CopySide::Source, source.path);
    if (sourceCheck && !sourceCheck(st))
        return {0, CopySide::Source, source.path, CopyProblem::SourceChanged};
    return {};
}

// A file that is replaced must still be the one the comparison saw, and writable unless its
// read-only mark came from the mirror itself.
CopyResult CheckDestination(FileOps& ops, const CopyEnd& destination, const SeenDestination& seen,
                            const FileInfo& source) {
    if (seen.kind == SeenDestination::Kind::Link)
        return {0, CopySide::Destination, destination.path, CopyProblem::KindsDiffer};
    if (seen.kind == SeenDestination::Kind::Folder)
        return Fail(EISDIR, CopySide::Destination, destination.path);
    if (seen.kind == SeenDestination::Kind::Absent)
        return {};
    FileInfo old;
    const int err = ops.StatAt(destination.folder->fd, destination.name, old);
    if (err != 0 && err != ENOENT)
        return Fail(err, CopySide::Destination, destination.path);
    if (err == 0 && old.isFolder())
        return Fail(EISDIR, CopySide::Destination, destination.path);
    if (err == 0 && !old.isFile())
        return Fail(EINVAL, CopySide::Destination, destination.path);
    if (seen.kind == SeenDestination::Kind::Unknown || err != 0 || !StillAsSeen(old, seen))
        return {0, CopySide::Destination, destination.path, CopyProblem::DestinationChanged};
    if (!old.ownerMayWrite() && source.ownerMayWrite())
        return Fail(EACCES, CopySide::Destination, destination.path);
    return {};
}

// The mode of the copy: the source's without set-user-ID and set-group-ID bits (a copy is
// data, not a privilege), without write permission when `readOnly`.
std::uint32_t CopyMode(const FileInfo& source, bool readOnly) {
    std::uint32_t mode = source.permissions & 0777;
    if (readOnly)
        mode &= ~std::uint32_t(0222);
    else if ((mode & S_IWUSR) == 0)
        mode |= (0222 & ~CurrentUmask()) | S_IWUSR;
    return mode;
}

// An unnamed file vanishes by itself if the program dies while writing it; where the file
// system has no such files, a named temporary file takes its place. 0 or the errno.
int OpenTemporary(CopyState& s, int dirFd, std::uint32_t mode, bool& unnamed) {
    unnamed = true;
    int err = s.ops.OpenAt(dirFd, ".", O_TMPFILE | O_WRONLY, mode, s.out);
    if (err != EOPNOTSUPP && err != EISDIR && err != EINVAL)
        return err;
    unnamed = false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = NewTemporaryName();
        err = s.ops.OpenAt(dirFd, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode, s.out);
        if (err == 0) {
            s.tempName = name;
            s.tempFolder = dirFd;
        }
        if (err != EEXIST)
            break;
    }
    return err;
}

// Gives the written copy its mode and time and notes which file it is. An unnamed file stays
// open and nameless until its commit, so that a program that dies in between leaves nothing
// behind; a named one is closed.
int FinishData(CopyState& s, std::uint32_t mode, const FileInfo& source, bool unnamed,
               bool flushEach, StagedCopy& staged) {
    // A file made with its final mode needs no change of mode, unless the umask took bits.
    if ((mode & ~CurrentUmask()) != mode) {
        if (int e = s.ops.Fchmod(s.out, mode); e != 0)
            return e;
    }
    if (int e = s.ops.Futimens(s.out, source.accessNanos, source.writeNanos); e != 0)
        return e;
    FileInfo info;
    if (int e = s.ops.Fstat(s.out, info); e != 0)
        return e;
    staged.written = {info.device, info.inode};
    staged.writtenSize = info.size;
    staged.writtenNanos = info.writeNanos;
    if (flushEach) {
        if (int e = s.ops.Fsync(s.out); e != 0)
            return e;
    }
    if (!unnamed) {
        const int out = s.out;
        s.out = -1;
        return s.ops.Close(out);
    }
    return 0;
}

} // namespace

CopyResult StageCopy(FileOps& ops, const CopyEnd& source, const CopyEnd& destination,
                     const SeenDestination& seen, bool readOnly, const SourceCheck& sourceCheck,
                     const CopyProgress& progress, StagedCopy& staged) {
    CopyState s{ops, -1, -1, {}, -1, false};
    FileInfo st;
    if (CopyResult r = OpenSource(s, source, sourceCheck, st); !r.ok())
        return r;
    if (CopyResult r = CheckDestination(ops, destination, seen, st); !r.ok())
        return r;
    const std::uint32_t mode = CopyMode(st, readOnly);
    bool unnamed = true;
    if (int err = OpenTemporary(s, destination.folder->fd, mode, unnamed); err != 0)
        return Fail(err, CopySide::Destination, destination.path);
    if (progress)
        progress(0, st.size);
    // Where the kernel cannot copy from this file system into this folder (another file system
    // of another kind), it is not asked again for each file of the folder.
    thread_local std::pair<std::uint64_t, const OpenFolder*> refused{0, nullptr};
    bool kernelCopy = refused.first != st.device || refused.second != destination.folder.get();
    const bool asked = kernelCopy;
    if (CopyResult r = CopyData(s, source.path, destination.path, st.size, progress, kernelCopy);
        !r.ok())
        return r;
    if (asked && !kernelCopy)
        refused = {st.device, destination.folder.get()};
    if (int e = FinishData(s, mode, st, unnamed, destination.flushEach, staged); e != 0)
        return Fail(e, CopySide::Destination, destination.path);
    staged.fd = s.out;
    staged.temporary = s.tempName;
    staged.destination = destination;
    staged.seen = seen;
    s.out = -1;
    s.handedOver = true;
    return {};
}

bool StillAsSeen(const FileInfo& now, const SeenDestination& seen) {
    const bool sameKind =
        (seen.kind == SeenDestination::Kind::File && now.isFile()) ||
        (seen.kind == SeenDestination::Kind::Link && now.type == FileInfo::Type::Link);
    return sameKind && now.size == seen.size &&
           DateTimeFromUnix(now.writeSeconds()) == seen.lastWrite &&
           (!seen.stamp.known || StampOf(now) == seen.stamp);
}

void RemoveStaleTemporaries(FileOps& ops, int folderFd) {
    std::vector<std::string> names;
    if (ops.ListNames(folderFd, names) != 0)
        return;
    for (const std::string& n : names) {
        // Only the files of a run that is gone: a live process may still commit its own.
        if (ProcessGone(CopyTemporaryOwner(n)))
            ops.UnlinkAt(folderFd, n, 0);
    }
}

} // namespace platform
