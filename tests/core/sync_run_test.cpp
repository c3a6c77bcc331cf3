// The copy phase of a run: what it writes, what it shows, and what is left when a call fails,
// the disk is full or the process is killed; and the undo of a run.
#include "engine/undo_plan.h"
#include "platform/flush_policy.h"
#include "run_test_support.h"
#include "trash_test_support.h"

#include <set>

namespace {

// Any one call of a run failing, once or for good as on a disk that stays full, loses
// nothing: each copy is the old file or the whole new one, each file to delete is gone or
// listed with the reason, no temporary file stays, and the run goes through every entry.
// With or without unnamed temporary files; into the trash or for good.
class RunFailures : public ::testing::TestWithParam<std::tuple<bool, int, bool, std::uint32_t>> {};

TEST_P(RunFailures, FailingAnyOneCallLosesNothingAndTheRunGoesOn) {
    const auto [noUnnamedFiles, reverse, persist, fileSystemType] = GetParam();
    const std::vector<std::tuple<std::string, std::string, std::string>> copies = {
        {"alt.txt", "ALTER STAND", "aktueller Stand"},
        {"neu.txt", "", "neuer Inhalt"},
        {"tief/unten/datei.bin", "", std::string((1 << 20) + 1, 'q')}};
    for (int n = 1;; ++n) {
        TempHome home;
        TreeBuilder t;
        t.text("ziel/alt.txt", "ALTER STAND", UnixTime(8, 0, 0));
        for (const auto& [rel, old, now] : copies)
            t.text("start/" + rel, now, UnixTime(12, 0, 0));
        std::set<std::string> doomed;
        for (const char* rel : {"ziel/a.txt", "ziel/b.txt", "ziel/tief/c.txt"})
            doomed.insert(t.text(rel, rel, UnixTime(8, 0, 0)));
        SyncSession s = Load(t.path("start"), t.path("ziel"), 0, reverse);
        ASSERT_EQ(s.CopyList.size() + s.DeleteList.size(), 6u);
        FailingOps ops;
        ops.noUnnamedFiles = noUnnamedFiles;
        ops.fileSystemType = fileSystemType;
        ops.failAt = n;
        ops.persist = persist;
        ops.error = n % 2 == 0 ? ENOSPC : EIO;
        RecordingRun view;
        const RunResult r = RunSynchronisation(s, ops, view);
        if (!ops.failed) {
            EXPECT_TRUE(!r.anyCopyFailed() && r.deleted() == 3u);
            EXPECT_GT(n, 60);
            break; // n is beyond the last call of a whole run
        }
        SCOPED_TRACE(testing::Message() << "call " << n << " failed");
        // A root that cannot be opened refuses the run before it touches anything.
        const bool refused = !r.refused.empty();
        EXPECT_EQ(view.filesLeft, refused ? "" : "0 Dateien");
        // On a disk that keeps failing, even the removal of a temporary file fails.
        EXPECT_TRUE(persist || TemporaryFiles(t.root()).empty());
        for (const auto& [rel, old, now] : copies) {
            const std::string dst = t.path("ziel/" + rel);
            const bool failed =
                refused || std::any_of(r.failures.begin(), r.failures.end(),
                                       [&](const FailedItem& f) { return f.path == dst; });
            EXPECT_EQ(ReadFile(dst), failed ? old : now) << rel;
            EXPECT_EQ(ReadFile(t.path("start/" + rel)), now) << rel;
        }
        std::set<std::string> listed;
        for (const FailedItem& f : r.failures) {
            EXPECT_FALSE(f.reason.empty());
            if (f.kind != FailedItem::Kind::Delete)
                continue;
            listed.insert(f.path);
            EXPECT_NE(f.reason.find(ops.error == EIO ? "Ein-/" : "Speicherplatz"),
                      std::string::npos);
        }
        const std::set<std::string> all = doomed;
        std::erase_if(doomed, [](const std::string& p) { return !fs::exists(p); });
        EXPECT_EQ(doomed, refused ? all : listed); // a refused run deletes nothing
    }
}

INSTANTIATE_TEST_SUITE_P(UnnamedFilesReverseActionPersist, RunFailures,
                         ::testing::Values(std::tuple{false, 4, false, 0u},
                                           std::tuple{true, 5, false, 0u},
                                           std::tuple{false, 5, true, 0u},
                                           std::tuple{true, 4, true, 0u},
                                           // sshfs: each file is flushed on its own
                                           std::tuple{false, 5, false, 0x65735546u},
                                           std::tuple{true, 4, false, 0x65735546u}));

// Where the file system cannot be flushed as a whole, every copy is flushed on its own
// before it gets its name, and each folder that got names after; elsewhere one flush of the
// file system serves the whole batch.
TEST(FlushChoice, EachCopyIsFlushedWhereTheFileSystemCannotBeFlushedAsAWhole) {
    const struct {
        std::uint32_t type;
        bool syncfsReaches;
        int fileSyncs, fileSystemSyncs;
    } cases[] = {
        {0xEF53, true, 0, 2},      // ext4: one flush before the names, one after
        {0x65735546, false, 4, 0}, // FUSE: three files, then their one folder
        {0xFE534D42, false, 4, 0}, // SMB2
        {0x01021997, false, 4, 0}, // 9p
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(platform::SyncfsReachesStorage(c.type), c.syncfsReaches);
        TempHome home;
        TreeBuilder t;
        for (const char* name : {"a", "b", "c"})
            t.text(std::string("start/") + name, name, UnixTime(12, 0, 0));
        t.folder("ziel");
        SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
        FailingOps ops;
        ops.fileSystemType = c.type;
        RecordingRun view;
        EXPECT_EQ(RunSynchronisation(s, ops, view).copied, 3);
        EXPECT_EQ(ops.fileSyncs, c.fileSyncs);
        EXPECT_EQ(ops.fileSystemSyncs, c.fileSystemSyncs);
        EXPECT_EQ(ReadFile(t.path("ziel/b")), "b");
    }
}

class SyncRun : public Trees {};

TEST_F(SyncRun, CopiesBothWaysKeepingTimeAndModeButNoSetIdBitsAndMakingFolders) {
    const std::string script = put("start/a/b/skript.sh", "#!/bin/sh\n", 12);
    ::chmod(script.c_str(), 06750);
    put("ziel/zurueck.txt", "nur im Ziel", 13);
    SyncSession s = load(0, 2);
    EXPECT_FALSE(run(s).anyCopyFailed());
    EXPECT_EQ(Mode(t.path("ziel/a/b/skript.sh")), 0750u);
    EXPECT_EQ(fs::last_write_time(t.path("ziel/a/b/skript.sh")),
              fs::last_write_time(t.path("start/a/b/skript.sh")));
    EXPECT_EQ(ReadFile(t.path("start/zurueck.txt")), "nur im Ziel");
    EXPECT_EQ(s.DoneSize, s.TotalSize);
}

TEST_F(SyncRun, TheResultCountsEachWayWhatFailedAndWhatWasLeftAsChanged) {
    put("start/a.txt", "12345", 12);
    put("start/sub/b.txt", "1234567", 12);
    put("ziel/zurueck.txt", "abc", 12);
    put("start/gesperrt.txt", "neu", 12);
    const std::string locked = put("ziel/gesperrt.txt", "alt", 1);
    ::chmod(locked.c_str(), 0444);
    put("start/brief.txt", "neu", 12);
    put("ziel/brief.txt", "alt", 8);
    put("start/weg.txt", "gleich weg", 12);
    SyncSession s = load(0, 3);
    put("ziel/brief.txt", "bearbeitet", 13);
    fs::remove(t.path("start/weg.txt"));
    const RunResult r = run(s);
    // Copied and copied back with their bytes, failed, left as changed, deleted.
    EXPECT_EQ((std::vector<std::int64_t>{r.copied, r.copiedBytes, r.copiedBack, r.copiedBackBytes,
                                         r.failed(), r.leftChanged(), std::int64_t(r.deleted())}),
              (std::vector<std::int64_t>{2, 12, 1, 3, 2, 1, 0}));
    EXPECT_EQ(failed(), (Lines{"ziel/brief.txt: Die Zieldatei wurde nach dem Laden geändert.",
                               "ziel/gesperrt.txt: Schreibzugriff auf Zieldatei verweigert",
                               "ziel/weg.txt: Quelldatei existiert nicht"}));
    // The user protected the old file: it stays as it was, read-only.
    EXPECT_EQ(ReadFile(locked), "alt");
    EXPECT_EQ(Mode(locked), 0444u);
    EXPECT_EQ(view.filesLeft, "0 Dateien");
}

TEST_F(SyncRun, ARunKilledHalfWayLeavesOldOrWholeFilesAndNoTemporaryOnes) {
    // Files of one and of four progress calls: some kills come in the middle of a file.
    auto content = [](int i) { return std::string(i % 2 ? 3 << 20 : 300000, char('a' + i)); };
    for (int i = 0; i < 6; ++i) {
        put("start/f" + std::to_string(i), content(i), 12);
        put("ziel/f" + std::to_string(i), "alt", 1);
    }
    for (int killAt : {2, 5, 9, 17}) {
        if (::fork() == 0) {
            int calls = 0;
            view.onProgress = [&] {
                if (++calls == killAt)
                    ::kill(::getpid(), SIGKILL);
            };
            SyncSession s = load(0, 0);
            run(s);
            ::_exit(0);
        }
        ::wait(nullptr);
        for (int i = 0; i < 6; ++i) {
            const std::string now = ReadFile(t.path("ziel/f" + std::to_string(i)));
            EXPECT_TRUE(now == "alt" || now == content(i)) << "f" << i << ", kill at " << killAt;
        }
        EXPECT_TRUE(TemporaryFiles(t.root()).empty());
    }
}

// Every entry below `root`: its kind and mode, a file's time and bytes, a link's time and
// text. Folders without their times, which change with every name that comes or goes.
std::map<std::string, std::string> State(const std::string& root) {
    std::map<std::string, std::string> state;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        std::string& v = state[fs::relative(e.path(), root).string()];
        v = std::to_string(st.st_mode);
        if (!S_ISDIR(st.st_mode))
            v += " " + std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
        v += S_ISLNK(st.st_mode)   ? " -> " + fs::read_symlink(e.path()).string()
             : S_ISREG(st.st_mode) ? " " + ReadFile(e.path().string())
                                   : "";
    }
    return state;
}

// The contents of the files (a link as "-> text") in the user's trash, sorted; folders of old
// versions included.
Lines TrashContents() {
    Lines contents;
    for (const auto& e : fs::recursive_directory_iterator(HomeTrash() + "/files"))
        if (!e.is_directory() || e.is_symlink())
            contents.push_back(e.is_symlink() ? "-> " + fs::read_symlink(e.path()).string()
                                              : ReadFile(e.path().string()));
    std::sort(contents.begin(), contents.end());
    return contents;
}

// As a disk without second names (FAT, exFAT, and without unnamed files) that cannot swap two
// names either.
class NoHardLinks : public FailingOps {
public:
    NoHardLinks() { noUnnamedFiles = true; }
    int LinkAt(int, const std::string&, int, const std::string&) override { return EPERM; }
    int RenameAt(int fd, const std::string& f, int td, const std::string& t, unsigned fl) override {
        return (fl & RENAME_EXCHANGE) != 0 ? EINVAL : FailingOps::RenameAt(fd, f, td, t, fl);
    }
};

struct QuietUndo : UndoView {
    void StatusText(const std::string&) override {}
    void Progress(std::int64_t, std::int64_t) override {}
    void PumpEvents() override {}
    bool StopRequested() override { return false; }
};

// A mirror into the trash and a rule that copies back, with links and folders: new files and
// folders, replaced files and links, files into the trash or copied back, folders removed or
// made in the start tree, a name with a line break and bytes that are no UTF-8; also on a disk
// without hard links. Undo puts both trees back exactly; the trash keeps what the run wrote.
TEST(UndoRun, PutsBothTreesBackByteForByteAndTheTrashKeepsTheRunsVersions) {
    const std::string odd = "zeile\nneu\xff.txt";
    const auto linkTime = [](const std::string& path, int hour) {
        const timespec times[2] = {{UnixTime(hour, 0, 0), 0}, {UnixTime(hour, 0, 0), 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    };
    for (const auto& [reverse, hardLinks] : {std::pair{int(kMoveToTrash), true},
                                             {int(kCopyBackBoth), true},
                                             {int(kMoveToTrash), false}}) {
        SCOPED_TRACE(testing::Message() << reverse << (hardLinks ? "" : ", no hard links"));
        FailingOps linking;
        NoHardLinks notLinking;
        platform::FileOps& ops = hardLinks ? static_cast<platform::FileOps&>(linking) : notLinking;
        TempHome home;
        TreeBuilder t;
        t.text("start/" + odd, "neu", UnixTime(12, 0, 0));
        t.text("start/neuer ordner/tief/datei.txt", "tief", UnixTime(12, 0, 0));
        t.text("start/ersetzt.txt", "neue Fassung", UnixTime(12, 0, 0));
        ::chmod(t.text("ziel/ersetzt.txt", "alte Fassung", UnixTime(8, 0, 0)).c_str(), 0640);
        linkTime(t.link("start/verweis", "ziel-neu"), 12);
        linkTime(t.link("ziel/verweis", "ziel-alt"), 8);
        t.text("ziel/weg " + odd, "weg", UnixTime(8, 0, 0));
        t.text("ziel/leer/alt.txt", "alt", UnixTime(8, 0, 0)); // the folder is left empty
        t.folder("ziel/leer/noch leerer");
        t.text("start/zurueck.txt", "älter", UnixTime(9, 0, 0));
        t.text("ziel/zurueck.txt", "neuer im Ziel", UnixTime(13, 0, 0));
        const auto start = State(t.path("start")), target = State(t.path("ziel"));
        SyncSession s = Unloaded(t.path("start"), t.path("ziel"), 0, reverse);
        s.CurrentRule.Options.SymbolicLinks = s.CurrentRule.Options.MatchFolders = true;
        RecordingLoad loading;
        ASSERT_TRUE(LoadFolders(s, platform::RealFileSystem(), loading).compared);
        RecordingRun view;
        const RunResult r = RunSynchronisation(s, ops, view);
        ASSERT_TRUE(r.failures.empty()) << r.failures[0].path << r.failures[0].reason;
        EXPECT_EQ(r.copied + r.copiedBack, reverse == kMoveToTrash ? 4 : 7);
        EXPECT_EQ(r.foldersRemoved, reverse == kMoveToTrash ? 2 : 0);
        const Lines kept = TrashContents();
        EXPECT_TRUE(std::count(kept.begin(), kept.end(), "alte Fassung") == 1 &&
                    std::count(kept.begin(), kept.end(), "-> ziel-alt") == 1);

        std::string why;
        const std::optional<UndoPlan> plan = FindUndoableRun(ops, why);
        ASSERT_TRUE(plan) << why;
        EXPECT_TRUE(plan->finished);
        QuietUndo shown;
        const UndoResult u = RunUndo(*plan, ops, shown);
        EXPECT_TRUE(u.left.empty()) << u.left[0].path << ": " << u.left[0].reason;
        EXPECT_TRUE(u.markedUndone);
        EXPECT_EQ(State(t.path("start")), start);
        EXPECT_EQ(State(t.path("ziel")), target);
        EXPECT_EQ(TrashContents(), reverse == kMoveToTrash
                                       ? (Lines{"-> ziel-neu", "neu", "neue Fassung", "tief"})
                                       : (Lines{"-> ziel-neu", "alt", "neu", "neue Fassung",
                                                "neuer im Ziel", "tief", "weg"}));
        EXPECT_FALSE(UndoableRunExists(platform::RealFileOps()));
    }
}

// What changed after a run stays as it is and is listed with its reason, while the rest is put
// back; a target root that another folder took the place of refuses the whole undo.
TEST(UndoRun, WhatChangedSinceTheRunIsLeftAloneAndListedWithItsReason) {
    const std::string changed =
        ": Die Datei wurde nach dem Abgleich geändert; sie bleibt, wie sie ist.";
    struct Row {
        std::string stays; // below the trees' folder; "" for everything
        std::function<void(TreeBuilder&)> after;
        std::string left;
    };
    const std::vector<Row> rows = {
        {"ziel/neu.txt", [](TreeBuilder& t) { t.text("ziel/neu.txt", "bearbeitet"); },
         "ziel/neu.txt" + changed},
        {"ziel/ersetzt.txt", [](TreeBuilder& t) { t.text("ziel/ersetzt.txt", "bearbeitet"); },
         "ziel/ersetzt.txt" + changed},
        {"ziel/weg.txt", [](TreeBuilder& t) { t.text("ziel/weg.txt", "wieder da"); },
         "ziel/weg.txt: Der Name ist inzwischen wieder vergeben."},
        {"",
         [](TreeBuilder& t) {
             fs::rename(t.path("ziel"), t.path("ziel-alt"));
             t.folder("ziel");
         },
         "Der Zielordner \"ROOT/ziel/\" ist nicht mehr derselbe Ordner wie beim Abgleich. Es "
         "wurde nichts rückgängig gemacht."},
    };
    for (const Row& row : rows) {
        TempHome home;
        TreeBuilder t;
        t.text("start/neu.txt", "neu", UnixTime(12, 0, 0));
        t.text("start/ersetzt.txt", "neu", UnixTime(12, 0, 0));
        t.text("ziel/ersetzt.txt", "alt", UnixTime(8, 0, 0));
        t.text("ziel/weg.txt", "weg", UnixTime(8, 0, 0));
        SyncSession s = Load(t.path("start"), t.path("ziel"), 0, kMoveToTrash);
        RecordingRun view;
        ASSERT_TRUE(RunSynchronisation(s, RunOps(), view).failures.empty());
        row.after(t);
        const auto before = State(t.root());
        std::string why;
        const std::optional<UndoPlan> plan = FindUndoableRun(platform::RealFileOps(), why);
        ASSERT_TRUE(plan) << why;
        QuietUndo shown;
        const UndoResult u = RunUndo(*plan, platform::RealFileOps(), shown);
        Lines left;
        for (const UndoLeft& l : u.left)
            left.push_back(l.path.substr(t.root().size() + 1) + ": " + l.reason);
        if (!u.refused.empty())
            left.push_back(u.refused);
        std::string expected = row.left;
        if (const auto at = expected.find("ROOT"); at != std::string::npos)
            expected.replace(at, 4, t.root());
        EXPECT_EQ(left, Lines{expected});
        const auto after = State(t.root());
        if (row.stays.empty())
            EXPECT_EQ(after, before);
        else
            EXPECT_EQ(after.at(row.stays), before.at(row.stays));
        EXPECT_EQ(u.putBackTotal(), row.stays.empty() ? 0 : 2);
    }
}

} // namespace
