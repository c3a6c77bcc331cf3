#include "engine/compare_trees.h"
#include "engine/copy_errors.h"
#include "engine/folder_loading.h"
#include "engine/sync_run.h"
#include "engine/sync_session.h"
#include "platform/failing_file_ops.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "run_test_support.h"
#include "small_disk.h"
#include "temp_home.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SyncRunFailures : public ::testing::TestWithParam<bool> {};

TEST_P(SyncRunFailures, FailingAnyOneCallLosesNothingAndTheRunGoesOn) {
    int runsWithFailure = 0;
    for (int n = 1;; ++n) {
        TreeBuilder t;
        t.text("start/neu.txt", "neuer Inhalt", UnixTime(12, 0, 0));
        t.text("start/alt.txt", "aktueller Stand", UnixTime(12, 0, 0));
        t.text("ziel/alt.txt", "ALTER STAND", UnixTime(8, 0, 0));
        t.text("start/tief/unten/datei.bin", std::string(3 << 20, 'q'), UnixTime(12, 0, 0));
        SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
        ASSERT_EQ(s.CopyList.size(), 3u);
        FailingOps ops;
        ops.noUnnamedFiles = GetParam();
        ops.failAt = n;
        ops.error = n % 2 == 0 ? ENOSPC : EIO;
        RecordingRun view;
        const RunResult result = RunSynchronisation(s, ops, view);
        if (!ops.failed) {
            EXPECT_FALSE(result.anyCopyFailed);
            break; // n is beyond the last call of a whole run
        }
        ++runsWithFailure;
        if (!result.refused.empty()) { // a root could not be opened: nothing is touched
            EXPECT_EQ(Content(t.path("ziel/alt.txt")), "ALTER STAND") << n;
            EXPECT_FALSE(fs::exists(t.path("ziel/neu.txt"))) << n;
            continue;
        }
        EXPECT_EQ(view.filesLeft, "0 Dateien") << "the run went through every entry, n=" << n;
        EXPECT_TRUE(TemporaryFiles(t.root()).empty()) << "n=" << n;
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"alt.txt", "ALTER STAND"}, {"neu.txt", ""}, {"tief/unten/datei.bin", ""}};
        for (const auto& [rel, old] : expected) {
            const std::string dst = t.path("ziel/" + rel);
            const bool failed = std::any_of(view.failures.begin(), view.failures.end(),
                                            [&](const Failure& f) { return f.destination == dst; });
            if (failed) {
                EXPECT_EQ(Content(dst), old) << rel << " n=" << n;
            } else if (fs::exists(dst)) {
                EXPECT_EQ(Content(dst), Content(t.path("start/" + rel))) << rel << " n=" << n;
            }
        }
        for (const Failure& f : view.failures)
            EXPECT_FALSE(f.reason.empty());
    }
    EXPECT_GT(runsWithFailure, 20);
}

INSTANTIATE_TEST_SUITE_P(UnnamedOrNamedTemporaryFiles, SyncRunFailures, ::testing::Bool());

TEST(SyncRunRealFiles, CopiesBothWaysKeepsTimeAndModeAndMakesFolders) {
    TreeBuilder t;
    const std::string script = t.text("start/a/b/skript.sh", "#!/bin/sh\n", UnixTime(12, 0, 0));
    ::chmod(script.c_str(), 0750);
    t.text("ziel/zurueck.txt", "nur im Ziel", UnixTime(13, 0, 0));
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 2);
    RecordingRun view;
    const RunResult r = RunSynchronisation(s, platform::RealFileOps(), view);
    EXPECT_FALSE(r.anyCopyFailed);
    const std::string copied = t.path("ziel/a/b/skript.sh");
    struct stat st {};
    ASSERT_EQ(::stat(copied.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
    EXPECT_EQ(st.st_mtim.tv_sec, UnixTime(12, 0, 0));
    EXPECT_EQ(Content(t.path("start/zurueck.txt")), "nur im Ziel");
    EXPECT_EQ(view.planned, "2 Dateien");
    EXPECT_EQ(view.nach, (std::vector<std::string>{t.path("ziel/a/b"), t.path("start")}));
    EXPECT_EQ(s.DoneSize, s.TotalSize);
}

TEST(SyncRunRealFiles, AVanishedSourceAndAReadOnlyDestinationAreReportedWithTheirReasons) {
    TreeBuilder t;
    t.text("start/weg.txt", "gleich weg", UnixTime(12, 0, 0));
    t.text("start/gesperrt.txt", "neu", UnixTime(12, 0, 0));
    const std::string locked = t.text("ziel/gesperrt.txt", "alt", UnixTime(1, 0, 0));
    ::chmod(locked.c_str(), 0444);
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
    fs::remove(t.path("start/weg.txt"));
    RecordingRun view;
    EXPECT_TRUE(RunSynchronisation(s, platform::RealFileOps(), view).anyCopyFailed);
    ASSERT_EQ(view.failures.size(), 2u);
    EXPECT_EQ(view.failures[0].destination, locked);
    EXPECT_EQ(view.failures[0].reason, "Schreibzugriff auf Zieldatei verweigert");
    EXPECT_EQ(view.failures[1].source, t.path("start/weg.txt"));
    EXPECT_EQ(view.failures[1].reason, "Quelldatei existiert nicht");
    // The user protected the old file: it stays as it was, read-only, and keeps refusing.
    EXPECT_EQ(Content(locked), "alt");
    struct stat st {};
    ::stat(locked.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    EXPECT_EQ(view.filesLeft, "0 Dateien");
}

TEST(SyncRunRealFiles, AFileThatGrewDrivesTheBarsToAHundredAndTheRestBelowZero) {
    TreeBuilder t;
    const std::string grows = t.file("start/waechst.bin", 1000, UnixTime(12, 0, 0));
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
    t.file("start/waechst.bin", 3 << 20, UnixTime(12, 0, 0));
    RecordingRun view;
    EXPECT_FALSE(RunSynchronisation(s, platform::RealFileOps(), view).anyCopyFailed);
    ASSERT_FALSE(view.progress.empty());
    const CopyProgressDisplay& last = view.progress.back();
    EXPECT_EQ(last.fileBar, 100);
    EXPECT_EQ(last.totalBar, 100);
    EXPECT_EQ(last.caption, "100% kopiert");
    ASSERT_TRUE(last.megabytesLeft.has_value());
    EXPECT_EQ(*last.megabytesLeft, "-2 MB");
    EXPECT_EQ(fs::file_size(t.path("ziel/waechst.bin")), 3u << 20);
}

TEST(SyncRunRealFiles, ClosingTheWindowEndsTheRunAfterTheCurrentFile) {
    TreeBuilder t;
    for (const char* n : {"a", "b", "c"})
        t.text(std::string("start/") + n, n, UnixTime(12, 0, 0));
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
    RecordingRun view;
    view.stopAfter = 1;
    const RunResult r = RunSynchronisation(s, platform::RealFileOps(), view);
    EXPECT_TRUE(r.stoppedEarly);
    EXPECT_TRUE(fs::exists(t.path("ziel/a")));
    EXPECT_FALSE(fs::exists(t.path("ziel/b")));
    EXPECT_TRUE(TemporaryFiles(t.root()).empty());
}

TEST(SyncRunRealFiles, AFullDiskKeepsTheOldFileAndNamesTheReason) {
    TreeBuilder t;
    t.text("start/gross.bin", std::string(2 << 20, 'g'), UnixTime(12, 0, 0));
    t.text("start/klein.txt", "passt", UnixTime(12, 0, 0));
    const std::string target = t.folder("ziel");
    const int code = WithSmallDisk(target, 1 << 20, [&] {
        WriteFile(target + "/gross.bin", "der alte Stand");
        const timespec old[2] = {{UnixTime(1, 0, 0), 0}, {UnixTime(1, 0, 0), 0}};
        ::utimensat(AT_FDCWD, (target + "/gross.bin").c_str(), old, 0);
        SyncSession s = Load(t.path("start"), target, 0, 0);
        RecordingRun view;
        RunSynchronisation(s, platform::RealFileOps(), view);
        if (view.failures.size() != 1 || view.failures[0].destination != target + "/gross.bin")
            return 1;
        if (view.failures[0].reason !=
            "Zieldatei: Auf dem Datenträger ist nicht genügend Speicherplatz vorhanden.")
            return 2;
        if (Content(target + "/gross.bin") != "der alte Stand")
            return 3;
        if (Content(target + "/klein.txt") != "passt")
            return 4;
        return TemporaryFiles(target).empty() ? 0 : 5;
    });
    EXPECT_EQ(code, 0);
}

TEST(SyncRunRealFiles, AProcessKilledWhileCopyingLeavesTheOldOrTheWholeFile) {
    TreeBuilder t;
    const std::string big(32 << 20, 'n');
    t.text("start/gross.bin", big, UnixTime(12, 0, 0));
    const std::string dst = t.text("ziel/gross.bin", "alt", UnixTime(1, 0, 0));
    for (int chunk : {1, 5, 20, 31}) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            int progressCalls = 0;
            platform::CopyFileEx(platform::RealFileOps(), t.path("start/gross.bin"), dst,
                                 [&](std::int64_t, std::int64_t) {
                                     if (++progressCalls > chunk)
                                         ::kill(::getpid(), SIGKILL);
                                 });
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        const std::string now = Content(dst);
        EXPECT_TRUE(now == "alt" || now == big) << "partial destination after chunk " << chunk;
        EXPECT_TRUE(TemporaryFiles(t.root()).empty());
    }
}

TEST(SyncRunRealFiles, EntriesFarBeyond32767AreReached) {
    TreeBuilder t;
    t.text("start/letzte.txt", "zuletzt", UnixTime(12, 0, 0));
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
    ASSERT_EQ(s.CopyList.size(), 1u);
    MyFile* last = s.CopyList[0];
    FileList many;
    for (int i = 0; i < 70000; ++i) {
        MyFile* f = s.NewRecord(t.path("start/"), "nie" + std::to_string(i));
        f->IsStart = true; // unticked: skipped without any effect
        many.push_back(f);
    }
    many.push_back(last);
    s.CopyList = many;
    RecordingRun view;
    EXPECT_FALSE(RunSynchronisation(s, platform::RealFileOps(), view).anyCopyFailed);
    EXPECT_EQ(Content(t.path("ziel/letzte.txt")), "zuletzt");
    EXPECT_EQ(view.planned, "1 Dateien");
}

TEST(SyncRunRealFiles, ARunKilledHalfWayLeavesOldOrWholeFilesAndNoTemporaryOnes) {
    TreeBuilder t;
    for (int i = 0; i < 12; ++i) {
        t.text("start/f" + std::to_string(i), std::string(300000, char('a' + i)),
               UnixTime(12, 0, 0));
        t.text("ziel/f" + std::to_string(i), "alt", UnixTime(1, 0, 0));
    }
    for (int killAt : {3, 17, 30}) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
            int calls = 0;
            struct Killer : RecordingRun {
                int* calls;
                int at;
                void CopyProgress(const CopyProgressDisplay&) override {
                    if (++*calls == at)
                        ::kill(::getpid(), SIGKILL);
                }
            } view;
            view.calls = &calls;
            view.at = killAt;
            RunSynchronisation(s, platform::RealFileOps(), view);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        for (int i = 0; i < 12; ++i) {
            const std::string now = Content(t.path("ziel/f" + std::to_string(i)));
            EXPECT_TRUE(now == "alt" || now == std::string(300000, char('a' + i)))
                << "f" << i << " after a kill at progress call " << killAt;
        }
        EXPECT_TRUE(TemporaryFiles(t.root()).empty());
    }
}

TEST(CopyErrorReasonTest, ProbesTellMissingUnreadableAndUnknown) {
    TreeBuilder t;
    const std::string src = t.text("quelle.txt", "x");
    const std::string dst = t.text("ziel.txt", "y");
    auto& ops = platform::RealFileOps();
    EXPECT_EQ(CopyErrorReason(ops, t.path("fehlt"), dst), "Quelldatei existiert nicht");
    EXPECT_EQ(CopyErrorReason(ops, src, dst), "Unbekannter Fehler");
    EXPECT_EQ(CopyErrorReason(ops, src, t.path("fehlt/auch")), "Unbekannter Fehler");
    EXPECT_EQ(CopyErrorReason(ops, src, dst, {EIO, platform::CopySide::Source, src}),
              "Quelldatei: Ein-/Ausgabefehler beim Zugriff auf den Datenträger.");
    FailingOps denied;
    denied.error = EACCES;
    denied.failAt = 2; // the source's open, after its existence test
    EXPECT_EQ(CopyErrorReason(denied, src, dst), "Lesezugriff auf Quelldatei verweigert");
    FailingOps broken;
    broken.error = EIO;
    broken.failAt = 5; // the destination's open for appending
    EXPECT_EQ(CopyErrorReason(broken, src, dst),
              "Zieldatei: Ein-/Ausgabefehler beim Zugriff auf den Datenträger.");
}

TEST(DeletePhase, DeletesOnlyTickedEntriesAndOnlyForDeleteRulesAfterOneQuestion) {
    for (int reverse = 0; reverse <= 5; ++reverse) {
        TreeBuilder t;
        t.folder("start");
        t.text("ziel/x", "1");
        t.text("ziel/y", "2");
        t.text("ziel/z", "3");
        SyncSession s = Load(t.path("start"), t.path("ziel"), 0, reverse);
        if (reverse >= 4) {
            ASSERT_EQ(s.DeleteList.size(), 3u);
            s.DeleteList[1]->Selected = false;
        }
        RecordingRun view;
        const RunResult r = RunSynchronisation(s, platform::RealFileOps(), view);
        if (reverse < 4) {
            EXPECT_TRUE(view.questions.empty()) << reverse;
            continue;
        }
        ASSERT_EQ(view.questions.size(), 1u);
        EXPECT_EQ(view.questions[0], std::make_pair(std::size_t(2), reverse == 4));
        EXPECT_EQ(view.texts, std::vector<std::string>{"Löschvorgang..."});
        EXPECT_EQ(r.deleted, 2u);
        EXPECT_FALSE(fs::exists(t.path("ziel/x")));
        EXPECT_TRUE(fs::exists(t.path("ziel/y")));
        EXPECT_FALSE(fs::exists(t.path("ziel/z")));
    }
}

TEST(DeletePhase, NoMeansNothingIsDeleted) {
    TreeBuilder t;
    t.folder("start");
    t.text("ziel/x", "1");
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 5);
    RecordingRun view;
    view.answer = false;
    EXPECT_TRUE(RunSynchronisation(s, platform::RealFileOps(), view).deleteDeclined);
    EXPECT_TRUE(fs::exists(t.path("ziel/x")));
}

} // namespace
