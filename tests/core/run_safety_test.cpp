// A run never writes outside the two trees and never replaces or deletes what changed after
// the load.
#include "run_test_support.h"
#include "trash_test_support.h"

namespace {

const std::string kLinkInTarget = "Ein Teil des Zielpfads ist eine symbolische Verknüpfung.";
const std::string kChanged = "Die Zieldatei wurde nach dem Laden geändert.";

class RunSafety : public Trees {};

TEST_F(RunSafety, NothingIsReadOrWrittenThroughALinkThereAtTheLoadOrSwappedInAfter) {
    // At the load: "ziel/fest" leads elsewhere, to a file of the same name and none.
    put("start/fest/notes.txt", "neu", 12);
    put("start/fest/fehlt.txt", "neu", 12);
    put("fremd/notes.txt", "fremd", 8);
    t.link("ziel/fest", t.path("fremd"));
    // After the load: "start/sub" is swapped for a link both ways.
    put("start/sub/da.txt", "x", 8);
    put("ziel/sub/zurueck.txt", "vom Ziel", 12);
    SyncSession s = load(0, 2);
    ASSERT_EQ(s.CopyList.size(), 4u);
    fs::rename(t.path("start/sub"), t.path("start_alt"));
    put("aussen/da.txt", "fremd", 12);
    t.link("start/sub", t.path("aussen"));
    EXPECT_TRUE(run(s).anyCopyFailed());
    EXPECT_EQ(Entries(t.path("aussen")), (std::map<std::string, std::string>{{"da.txt", "fremd"}}));
    EXPECT_EQ(Entries(t.path("fremd")),
              (std::map<std::string, std::string>{{"notes.txt", "fremd"}}));
    EXPECT_EQ(
        failed(),
        (Lines{"ziel/fest/fehlt.txt: " + kLinkInTarget, "ziel/fest/notes.txt: " + kLinkInTarget,
               "ziel/sub/da.txt: Ein Teil des Quellpfads ist eine symbolische Verknüpfung.",
               "start/sub/zurueck.txt: " + kLinkInTarget}));
}

// With unnamed temporary files, or with named ones as where the file system has none.
class RunSafetyChanged : public Trees, public ::testing::WithParamInterface<bool> {};

TEST_P(RunSafetyChanged, NothingChangedAfterTheLoadIsOverwrittenAndAChangedSourceOnlyWhileNewer) {
    put("start/brief.txt", "alter Entwurf", 12);
    put("ziel/brief.txt", "alt", 8);
    put("start/neu.txt", "vom Start", 12);
    put("start/noch_neuer.txt", "a", 12);
    put("ziel/noch_neuer.txt", "alt", 8);
    put("start/jetzt_aelter.txt", "b", 12);
    put("ziel/jetzt_aelter.txt", "alt", 8);
    put("start/plan.txt", "alt", 8);
    put("ziel/plan.txt", "vom Ziel", 12);
    SyncSession s = load(0, 3);
    ASSERT_EQ(s.CopyList.size(), 5u);
    put("ziel/brief.txt", "neue Arbeit", 13);
    put("ziel/neu.txt", "auch neu", 13); // appeared since the load
    put("start/noch_neuer.txt", "noch neuer", 13);
    put("start/jetzt_aelter.txt", "zurueckgesetzt", 7);
    put("start/plan.txt", "heute bearbeitet", 8); // the same time, another size
    FailingOps ops;                               // fails nothing
    ops.noUnnamedFiles = GetParam();
    EXPECT_TRUE(run(s, ops).anyCopyFailed());
    // A name that appeared is found when the copy is put in place, after the other checks.
    EXPECT_EQ(failed(),
              (Lines{"ziel/brief.txt: " + kChanged,
                     "ziel/jetzt_aelter.txt: Die Quelldatei wurde nach dem Laden geändert.",
                     "start/plan.txt: " + kChanged, "ziel/neu.txt: " + kChanged}));
    EXPECT_EQ(Entries(target), (std::map<std::string, std::string>{{"brief.txt", "neue Arbeit"},
                                                                   {"jetzt_aelter.txt", "alt"},
                                                                   {"neu.txt", "auch neu"},
                                                                   {"noch_neuer.txt", "noch neuer"},
                                                                   {"plan.txt", "vom Ziel"}}));
    EXPECT_EQ(ReadFile(t.path("start/plan.txt")), "heute bearbeitet");
    EXPECT_TRUE(TemporaryFiles(t.root()).empty());
}

INSTANTIATE_TEST_SUITE_P(NamedOrUnnamedTemporaryFiles, RunSafetyChanged, ::testing::Bool());

class RunSafetyDeleting : public Trees, public ::testing::WithParamInterface<int> {};

TEST_P(RunSafetyDeleting, NeverFollowsAFolderSwappedForALink) {
    put("ziel/sub/f.txt", "ziel", 8);
    SyncSession s = load(0, GetParam());
    ASSERT_EQ(s.DeleteList.size(), 1u);
    fs::rename(t.path("ziel/sub"), t.path("ziel_alt"));
    const std::string decoy = put("koeder/f.txt", "ziel", 8);
    t.link("ziel/sub", t.path("koeder"));
    run(s);
    EXPECT_EQ(ReadFile(decoy), "ziel");
    EXPECT_EQ(failed(),
              Lines{"ziel/sub/f.txt: Ein Teil des Pfads ist eine symbolische Verknüpfung."});
}

INSTANTIATE_TEST_SUITE_P(TrashOrForGood, RunSafetyDeleting, ::testing::Values(4, 5));

TEST_F(RunSafety, ARemovedOrReplacedTargetRootIsNeitherMadeAgainNorFilled) {
    for (int way : {0, 1, 2}) {
        const std::string base = "fall" + std::to_string(way);
        put(base + "/start/a/b.txt", "inhalt", 12);
        const std::string root = t.folder(base + "/ziel");
        SyncSession s = Load(t.path(base + "/start"), root, 0, 5);
        if (way == 2)
            fs::remove(root); // made again below: the file system may give the same inode
        else
            fs::rename(root, root + "_weg");
        if (way != 0)
            fs::create_directory(root);
        EXPECT_EQ(run(s).refused,
                  "Der Zielordner \"" + root + "\" ist nicht mehr " +
                      (way == 0 ? "vorhanden." : "derselbe Ordner wie beim Laden.") +
                      " Bitte laden Sie die Ordner neu.");
        EXPECT_EQ(fs::exists(root), way != 0);
        EXPECT_TRUE(way == 0 || fs::is_empty(root)) << way;
    }
    EXPECT_TRUE(lastRun.failures.empty() && view.questions.empty());
}

TEST_F(RunSafety, ARootThatCannotBeOpenedIsNamedWithItsReason) {
    put("start/a.txt", "a", 12);
    SyncSession s = load(0, 0);
    for (const auto& [error, text] : std::vector<std::pair<int, std::string>>{
             {EACCES, "kann nicht gelesen werden: Zugriff verweigert."},
             {ENOENT, "ist nicht mehr vorhanden."}}) {
        FailingOps ops; // the first call opens the start root
        ops.failAt = 1;
        ops.error = error;
        EXPECT_EQ(run(s, ops).refused,
                  "Der Startordner \"" + start + "\" " + text + " Bitte laden Sie die Ordner neu.");
    }
    EXPECT_FALSE(fs::exists(target + "/a.txt"));
}

TEST_F(RunSafety, AReadOnlyFileIsMirroredEveryTime) {
    for (int round = 1; round <= 2; ++round) {
        const std::string fixed = put("start/fest.txt", "v" + std::to_string(round), 10 + round);
        ::chmod(fixed.c_str(), 0440);
        SyncSession s = load(0, 0);
        EXPECT_FALSE(run(s).anyCopyFailed()) << round;
        EXPECT_EQ(ReadFile(t.path("ziel/fest.txt")), "v" + std::to_string(round));
        EXPECT_EQ(Mode(t.path("ziel/fest.txt")), 0440u) << round;
    }
}

// Answers as a file system that ignores letter case: "neu.txt" is found as "Neu.txt".
class CaseFoldingOps : public platform::FileOps {
public:
    std::string fold(const std::string& n) const { return n == "neu.txt" ? "Neu.txt" : n; }
    int StatAt(int d, const std::string& n, platform::FileInfo& st) override {
        return FileOps::StatAt(d, fold(n), st);
    }
    int UnlinkAt(int d, const std::string& n, int f) override {
        return FileOps::UnlinkAt(d, fold(n), f);
    }
};

TEST_F(RunSafety, OnACaseFoldingTargetTheOldSpellingOfAFileJustCopiedIsNotDeleted) {
    put("start/Neu.txt", "Inhalt", 12);
    put("ziel/neu.txt", "Inhalt", 12); // passes the look before deleting
    SyncSession s = load(1, 5);
    ASSERT_EQ(s.CopyList.size(), 1u);
    ASSERT_EQ(s.DeleteList.size(), 1u);
    CaseFoldingOps ops;
    run(s, ops);
    EXPECT_EQ(ReadFile(t.path("ziel/Neu.txt")), "Inhalt");
    EXPECT_TRUE(lastRun.failures.empty());
}

} // namespace
