// Loading: both trees scanned, what could not be read recorded, and the comparison that fills
// the copy and delete lists.
#include "engine/compare_trees.h"
#include "one_thread_load.h"
#include "run_test_support.h"
#include "unprivileged.h"

namespace {

class Loading : public Trees {
protected:
    SyncSession s;
    RecordingLoad shown;
    std::vector<FailedItem> lastProblems; // of the last load

    // Loads again under the session's rule, with `fileSystem` answering for the disk. Both
    // trees are scanned at once; a load that compares must give what one thread gives.
    LoadResult reload(platform::FileSystem& fileSystem = platform::RealFileSystem()) {
        s.StartPath = start;
        s.TargetPath = target;
        shown.texts.clear();
        const LoadResult r = LoadFolders(s, fileSystem, shown);
        lastProblems = r.problems;
        EXPECT_FALSE(r.error.has_value());
        if (r.compared) {
            const LoadedTrees one = LoadOnOneThread(s, fileSystem);
            EXPECT_EQ(Described(s, r.problems), Described(one.session, one.problems));
        }
        return r;
    }
    LoadResult load(int copy, int reverse,
                    platform::FileSystem& fileSystem = platform::RealFileSystem()) {
        s.CurrentRule = RuleOf(copy, reverse);
        return reload(fileSystem);
    }
    // What could not be read, as "<path below the trees' folder> <errno>".
    Lines problems() const {
        Lines out;
        for (const FailedItem& p : lastProblems)
            out.push_back(below(p.path) + " " + std::to_string(p.error));
        return out;
    }
    // A file of 100 bytes in both trees, written at 10:00 and `startSecond` or `targetSecond`.
    void both(const std::string& name, int startSecond, int targetSecond) {
        t.file("start/" + name, 100, UnixTime(10, 0, startSecond));
        t.file("ziel/" + name, 100, UnixTime(10, 0, targetSecond));
    }
};

TEST_F(Loading, EachRuleChoosesAsNamedAndFiveSecondsOrLessCountAsEqual) {
    both("a_start6", 6, 0); // the start file is six seconds newer
    both("b_start5", 5, 0);
    both("c_ziel6", 0, 6);
    both("d_ziel5", 0, 5);
    t.file("start/e_nur_start", 100, UnixTime(9, 0, 0));
    t.file("ziel/f_nur_ziel", 100, UnixTime(9, 0, 0));
    struct Row {
        int copy, reverse;
        Lines copied, deleted;
    };
    const std::vector<Row> rows = {
        {0, 0, {"start/a_start6", "start/e_nur_start"}, {}},
        {1, 0, {"start/e_nur_start"}, {}},
        {2, 0, {"start/a_start6"}, {}},
        {1, 1, {"start/e_nur_start", "ziel/c_ziel6"}, {}},
        {1, 2, {"start/e_nur_start", "ziel/f_nur_ziel"}, {}},
        {1, 3, {"start/e_nur_start", "ziel/c_ziel6", "ziel/f_nur_ziel"}, {}},
        {1, 4, {"start/e_nur_start"}, {"ziel/f_nur_ziel"}}, // 5 chooses as 4 does
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "copy " << r.copy << ", reverse " << r.reverse);
        ASSERT_TRUE(load(r.copy, r.reverse).compared);
        EXPECT_EQ(paths(s.CopyList), r.copied);
        EXPECT_EQ(paths(s.DeleteList), r.deleted);
        EXPECT_EQ(s.TargetFileCount == 0, r.reverse == 0); // only scanned when the rule acts there
        for (const MyFile* f : s.CopyList)
            EXPECT_TRUE(f->Selected && f->IsStart == (f->Path().rfind(start, 0) == 0));
        for (const MyFile* f : s.DeleteList)
            EXPECT_TRUE(f->Selected && !f->IsStart);
    }
}

TEST_F(Loading, RootsWithOrWithoutTrailingSlashGiveTheSameCounterparts) {
    both("sub/a", 30, 0);
    t.file("ziel/sub/weg", 1, UnixTime(1, 0, 0));
    const std::string plainStart = start, plainTarget = target;
    start += "//";
    target += "/";
    load(0, 4);
    ASSERT_TRUE(s.CopyList.size() == 1 && s.DeleteList.size() == 1);
    EXPECT_EQ(CounterpartPath(s, s.CopyList[0]->Path(), true), plainTarget + "/sub/a");
    EXPECT_EQ(CounterpartPath(s, s.DeleteList[0]->Path(), false), plainStart + "/sub/weg");
}

TEST_F(Loading, FilesTheScanLeftOutStillCountAndOneWhoseTimeCannotBeReadIsKept) {
    // Read-only files take no part under this rule: no scan reports them, yet they exist.
    const std::string left = t.file("start/nurlesen.txt", 1, UnixTime(1, 0, 0));
    t.file("ziel/nurlesen.txt", 1, UnixTime(1, 0, 0));
    const std::string leftTarget = t.file("ziel/geschuetzt.txt", 1, UnixTime(1, 0, 0));
    t.file("start/geschuetzt.txt", 1, UnixTime(9, 0, 0));
    const std::string older = t.file("start/alt.txt", 1, UnixTime(8, 0, 0));
    t.file("ziel/alt.txt", 1, UnixTime(12, 0, 0));
    for (const std::string& p : {left, leftTarget, older})
        ::chmod(p.c_str(), 0444);
    s.CurrentRule = RuleOf(0, 5);
    s.CurrentRule.ReadOnlyFiles = false;
    ASSERT_TRUE(reload().compared);
    EXPECT_TRUE(s.DeleteList.empty());
    // The newer start file is still compared with its left-out target copy.
    EXPECT_EQ(paths(s.CopyList), Lines{"start/geschuetzt.txt"});
    // An older start file is replaced by the newer target file only while its time is known.
    FailingFileSystem failing;
    failing.failBelow(older, EACCES);
    for (int reverse : {1, 3}) {
        s.CurrentRule.ReverseAction = reverse;
        reload();
        EXPECT_EQ(paths(s.CopyList), (Lines{"start/geschuetzt.txt", "ziel/alt.txt"})) << reverse;
        reload(failing);
        EXPECT_EQ(paths(s.CopyList), Lines{"start/geschuetzt.txt"}) << reverse;
    }
}

// Nothing of the target beside what the start tree could not show is deleted or copied back:
// only nur_im_ziel.txt is sure to be missing in the start tree.
TEST_F(Loading, WhatThisUserMayNotReadIsRecordedAndNothingBesideItIsDeletedOrCopiedBack) {
    for (const char* rel :
         {"start/frei.txt", "start/privat/da.txt", "ziel/privat/fehlt.txt", "ziel/nur_im_ziel.txt",
          "start/nur_lesbar/datei.txt", "start/nur_lesbar/sub/y.txt"})
        t.file(rel, 1, UnixTime(1, 0, 0));
    t.file("ziel/privat/da.txt", 1, UnixTime(12, 0, 0)); // newer than its start file
    ::chmod(t.path("start/privat").c_str(), 0);
    ::chmod(t.path("start/nur_lesbar").c_str(), 0444); // listed, but not searched
    EXPECT_EQ(AsUnprivileged([&] {
                  for (int reverse : {2, 3, 4, 5}) {
                      EXPECT_TRUE(load(0, reverse).compared);
                      EXPECT_EQ(problems(),
                                (Lines{"start/nur_lesbar/datei.txt 13", "start/nur_lesbar/sub/ 13",
                                       "start/privat/ 13"}));
                      EXPECT_EQ(s.StartFileCount, 1u); // start/frei.txt
                      EXPECT_EQ(paths(s.CopyList),
                                (reverse >= 4 ? Lines{"start/frei.txt"}
                                              : Lines{"start/frei.txt", "ziel/nur_im_ziel.txt"}))
                          << reverse;
                      EXPECT_EQ(paths(s.DeleteList),
                                (reverse >= 4 ? Lines{"ziel/nur_im_ziel.txt"} : Lines{}));
                  }
                  return HasFailure();
              }),
              0);
}

TEST_F(Loading, ARootThatCannotBeListedFailsTheLoadWithNothingToCopyOrDelete) {
    t.file("start/a.txt");
    t.file("ziel/alt.txt");
    for (const auto& [root, error, reason] : std::vector<std::tuple<std::string, int, std::string>>{
             {start, EACCES, "Zugriff verweigert."},
             {target, EIO, "Ein-/Ausgabefehler beim Zugriff auf den Datenträger."}}) {
        FailingFileSystem failing;
        failing.failBelow(root + "/", error);
        const LoadResult r = load(0, 4, failing);
        EXPECT_EQ(r.rootError, (root == start ? "Der Startordner \"" : "Der Zielordner \"") + root +
                                   "\" kann nicht gelesen werden: " + reason);
        EXPECT_FALSE(r.compared);
        // The other tree's records go too: a tree that looks empty makes every file of the
        // other one look extra.
        EXPECT_TRUE(s.StartFileCount == 0 && s.TargetFileCount == 0 && s.CopyList.empty() &&
                    s.DeleteList.empty());
        EXPECT_EQ(problems(), Lines{below(root) + "/ " + std::to_string(error)});
        EXPECT_EQ(lastProblems[0].inStartTree, root == start);
    }
    // A rule that leaves the target alone never lists it.
    FailingFileSystem failing;
    failing.failBelow(target + "/", EIO);
    EXPECT_TRUE(load(0, 0, failing).compared);
    EXPECT_EQ(s.StartFileCount, 1u); // start/a.txt
    EXPECT_TRUE(lastProblems.empty());
}

TEST_F(Loading, FilesInHiddenFoldersAreNeitherCopiedNorDeletedWithoutHiddenFiles) {
    for (const char* rel : {".git/objects/a", ".cache/x/y", "src/b"})
        t.file(std::string("start/") + rel, 1, UnixTime(12, 0, 0));
    t.file("ziel/.git/objects/alt", 1);
    t.file("ziel/src/alt", 1);
    s.CurrentRule = RuleOf(0, 5);
    s.CurrentRule.HiddenFiles = false;
    reload();
    EXPECT_EQ(paths(s.CopyList), Lines{"start/src/b"});
    EXPECT_EQ(paths(s.DeleteList), Lines{"ziel/src/alt"});
    // A root inside a hidden folder still loads its plain files.
    start = t.path("start/.git/objects");
    s.CurrentRule = RuleOf(0, 0);
    s.CurrentRule.HiddenFiles = false;
    reload();
    EXPECT_EQ(paths(s.CopyList), Lines{"start/.git/objects/a"});
}

TEST_F(Loading, RootIdentitiesAreTakenThroughLinks) {
    const FolderIdentity identity = IdentifyFolder(platform::RealFileSystem(), start);
    EXPECT_TRUE(identity.known);
    EXPECT_FALSE(IdentifyFolder(platform::RealFileSystem(), t.path("fehlt")).known);
    start = t.link("verweis", start);
    FailingFileSystem failing;
    failing.failBelow(target, EACCES);
    load(0, 0, failing);
    EXPECT_EQ(s.StartRoot, identity);
    EXPECT_FALSE(s.TargetRoot.known);
    load(0, 0);
    EXPECT_TRUE(s.TargetRoot.known);
    EXPECT_NE(s.TargetRoot, s.StartRoot);
}

TEST(FolderChecks, MissingOrNestedFoldersAreRefusedWithThePathNamed) {
    TreeBuilder t;
    const std::string dir = t.folder("daten"), inner = t.folder("daten/sicherung");
    const std::string twin = t.folder("daten2"), file = t.file("datei.txt");
    const std::vector<std::tuple<std::string, std::string, std::string>> rows = {
        {"   ", dir, "Es wurde kein Startpfad angegeben !!"},
        {dir + "/nicht", dir, "Der Startpfad: \"" + dir + "/nicht\"existiert nicht !!"},
        {dir, inner, "Der Zielpfad: \"" + inner + "\" liegt innerhalb des Startpfads !!"},
        {inner + "/", dir + "/../daten",
         "Der Startpfad: \"" + inner + "/\" liegt innerhalb des Zielpfads !!"},
        {dir, twin, ""},                    // a common prefix is no nesting
        {t.link("verweis", dir), twin, ""}, // a root may be a link to a folder
    };
    for (const auto& [startText, targetText, message] : rows)
        EXPECT_EQ(CheckPaths(platform::RealFileSystem(), startText, targetText), message)
            << startText << " | " << targetText;
    EXPECT_TRUE(FileExists(platform::RealFileSystem(), file));
    EXPECT_FALSE(FileExists(platform::RealFileSystem(), dir));
}

} // namespace

// The same time within the tolerance but another size: listed for the user, unticked, under
// the conditions that compare times; copied like any entry once ticked.
TEST_F(Loading, SameTimeOtherSizeIsAConflictListedUntickedAndCopiedWhenTicked) {
    t.file("start/anders.txt", 100, UnixTime(10, 0, 3));
    t.file("ziel/anders.txt", 250, UnixTime(10, 0, 0));
    both("gleich.txt", 3, 0);
    for (const int copy : {0, 1, 2}) {
        SCOPED_TRACE(copy);
        const LoadResult r = load(copy, 0);
        ASSERT_TRUE(r.compared);
        EXPECT_EQ(r.conflicts, copy == 1 ? 0 : 1);
        EXPECT_EQ(paths(s.CopyList), copy == 1 ? Lines{} : Lines{"start/anders.txt"});
        for (const MyFile* f : s.CopyList)
            EXPECT_TRUE(f->IsConflict() && !f->Selected);
    }
    RunSynchronisation(s, RunOps(), view);
    EXPECT_EQ(fs::file_size(target + "/anders.txt"), 250u); // unticked: left alone
    s.CopyList[0]->Selected = true;
    const RunResult ticked = RunSynchronisation(s, RunOps(), view);
    EXPECT_EQ(ticked.copied, 1);
    EXPECT_EQ(fs::file_size(target + "/anders.txt"), 100u);
}

// The load says what it left out, by kind, in both trees.
TEST_F(Loading, TheLoadCountsLeftOutLinksAndSpecialFilesByKind) {
    t.text("start/echt.txt", "x", UnixTime(9, 0, 0));
    fs::create_symlink("echt.txt", start + "/verweis");
    fs::create_symlink("/nirgends", target + "/ins_leere");
    ASSERT_EQ(::mkfifo((start + "/rohr").c_str(), 0600), 0);
    const LoadResult r = load(0, 4);
    EXPECT_EQ(r.linksLeftOut, 2);
    EXPECT_EQ(r.specialLeftOut, 1);
    EXPECT_EQ(r.leftOut,
              "2 symbolische Verknüpfungen und 1 Sonderdatei (Socket, FIFO, Gerät) ausgelassen.");
    EXPECT_EQ(paths(s.CopyList), Lines{"start/echt.txt"});
    EXPECT_TRUE(s.DeleteList.empty());
}

// A folder the other tree lacks is asked for once for all its files; the files asked for
// next, at the root too, are still found.
TEST(CounterpartQuestions, AMissingFolderIsRememberedOnlyUntilTheNextFolder) {
    TreeBuilder t;
    t.text("ziel/oben.txt", "o");
    t.text("ziel/da/unten.txt", "u");
    const auto reader = platform::RealFileSystem().OpenTree(t.path("ziel"));
    const std::pair<std::string, std::string> questions[] = {
        {"fehlt/", "a"},  {"fehlt/", "b"}, {"", "oben.txt"},
        {"", "oben.txt"}, {"fehlt/", "c"}, {"da/", "unten.txt"}};
    std::vector<int> errors;
    for (const auto& [folder, name] : questions)
        errors.push_back(reader->Examine(folder, name).error);
    EXPECT_EQ(errors, (std::vector<int>{ENOENT, ENOENT, 0, 0, ENOENT, 0}));
}
