#include "run_recorder.h"

#include "platform/file_copy.h"
#include "platform/file_ops.h"
#include "platform/trash_places.h"
#include "rules/rule_store.h"
#include "sync_session.h"
#include "tree_paths.h"

#include <ctime>

namespace {

JournalFile FileOf(const platform::FileInfo& st) {
    return {st.device, st.inode, st.size, st.writeNanos};
}

// The replaced file as the comparison saw it; without its exact stamp only its size and whole
// seconds are known (inode 0).
JournalFile OldOf(const platform::SeenDestination& seen) {
    if (seen.stamp.known)
        return {seen.stamp.device, seen.stamp.inode, seen.size, seen.stamp.writeNanos};
    return {0, 0, seen.size, UnixFromDateTime(seen.lastWrite) * platform::FileInfo::kBillion};
}

// The name of the run's folder of old versions in the trash.
std::string KeptTitle() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[64] = "";
    if (::localtime_r(&now, &local) != nullptr)
        std::strftime(text, sizeof text, "%d.%m.%Y %H.%M.%S", &local);
    return std::string("Gleichwart, alte Fassungen vom ") + text;
}

std::string AbsoluteRoot(const std::string& root) {
    std::string absolute = platform::AbsolutePath(root);
    if (absolute.empty() || absolute.back() != '/')
        absolute += '/';
    return absolute;
}

} // namespace

RunRecorder::RunRecorder(platform::FileOps& ops, const SyncSession& session, bool keepReplaced)
    : session_(session), keepReplaced_(keepReplaced), journal_(ops),
      keep_(ops, keepReplaced ? platform::CurrentTrashPlaces() : platform::TrashPlaces{},
            KeptTitle()),
      absoluteStart_(AbsoluteRoot(session.StartPath)),
      absoluteTarget_(AbsoluteRoot(session.TargetPath)) {}

void RunRecorder::Begin(const std::string& folder, const platform::FileIdentity& start,
                        const platform::FileIdentity& target, platform::FolderChain& startWrite,
                        platform::FolderChain& targetWrite) {
    JournalHeader header;
    header.startPath = absoluteStart_;
    header.targetPath = absoluteTarget_;
    header.start = start;
    header.target = target;
    header.ruleName = session_.CurrentRule.Name;
    header.ruleText = RuleText(session_.CurrentRule);
    header.keepReplaced = keepReplaced_;
    if (!journal_.Begin(folder, header))
        return;
    startMaking_.journal = targetMaking_.journal = &journal_;
    startMaking_.inStart = true;
    startWrite.TellMaking(&startMaking_);
    targetWrite.TellMaking(&targetMaking_);
}

std::string RunRecorder::AbsoluteFolder(bool inStart, std::string_view relative) const {
    std::string folder = inStart ? absoluteStart_ : absoluteTarget_;
    folder.append(relative);
    return folder;
}

std::size_t RunRecorder::NoteCopy(const platform::StagedCopy& staged, bool toTarget,
                                  std::size_t& slot) {
    slot = kNoSlot;
    const bool inStart = !toTarget;
    const std::string& root = inStart ? session_.StartPath : session_.TargetPath;
    const std::string_view relative =
        std::string_view(staged.destination.path).substr(RootPrefixLength(root));
    const JournalFile now{staged.written.device, staged.written.inode, staged.writtenSize,
                          staged.writtenNanos};
    if (staged.seen.kind == platform::SeenDestination::Kind::Absent)
        return journal_.Made(inStart, relative, now);
    const platform::TrashSpot* kept = nullptr;
    if (keepReplaced_) {
        // Where the trash cannot take it, the file is replaced as without keeping.
        if (keep_.Claim(staged.destination.folder->fd, inStart ? absoluteStart_ : absoluteTarget_,
                        relative.substr(0, relative.rfind('/') + 1), staged.destination.name,
                        staged.written.device, slot) == 0)
            kept = &keep_.Spot(slot);
        else
            slot = kNoSlot;
    }
    return journal_.Replaced(inStart, relative, now, OldOf(staged.seen), kept);
}

std::size_t RunRecorder::NoteTrashed(std::string_view relative, const platform::FileInfo& st,
                                     const platform::TrashSpot& spot) {
    return journal_.Trashed(false, relative, FileOf(st), spot);
}
