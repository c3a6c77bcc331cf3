// Folders under a rule that matches them: missing ones made, empty ones too, in either
// direction; target folders the start tree lacks listed with a trailing "/" and removed once
// the run left them empty, never while anything is left in them.
#include "engine/summary_texts.h"
#include "run_test_support.h"
#include "trash_test_support.h"

namespace {

class Folders : public Trees {
protected:
    SyncSession loadMatching(int copy, int reverse, bool match = true) {
        return load(copy, reverse, {false, match});
    }
    void oldTree() {
        put("ziel/alt/tief/x.txt", "x", 8);
        put("ziel/alt/y.txt", "y", 8);
        t.folder("ziel/alt/leer");
    }
};

TEST_F(Folders, MissingFoldersAreMadeEmptyOnesTooAndBackWhereTheRuleCopiesBack) {
    t.folder("start/leer");
    t.folder("start/a/b");
    put("start/c/d.txt", "d", 9);
    t.folder("ziel/nur_im_ziel");
    SyncSession off = loadMatching(0, 0, false);
    run(off);
    EXPECT_FALSE(fs::exists(target + "/leer")); // without the option, as before
    SyncSession s = loadMatching(0, 2);
    const RunResult r = run(s);
    EXPECT_EQ(r.foldersMade, 4); // leer, a, a/b in the target; nur_im_ziel in the start
    for (const char* made : {"ziel/leer", "ziel/a/b", "start/nur_im_ziel"})
        EXPECT_TRUE(fs::is_directory(t.path(made))) << made;
    EXPECT_EQ(ReadFile(target + "/c/d.txt"), "d");
    EXPECT_TRUE(loadMatching(0, 2).CopyList.empty());
    EXPECT_TRUE(loadMatching(0, 2).FoldersToMake.empty());
}

TEST_F(Folders, FoldersTheStartLacksGoAfterTheirFilesAlsoIntoTheTrashButNotWhileAnythingIsLeft) {
    // For good, for good with a file unticked, and into the trash, which takes an emptied folder
    // as a folder.
    for (const auto& [reverse, untickOne] : {std::pair{5, false}, {5, true}, {4, false}}) {
        SCOPED_TRACE(testing::Message() << reverse << untickOne);
        oldTree();
        SyncSession s = loadMatching(0, reverse);
        EXPECT_EQ(paths(s.DeleteList), (Lines{"ziel/alt/y.txt", "ziel/alt/tief/x.txt", "ziel/alt/",
                                              "ziel/alt/leer/", "ziel/alt/tief/"}));
        if (untickOne)
            s.DeleteList[1]->Selected = false;
        const RunResult r = run(s);
        EXPECT_TRUE(r.failures.empty());
        EXPECT_EQ(r.trashed, reverse == 4 ? 2 : 0);
        EXPECT_EQ(r.foldersRemoved, untickOne ? 1 : 3);
        const auto lines = RunSummaryLines(r, ',');
        EXPECT_EQ(lines[lines.size() - 2].label + " " + lines[lines.size() - 2].value,
                  untickOne ? "Ordner entfernt: 1" : "Ordner entfernt: 3");
        EXPECT_EQ(fs::exists(target + "/alt/tief/x.txt"), untickOne);
        EXPECT_EQ(fs::exists(target + "/alt"), untickOne);
        EXPECT_FALSE(fs::exists(target + "/alt/leer"));
        EXPECT_EQ(fs::is_directory(HomeTrash() + "/files/alt"), reverse == 4);
        fs::remove_all(target + "/alt");
    }
}

TEST_F(Folders, AFolderReplacedByAFileAfterTheLoadIsLeftAndReported) {
    t.folder("ziel/weg");
    SyncSession s = loadMatching(0, 5);
    ASSERT_EQ(paths(s.DeleteList), Lines{"ziel/weg/"});
    fs::remove(target + "/weg");
    put("ziel/weg", "jetzt eine Datei", 9);
    const RunResult r = run(s);
    ASSERT_EQ(r.failures.size(), 1u);
    EXPECT_TRUE(r.failures[0].changedSinceLoad);
    EXPECT_EQ(ReadFile(target + "/weg"), "jetzt eine Datei");
}

} // namespace
