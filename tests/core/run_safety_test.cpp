// A run never writes outside the two trees and never replaces or deletes what changed after
// the load.
#include "platform/failing_file_ops.h"
#include "run_test_support.h"
#include "tree_builder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const kLinkInTarget = "Ein Teil des Zielpfads ist eine symbolische Verknüpfung.";
const char* const kChanged = "Die Zieldatei wurde nach dem Laden geändert.";

RunResult RunReal(SyncSession& s, RecordingRun& view) {
    return RunSynchronisation(s, platform::RealFileOps(), view);
}

void Touch(const std::string& path, std::int64_t unixTime) {
    const timespec t[2] = {{unixTime, 0}, {unixTime, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), t, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(LinksInATree, ACopyNeverGoesThroughALinkedTargetFolder) {
    TreeBuilder t;
    t.text("start/sub/notes.txt", "neu", UnixTime(12, 0, 0));
    t.text("start/sub/fehlt.txt", "neu", UnixTime(12, 0, 0));
    const std::string outside = t.text("aussen/notes.txt", "fremd", UnixTime(8, 0, 0));
    t.folder("ziel");
    t.link("ziel/sub", t.path("aussen"));
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
    RecordingRun view;
    EXPECT_TRUE(RunReal(s, view).anyCopyFailed);
    EXPECT_EQ(Content(outside), "fremd");
    EXPECT_FALSE(fs::exists(t.path("aussen/fehlt.txt")));
    ASSERT_EQ(view.failures.size(), 2u);
    for (const Failure& f : view.failures)
        EXPECT_EQ(f.reason, kLinkInTarget);
}

TEST(LinksInATree, AFolderSwappedForALinkAfterTheLoadIsNotFollowed) {
    // Copy back into the start tree, whose folder became a link between load and run.
    TreeBuilder t;
    t.text("start/sub/da.txt", "x", UnixTime(8, 0, 0));
    t.text("ziel/sub/zurueck.txt", "vom Ziel", UnixTime(12, 0, 0));
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 2);
    ASSERT_EQ(s.CopyList.size(), 2u);
    fs::rename(t.path("start/sub"), t.path("start_alt"));
    t.folder("aussen");
    t.link("start/sub", t.path("aussen"));
    RecordingRun view;
    RunReal(s, view);
    EXPECT_TRUE(fs::is_empty(t.path("aussen")));
    // Neither read through the link nor written through it.
    ASSERT_EQ(view.failures.size(), 2u);
    EXPECT_EQ(view.failures[0].source, t.path("start/sub/da.txt"));
    EXPECT_EQ(view.failures[0].reason, "Ein Teil des Quellpfads ist eine symbolische Verknüpfung.");
    EXPECT_EQ(view.failures[1].destination, t.path("start/sub/zurueck.txt"));
    EXPECT_EQ(view.failures[1].reason, kLinkInTarget);
}

TEST(LinksInATree, DeletingNeverFollowsAFolderSwappedForALink) {
    for (int reverse : {4, 5}) {
        TempHome home;
        TreeBuilder t;
        t.folder("start");
        t.text("ziel/sub/f.txt", "ziel", UnixTime(8, 0, 0));
        SyncSession s = Load(t.path("start"), t.path("ziel"), 0, reverse);
        ASSERT_EQ(s.DeleteList.size(), 1u);
        fs::rename(t.path("ziel/sub"), t.path("ziel_alt"));
        const std::string decoy = t.text("koeder/f.txt", "ziel", UnixTime(8, 0, 0));
        t.link("ziel/sub", t.path("koeder"));
        RecordingRun view;
        RunReal(s, view);
        EXPECT_EQ(Content(decoy), "ziel") << reverse;
        ASSERT_EQ(view.deleteFailures.size(), 1u) << reverse;
        EXPECT_EQ(view.deleteFailures[0].reason,
                  "Ein Teil des Pfads ist eine symbolische Verknüpfung.");
    }
}

TEST(ChangedAfterTheLoad, AnEditedTargetIsNotOverwritten) {
    TreeBuilder t;
    t.text("start/brief.txt", "alter Entwurf", UnixTime(12, 0, 0));
    const std::string target = t.text("ziel/brief.txt", "alt", UnixTime(8, 0, 0));
    t.text("start/neu.txt", "vom Start", UnixTime(12, 0, 0));
    t.folder("ziel");
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
    ASSERT_EQ(s.CopyList.size(), 2u);
    t.text("ziel/brief.txt", "neue Arbeit", UnixTime(12, 30, 0));
    const std::string appeared = t.text("ziel/neu.txt", "auch neu", UnixTime(12, 30, 0));
    RecordingRun view;
    EXPECT_TRUE(RunReal(s, view).anyCopyFailed);
    EXPECT_EQ(Content(target), "neue Arbeit");
    EXPECT_EQ(Content(appeared), "auch neu");
    ASSERT_EQ(view.failures.size(), 2u);
    EXPECT_EQ(view.failures[0].reason, kChanged);
    EXPECT_EQ(view.failures[1].reason, kChanged);
    EXPECT_TRUE(TemporaryFiles(t.root()).empty());
}

TEST(ChangedAfterTheLoad, AnEditedStartFileIsNotOverwrittenByCopyBack) {
    TreeBuilder t;
    const std::string start = t.text("start/plan.txt", "alt", UnixTime(8, 0, 0));
    t.text("ziel/plan.txt", "vom Ziel", UnixTime(12, 0, 0));
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 3);
    ASSERT_EQ(s.CopyList.size(), 1u);
    t.text("start/plan.txt", "heute bearbeitet", UnixTime(8, 0, 0)); // same time, new size
    RecordingRun view;
    RunReal(s, view);
    EXPECT_EQ(Content(start), "heute bearbeitet");
    ASSERT_EQ(view.failures.size(), 1u);
    EXPECT_EQ(view.failures[0].reason, kChanged);
}

TEST(ChangedAfterTheLoad, AnEditedTargetIsNotDeleted) {
    for (int reverse : {4, 5}) {
        TempHome home;
        TreeBuilder t;
        t.folder("start");
        const std::string edited = t.text("ziel/entwurf.txt", "x", UnixTime(8, 0, 0));
        const std::string plain = t.text("ziel/rest.txt", "y", UnixTime(8, 0, 0));
        SyncSession s = Load(t.path("start"), t.path("ziel"), 0, reverse);
        ASSERT_EQ(s.DeleteList.size(), 2u);
        Touch(edited, UnixTime(9, 0, 0));
        RecordingRun view;
        const RunResult r = RunReal(s, view);
        EXPECT_TRUE(fs::exists(edited)) << reverse;
        EXPECT_FALSE(fs::exists(plain)) << reverse;
        EXPECT_EQ(r.deleted, 1u);
        ASSERT_EQ(view.deleteFailures.size(), 1u);
        EXPECT_EQ(view.deleteFailures[0].path, edited);
        EXPECT_EQ(view.deleteFailures[0].reason, kChanged);
    }
}

TEST(ChangedAfterTheLoad, AChangedSourceIsCopiedOnlyWhileStillNewer) {
    TreeBuilder t;
    t.text("start/noch_neuer.txt", "a", UnixTime(12, 0, 0));
    t.text("start/jetzt_aelter.txt", "b", UnixTime(12, 0, 0));
    t.text("ziel/noch_neuer.txt", "alt", UnixTime(8, 0, 0));
    const std::string kept = t.text("ziel/jetzt_aelter.txt", "alt", UnixTime(8, 0, 0));
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
    ASSERT_EQ(s.CopyList.size(), 2u);
    t.text("start/noch_neuer.txt", "noch neuer", UnixTime(13, 0, 0));
    t.text("start/jetzt_aelter.txt", "zurueckgesetzt", UnixTime(7, 0, 0));
    RecordingRun view;
    RunReal(s, view);
    EXPECT_EQ(Content(t.path("ziel/noch_neuer.txt")), "noch neuer");
    EXPECT_EQ(Content(kept), "alt");
    ASSERT_EQ(view.failures.size(), 1u);
    EXPECT_EQ(view.failures[0].reason, "Die Quelldatei wurde nach dem Laden geändert.");
}

TEST(RootsOfARun, ARemovedOrReplacedTargetRootIsNeitherRecreatedNorFilled) {
    for (int way : {0, 1, 2}) {
        const bool replace = way != 0;
        TreeBuilder t;
        t.text("start/a/b.txt", "inhalt", UnixTime(12, 0, 0));
        t.folder("ziel");
        SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 5);
        if (way == 2) {
            // Removed and made again: the file system may hand out the same inode number.
            fs::remove(t.path("ziel"));
        } else {
            fs::rename(t.path("ziel"), t.path("ziel_weg"));
        }
        if (replace)
            t.folder("ziel");
        RecordingRun view;
        const RunResult r = RunReal(s, view);
        EXPECT_NE(r.refused.find("Bitte laden Sie die Ordner neu."), std::string::npos);
        EXPECT_EQ(fs::exists(t.path("ziel")), replace);
        if (replace) {
            EXPECT_TRUE(fs::is_empty(t.path("ziel")));
        }
        EXPECT_TRUE(view.failures.empty() && view.questions.empty());
    }
}

TEST(ReadOnlyFiles, AMirroredReadOnlyFileIsUpdatedEveryTime) {
    TreeBuilder t;
    const std::string start = t.text("start/fest.txt", "v1", UnixTime(10, 0, 0));
    ::chmod(start.c_str(), 0444);
    t.folder("ziel");
    for (int round = 1; round <= 3; ++round) {
        if (round > 1) {
            ::chmod(start.c_str(), 0644);
            t.text("start/fest.txt", "v" + std::to_string(round), UnixTime(10 + round, 0, 0));
            ::chmod(start.c_str(), 0444);
        }
        SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
        RecordingRun view;
        EXPECT_FALSE(RunReal(s, view).anyCopyFailed) << round;
        EXPECT_EQ(Content(t.path("ziel/fest.txt")), "v" + std::to_string(round));
        struct stat st {};
        ::stat(t.path("ziel/fest.txt").c_str(), &st);
        EXPECT_EQ(st.st_mode & 0777, 0444u) << round;
    }
}

TEST(ReadOnlyFiles, CopiesDropSetIdBitsAndTakeTheScannedReadOnlyMark) {
    // The mode is set on the batched copy before it gets its name, not on the name after.
    TreeBuilder t;
    const std::string tool = t.text("start/werkzeug", "#!/bin/sh\n", UnixTime(12, 0, 0));
    ::chmod(tool.c_str(), 06755);
    const std::string locked = t.text("start/gesperrt.txt", "x", UnixTime(12, 0, 0));
    ::chmod(locked.c_str(), 0440);
    t.folder("ziel");
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
    RecordingRun view;
    EXPECT_FALSE(RunReal(s, view).anyCopyFailed);
    struct stat st {};
    ::stat(t.path("ziel/werkzeug").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    ::stat(t.path("ziel/gesperrt.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0440u);
}

// Answers as a file system that ignores letter case: "neu.txt" is found as "Neu.txt".
class CaseFoldingOps : public platform::FileOps {
public:
    std::string fold(const std::string& n) const { return n == "neu.txt" ? "Neu.txt" : n; }
    int StatAt(int d, const std::string& n, struct stat& st) override {
        return FileOps::StatAt(d, fold(n), st);
    }
    int UnlinkAt(int d, const std::string& n, int f) override {
        return FileOps::UnlinkAt(d, fold(n), f);
    }
};

TEST(CaseFoldingTargets, TheOldSpellingOfAFileJustCopiedIsNotDeleted) {
    TreeBuilder t;
    t.text("start/Neu.txt", "Inhalt", UnixTime(12, 0, 0));
    t.text("ziel/neu.txt", "Inhalt", UnixTime(12, 0, 0)); // passes the look before deleting
    SyncSession s = Load(t.path("start"), t.path("ziel"), 1, 5);
    ASSERT_EQ(s.CopyList.size(), 1u);
    ASSERT_EQ(s.DeleteList.size(), 1u);
    CaseFoldingOps ops;
    RecordingRun view;
    RunSynchronisation(s, ops, view);
    EXPECT_EQ(Content(t.path("ziel/Neu.txt")), "Inhalt");
    EXPECT_TRUE(view.deleteFailures.empty());
}

TEST(TemporaryFiles, LeftoversOfAKilledRunAreRemovedByTheNextRunInThatFolder) {
    TreeBuilder t;
    t.text("start/a.txt", "a", UnixTime(12, 0, 0));
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string prefix = t.path("ziel/") + platform::kTemporaryPrefix;
    const std::string stale =
        t.text("ziel/" + std::string(platform::kTemporaryPrefix) + std::to_string(gone) + "-3.tmp",
               "halb");
    const std::string alive = prefix + "1-3.tmp"; // process 1 lives
    WriteFile(alive, "fremd");
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 0);
    RecordingRun view;
    RunReal(s, view);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(alive));
}

} // namespace
