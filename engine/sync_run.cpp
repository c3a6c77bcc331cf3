#include "sync_run.h"

#include "compare_trees.h"
#include "copy_errors.h"
#include "platform/file_copy.h"
#include "platform/system_info.h"
#include "platform/user_locale.h"
#include "sync_session.h"
#include "texts.h"

namespace {

std::string Files(std::int64_t count) {
    return std::to_string(count) + " Dateien";
}

std::string UpToLastSlash(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string AfterLastSlash(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

RunResult RunCopyPhase(SyncSession& session, platform::FileOps& ops, RunView& view) {
    RunResult result;
    session.TotalSize = 0;
    session.DoneSize = 0;
    session.StartTicks = win::GetTickCount();
    if (session.CopyList.empty())
        return result;

    std::int64_t ticked = 0;
    for (const MyFile* f : session.CopyList) {
        if (f->Selected) {
            session.TotalSize += f->Size;
            ++ticked;
        }
    }
    view.PlannedCopies(Files(ticked), FormatSize(session.TotalSize));

    const char separator = platform::UserDecimalSeparator();
    std::int64_t processed = 0;
    bool haveFolder = false;
    std::string lastFolder;
    for (MyFile* f : session.CopyList) {
        if (!f->Selected)
            continue;
        if (view.StopRequested()) {
            result.stoppedEarly = true;
            break;
        }
        const std::string source = f->Path();
        const std::string destination = CounterpartPath(session, source, f->IsStart);
        const std::string to = UpToLastSlash(destination);
        view.CurrentFile(AfterLastSlash(destination), UpToLastSlash(source), to);
        // The destination folder chain is made when the folder changes; a folder that cannot
        // be made shows up as a failed copy.
        if (!haveFolder || to != lastFolder) {
            platform::MakeSureDirectoryPathExists(ops, to + "/");
            lastFolder = to;
            haveFolder = true;
        }
        view.PumpEvents();

        const platform::CopyResult copy = platform::CopyFileEx(
            ops, source, destination, [&](std::int64_t transferred, std::int64_t fileSize) {
                const auto elapsed =
                    static_cast<std::int32_t>(win::GetTickCount() - session.StartTicks);
                view.CopyProgress(CopyCallback(transferred, fileSize, session.TotalSize,
                                               session.DoneSize, elapsed, separator));
                view.PumpEvents();
            });
        if (!copy.ok()) {
            view.CopyFailed(source, destination, CopyErrorReason(ops, source, destination, copy));
            result.anyCopyFailed = true;
        }
        if (platform::GetFileAttributesA(ops, destination) != f->Attributes)
            platform::SetFileAttributesA(ops, destination, f->Attributes);
        session.DoneSize += f->Size;
        ++processed;
        view.FilesLeft(Files(ticked - processed));
    }
    return result;
}

void RunDeletePhase(SyncSession& session, RunView& view) {
    const int reverse = session.CurrentRule.ReverseAction;
    if ((reverse != 4 && reverse != 5) || session.DeleteList.empty())
        return;
    std::string pathList;
    for (const MyFile* f : session.DeleteList) {
        if (f->Selected) {
            pathList += f->Path();
            pathList += '\0';
        }
    }
    if (pathList.empty())
        return;
    pathList += '\0';
    view.StatusText("Löschvorgang...");
    view.DeleteFiles(EnsureDoubleNull(std::move(pathList)), reverse == 4, true);
}

std::string EnsureDoubleNull(std::string text) {
    const std::size_t n = text.size();
    if (n >= 2 && text[n - 1] == '\0' && text[n - 2] == '\0')
        return text;
    if (n == 0 || text[n - 1] != '\0')
        text.append(2, '\0');
    else
        text += '\0';
    return text;
}
