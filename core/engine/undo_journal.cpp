#include "undo_journal.h"

#include "copy_errors.h"
#include "journal_format.h"
#include "platform/file_ops.h"
#include "platform/state_folder.h"
#include "undo_plan.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <string_view>
#include <vector>

namespace {

int ReadWhole(platform::FileOps& ops, const std::string& path, std::string& text) {
    int fd = -1;
    if (const int err = ops.Open(path, O_RDONLY | O_NOFOLLOW, 0, fd); err != 0)
        return err;
    platform::FileInfo st;
    int err = ops.Fstat(fd, st);
    if (err == 0) {
        text.resize(static_cast<std::size_t>(st.size));
        std::size_t done = 0;
        while (err == 0 && done < text.size()) {
            std::size_t got = 0;
            err = ops.Read(fd, text.data() + done, text.size() - done, got);
            if (got == 0)
                break;
            done += got;
        }
        text.resize(done);
    }
    ops.Close(fd);
    return err;
}

// Reads the lines of one journal into a plan.
class JournalReader {
public:
    explicit JournalReader(UndoPlan& plan) : plan_(plan) {}

    // False at a line that cannot be read.
    bool line(std::string_view text) {
        fields_ = journal::Fields(text);
        const std::string_view key = fields_[0];
        if (key == "start" || key == "ziel")
            return root(key == "start");
        if (key == "regel")
            return fields_.size() == 3 && journal::ReadName(fields_[1], plan_.ruleName) &&
                   journal::ReadName(fields_[2], plan_.ruleText);
        if (key == "beginn")
            return fields_.size() == 2 && journal::ReadNumber(fields_[1], plan_.began);
        if (key == "behalten") {
            plan_.keepReplaced = text == "behalten 1";
            return fields_.size() == 2;
        }
        if (key == "nicht")
            return notDone();
        if (key == "ende") {
            plan_.finished = true;
            return true;
        }
        if (key == "rueckgaengig")
            return true;
        return action(key);
    }
    bool rootsSeen() const { return roots_ == 2; }

private:
    bool root(bool start) {
        platform::FileIdentity& id = start ? plan_.start : plan_.target;
        std::string& path = start ? plan_.startPath : plan_.targetPath;
        ++roots_;
        return fields_.size() == 5 && journal::ReadNumber(fields_[1], id.device) &&
               journal::ReadNumber(fields_[2], id.inode) &&
               journal::ReadNumber(fields_[3], id.birth) && journal::ReadName(fields_[4], path) &&
               !path.empty() && path.back() == '/';
    }

    bool notDone() {
        std::uint64_t n = 0;
        if (fields_.size() != 2 || !journal::ReadNumber(fields_[1], n) || n >= plan_.entries.size())
            return false;
        plan_.entries[n].notDone = true;
        return true;
    }

    bool file(std::size_t at, JournalFile& f) {
        return at + 4 <= fields_.size() && journal::ReadNumber(fields_[at], f.device) &&
               journal::ReadNumber(fields_[at + 1], f.inode) &&
               journal::ReadNumber(fields_[at + 2], f.size) &&
               journal::ReadNumber(fields_[at + 3], f.writeNanos);
    }

    // The name of the field into the store.
    bool stored(std::size_t at, std::size_t& offset, std::uint32_t& length) {
        if (!journal::ReadName(fields_[at], name_))
            return false;
        offset = plan_.store.size();
        length = static_cast<std::uint32_t>(name_.size());
        plan_.store += name_;
        return true;
    }

    bool spot(std::size_t at, UndoEntry& e) {
        std::string trash;
        if (!journal::ReadName(fields_[at], trash) ||
            !stored(at + 1, e.trashName, e.trashNameLength))
            return false;
        if (trash.empty())
            return true;
        std::size_t i = 0;
        while (i < plan_.trashes.size() && plan_.trashes[i] != trash)
            ++i;
        if (i == plan_.trashes.size())
            plan_.trashes.push_back(std::move(trash));
        e.trash = static_cast<std::uint32_t>(i + 1);
        return true;
    }

    bool action(std::string_view key) {
        static constexpr std::pair<std::string_view, std::pair<UndoKind, std::size_t>> kKinds[] = {
            {"neu", {UndoKind::Made, 7}},
            {"ersetzt", {UndoKind::Replaced, 13}},
            {"papierkorb", {UndoKind::Trashed, 9}},
            {"geloescht", {UndoKind::DeletedForGood, 5}},
            {"ordner-neu", {UndoKind::FolderMade, 3}},
            {"ordner-weg", {UndoKind::FolderRemoved, 6}}};
        UndoEntry e;
        std::size_t fields = 0;
        for (const auto& [word, kind] : kKinds)
            if (key == word)
                std::tie(e.kind, fields) = kind;
        if (fields == 0 || fields_.size() != fields || (fields_[1] != "S" && fields_[1] != "T") ||
            !stored(2, e.path, e.pathLength))
            return false;
        e.inStart = fields_[1] == "S";
        bool ok = true;
        std::uint64_t mode = 0;
        switch (e.kind) {
        case UndoKind::Made:
            ok = file(3, e.now);
            break;
        case UndoKind::Replaced:
            ok = file(3, e.now) && file(7, e.old) && spot(11, e);
            break;
        case UndoKind::Trashed:
            ok = file(3, e.now) && spot(7, e) && e.trash != 0;
            break;
        case UndoKind::DeletedForGood:
            ok = journal::ReadNumber(fields_[3], e.now.size) &&
                 journal::ReadNumber(fields_[4], e.now.writeNanos);
            break;
        case UndoKind::FolderMade:
            break;
        case UndoKind::FolderRemoved:
            ok = journal::ReadNumber(fields_[3], mode) && spot(4, e);
            e.mode = static_cast<std::uint32_t>(mode & 07777);
            break;
        }
        if (ok)
            plan_.entries.push_back(e);
        return ok;
    }

    UndoPlan& plan_;
    std::vector<std::string_view> fields_;
    std::string name_;
    int roots_ = 0;
};

} // namespace

bool ReadJournal(platform::FileOps& ops, const std::string& path, UndoPlan& plan,
                 std::string& why) {
    std::string text;
    if (const int err = ReadWhole(ops, path, text); err != 0) {
        why = "Das Protokoll \"" + path + "\" kann nicht gelesen werden: " + ErrorDescription(err);
        return false;
    }
    plan = UndoPlan{};
    plan.journal = path;
    JournalReader reader(plan);
    std::size_t pos = 0;
    bool first = true;
    // Only whole lines count: the last one may have been cut off by a crash.
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         pos = end + 1, end = text.find('\n', pos)) {
        const std::string_view line(text.data() + pos, end - pos);
        if (first ? line != journal::kMagic : !reader.line(line))
            break;
        first = false;
    }
    if (first || !reader.rootsSeen()) {
        why = "Die Datei \"" + path + "\" ist kein lesbares Protokoll eines Abgleichs.";
        return false;
    }
    return true;
}

bool JournalUndone(platform::FileOps& ops, int folderFd, const std::string& name) {
    int fd = -1;
    if (ops.OpenAt(folderFd, name, O_RDONLY | O_NOFOLLOW, 0, fd) != 0)
        return false;
    // The last line is short: the end of the file holds it and the line break before it.
    platform::FileInfo st;
    std::string tail(128, '\0');
    std::size_t got = 0;
    bool undone = false;
    if (ops.Fstat(fd, st) == 0 &&
        ops.ReadAt(fd, tail.data(), tail.size(),
                   std::max<std::int64_t>(0, st.size - std::int64_t(tail.size())), got) == 0) {
        tail.resize(got);
        const std::size_t end = tail.rfind('\n');
        const std::size_t begin =
            end == std::string::npos || end == 0 ? std::string::npos : tail.rfind('\n', end - 1);
        undone = begin != std::string::npos &&
                 std::string_view(tail).substr(begin + 1).starts_with("rueckgaengig ");
    }
    ops.Close(fd);
    return undone;
}

int MarkUndone(platform::FileOps& ops, const std::string& path) {
    int fd = -1;
    if (const int err = ops.Open(path, O_WRONLY | O_APPEND | O_NOFOLLOW, 0, fd); err != 0)
        return err;
    std::string line = "rueckgaengig";
    journal::AddNumber(line, static_cast<std::int64_t>(std::time(nullptr)));
    line += '\n';
    std::size_t written = 0;
    int err = ops.Write(fd, line.data(), line.size(), written);
    if (err == 0 && written != line.size())
        err = EIO;
    if (err == 0)
        err = ops.DataSync(fd);
    const int closed = ops.Close(fd);
    return err != 0 ? err : closed;
}

namespace {

const char* const kNothingToUndo = "Es gibt keinen Abgleich, der rückgängig gemacht werden kann.";

// The journals' numbers and names, newest first.
std::vector<std::pair<std::uint64_t, std::string>> NewestFirst(platform::FileOps& ops,
                                                               int folderFd) {
    std::vector<std::string> names;
    std::vector<std::pair<std::uint64_t, std::string>> journals;
    if (ops.ListNames(folderFd, names) != 0)
        return journals;
    for (std::string& n : names) {
        std::uint64_t number = 0;
        if (journal::FileNumber(n, number))
            journals.emplace_back(number, std::move(n));
    }
    std::sort(journals.rbegin(), journals.rend());
    return journals;
}

// The name of the newest journal not undone, or empty; `folder` gets the journals' folder.
std::string NewestNotUndone(platform::FileOps& ops, std::string& folder) {
    folder = platform::JournalFolder();
    int fd = -1;
    if (folder.empty() || ops.Open(folder, O_RDONLY | O_DIRECTORY, 0, fd) != 0)
        return {};
    std::string found;
    for (const auto& [number, name] : NewestFirst(ops, fd)) {
        if (!JournalUndone(ops, fd, name)) {
            found = name;
            break;
        }
    }
    ops.Close(fd);
    return found;
}

} // namespace

std::optional<UndoPlan> FindUndoableRun(platform::FileOps& ops, std::string& why) {
    std::string folder;
    const std::string name = NewestNotUndone(ops, folder);
    if (name.empty()) {
        why = kNothingToUndo;
        return std::nullopt;
    }
    UndoPlan plan;
    if (!ReadJournal(ops, folder + "/" + name, plan, why))
        return std::nullopt;
    return plan;
}

bool UndoableRunExists(platform::FileOps& ops) {
    std::string folder;
    return !NewestNotUndone(ops, folder).empty();
}
