// The copy phase of a run: what it writes, what it shows, and what is left when a call fails,
// the disk is full or the process is killed.
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

} // namespace
