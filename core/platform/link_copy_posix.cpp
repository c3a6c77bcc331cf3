// Copying a symbolic link as a link: the target text and the link's own time, never
// following the link at either end.
#include "file_copy.h"

#include <cerrno>

namespace platform {

namespace {

CopyResult Failure(int err, CopySide side, const std::string& path,
                   CopyProblem problem = CopyProblem::None) {
    return {err, side, path, problem};
}

// The destination is what the comparison saw: nothing, or a link unchanged since then.
CopyResult CheckLinkDestination(FileOps& ops, const CopyEnd& destination,
                                const SeenDestination& seen) {
    using Kind = SeenDestination::Kind;
    if (seen.kind == Kind::Absent)
        return {};
    if (seen.kind != Kind::Link)
        return Failure(0, CopySide::Destination, destination.path, CopyProblem::KindsDiffer);
    FileInfo old;
    const int err = ops.StatAt(destination.folder->fd, destination.name, old);
    if (err != 0 && err != ENOENT)
        return Failure(err, CopySide::Destination, destination.path);
    if (err != 0 || !StillAsSeen(old, seen))
        return Failure(0, CopySide::Destination, destination.path, CopyProblem::DestinationChanged);
    return {};
}

} // namespace

CopyResult StageLink(FileOps& ops, const CopyEnd& source, const CopyEnd& destination,
                     const SeenDestination& seen, const SourceCheck& sourceCheck,
                     StagedCopy& staged) {
    FileInfo now;
    if (int err = ops.StatAt(source.folder->fd, source.name, now); err != 0)
        return Failure(err, CopySide::Source, source.path);
    if (now.type != FileInfo::Type::Link || !sourceCheck(now))
        return Failure(0, CopySide::Source, source.path, CopyProblem::SourceChanged);
    std::string target;
    if (int err = ops.ReadLinkAt(source.folder->fd, source.name, target); err != 0)
        return Failure(err, CopySide::Source, source.path);
    if (CopyResult r = CheckLinkDestination(ops, destination, seen); !r.ok())
        return r;

    const int dirFd = destination.folder->fd;
    std::string name;
    int err = EEXIST;
    for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
        name = NewTemporaryName();
        err = ops.SymlinkAt(target, dirFd, name);
    }
    if (err != 0)
        return Failure(err, CopySide::Destination, destination.path);
    FileInfo made;
    err = ops.SetTimesAt(dirFd, name, now.accessNanos, now.writeNanos);
    if (err == 0)
        err = ops.StatAt(dirFd, name, made);
    if (err != 0) {
        ops.UnlinkAt(dirFd, name, 0);
        return Failure(err, CopySide::Destination, destination.path);
    }
    staged.fd = -1;
    staged.temporary = name;
    staged.destination = destination;
    staged.seen = seen;
    staged.written = {made.device, made.inode};
    staged.writtenSize = made.size;
    staged.writtenNanos = made.writeNanos;
    return {};
}

} // namespace platform
