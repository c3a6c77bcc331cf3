#include "run_journal.h"

#include "copy_errors.h"
#include "journal_format.h"
#include "platform/file_ops.h"
#include "platform/state_folder.h"
#include "platform/trash_batch.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <vector>

namespace {

void AddFile(std::string& line, const JournalFile& f) {
    journal::AddNumber(line, f.device);
    journal::AddNumber(line, f.inode);
    journal::AddNumber(line, f.size);
    journal::AddNumber(line, f.writeNanos);
}

void AddSpot(std::string& line, const platform::TrashSpot* spot) {
    journal::AddName(line, spot != nullptr ? spot->trash : std::string());
    journal::AddName(line, spot != nullptr ? spot->name : std::string());
}

void AddRoot(std::string& line, const char* keyword, const std::string& path,
             const platform::FileIdentity& id) {
    line += keyword;
    journal::AddNumber(line, id.device);
    journal::AddNumber(line, id.inode);
    journal::AddNumber(line, id.birth);
    journal::AddName(line, path);
    line += '\n';
}

std::int64_t Now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

} // namespace

RunJournal::~RunJournal() {
    if (fd_ >= 0) {
        Write(false);
        if (fd_ >= 0)
            ops_.Close(fd_);
    }
    if (folderFd_ >= 0)
        ops_.Close(folderFd_);
}

bool RunJournal::Begin(const std::string& folder, const JournalHeader& h) {
    folder_ = folder;
    if (folder.empty()) {
        problem_ = "Dieser Abgleich lässt sich nicht rückgängig machen: Für sein Protokoll ist "
                   "kein Ordner bekannt (weder XDG_STATE_HOME noch HOME ist gesetzt).";
        return false;
    }
    std::vector<std::string> names;
    int err = platform::OpenOrMakeFolder(ops_, folder, folderFd_);
    if (err == 0)
        err = ops_.ListNames(folderFd_, names);
    std::uint64_t next = 1;
    for (const std::string& n : names) {
        std::uint64_t number = 0;
        if (journal::FileNumber(n, number))
            next = std::max(next, number + 1);
    }
    for (int attempt = 0; err == 0 && attempt < 100; ++attempt, ++next) {
        name_ = journal::FileName(next);
        err = ops_.OpenAt(folderFd_, name_, O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_NOFOLLOW,
                          0600, fd_);
        if (err != EEXIST)
            break;
    }
    // No flush of the folder for the new name: the first flush of the records takes it along
    // (a flush of the whole file system, or of a new file, which ext4, XFS and Btrfs make
    // durable with its name), and until then no action of the run has happened.
    platform::FileInfo st;
    if (err == 0)
        err = ops_.Fstat(fd_, st);
    device_ = st.device;
    if (err != 0) {
        giveUp(err);
        return false;
    }
    buffer_.assign(journal::kMagic).append("\n");
    AddRoot(buffer_, "start", h.startPath, h.start);
    AddRoot(buffer_, "ziel", h.targetPath, h.target);
    buffer_ += "regel";
    journal::AddName(buffer_, h.ruleName);
    journal::AddName(buffer_, h.ruleText);
    buffer_ += "\nbeginn";
    journal::AddNumber(buffer_, Now());
    buffer_ += h.keepReplaced ? "\nbehalten 1\n" : "\nbehalten 0\n";
    removeOthers(false);
    return true;
}

void RunJournal::begin(bool inStart, std::string_view keyword, std::string_view path) {
    buffer_.append(keyword).append(inStart ? " S" : " T");
    journal::AddName(buffer_, path);
}

std::size_t RunJournal::action() {
    buffer_ += '\n';
    return actions_++;
}

std::size_t RunJournal::Made(bool inStart, std::string_view path, const JournalFile& now) {
    begin(inStart, "neu", path);
    AddFile(buffer_, now);
    return action();
}

std::size_t RunJournal::Replaced(bool inStart, std::string_view path, const JournalFile& now,
                                 const JournalFile& old, const platform::TrashSpot* kept) {
    begin(inStart, "ersetzt", path);
    AddFile(buffer_, now);
    AddFile(buffer_, old);
    AddSpot(buffer_, kept);
    return action();
}

std::size_t RunJournal::Trashed(bool inStart, std::string_view path, const JournalFile& file,
                                const platform::TrashSpot& spot) {
    begin(inStart, "papierkorb", path);
    AddFile(buffer_, file);
    AddSpot(buffer_, &spot);
    return action();
}

std::size_t RunJournal::DeletedForGood(bool inStart, std::string_view path, std::int64_t size,
                                       std::int64_t writeNanos) {
    begin(inStart, "geloescht", path);
    journal::AddNumber(buffer_, size);
    journal::AddNumber(buffer_, writeNanos);
    return action();
}

void RunJournal::FolderMade(bool inStart, std::string_view path) {
    begin(inStart, "ordner-neu", path);
    action();
    Write(false);
}

std::size_t RunJournal::FolderRemoved(bool inStart, std::string_view path, std::uint32_t mode,
                                      const platform::TrashSpot* spot) {
    begin(inStart, "ordner-weg", path);
    journal::AddNumber(buffer_, std::uint64_t(mode));
    AddSpot(buffer_, spot);
    return action();
}

void RunJournal::NotDone(std::size_t action) {
    buffer_ += "nicht";
    journal::AddNumber(buffer_, std::uint64_t(action));
    buffer_ += '\n';
}

void RunJournal::Write(bool durable) {
    if (fd_ < 0) {
        buffer_.clear();
        return;
    }
    int err = 0;
    for (std::size_t done = 0; err == 0 && done < buffer_.size();) {
        std::size_t written = 0;
        err = ops_.Write(fd_, buffer_.data() + done, buffer_.size() - done, written);
        if (err == 0 && written == 0)
            err = EIO;
        done += written;
    }
    buffer_.clear();
    if (err == 0 && durable)
        err = ops_.DataSync(fd_);
    if (err != 0)
        giveUp(err);
}

void RunJournal::End() {
    if (fd_ < 0)
        return;
    if (actions_ == 0) {
        ops_.Close(fd_);
        fd_ = -1;
        ops_.UnlinkAt(folderFd_, name_, 0);
        return;
    }
    buffer_ += "ende";
    journal::AddNumber(buffer_, Now());
    buffer_ += '\n';
    // Not flushed on its own: where a crash takes the end away, undo only says that the run
    // did not come to its end.
    Write(false);
    if (fd_ >= 0)
        ops_.Close(fd_);
    fd_ = -1;
}

void RunJournal::giveUp(int err) {
    problem_ = "Dieser Abgleich lässt sich nicht rückgängig machen: Sein Protokoll in \"" +
               folder_ + "\" konnte nicht geschrieben werden. " + ErrorDescription(err);
    buffer_.clear();
    if (fd_ >= 0) {
        ops_.Close(fd_);
        fd_ = -1;
        ops_.UnlinkAt(folderFd_, name_, 0);
    }
    removeOthers(true);
}

// The older journals beyond the last kKept, or with `all` every one but this run's.
void RunJournal::removeOthers(bool all) {
    std::vector<std::string> names;
    if (folderFd_ < 0 || ops_.ListNames(folderFd_, names) != 0)
        return;
    std::vector<std::pair<std::uint64_t, std::string>> journals;
    for (std::string& n : names) {
        std::uint64_t number = 0;
        if (journal::FileNumber(n, number) && n != name_)
            journals.emplace_back(number, std::move(n));
    }
    std::sort(journals.begin(), journals.end());
    const std::size_t keep = all ? 0 : kKept - 1;
    for (std::size_t i = 0; i + keep < journals.size(); ++i)
        ops_.UnlinkAt(folderFd_, journals[i].second, 0);
}
