// What a load and a run leave alone whatever the rule, mirror or two-way: the trash folders
// and lost+found of a file system, the user's trash, and the temporary files of the
// program's own copies, which the next run clears when their process is gone.
#include "run_test_support.h"

#include <cstdlib>

namespace {

class LeftAlone : public Trees, public ::testing::WithParamInterface<int> {
protected:
    bool mirror() const { return GetParam() == kDeleteForGood; }
};

TEST_P(LeftAlone, TrashAndLostFoundAreNeitherListedNorTouched) {
    const Lines guarded = {"ziel/.Trash-0/files/precious.doc",
                           "ziel/.Trash-0/info/p.trashinfo",
                           "ziel/.Trash/1000/files/a.txt",
                           "ziel/lost+found/x",
                           "ziel/daten/Trash/files/t.txt",
                           "start/.Trash-1000/files/s.doc",
                           "start/lost+found/y"};
    for (const std::string& rel : guarded)
        put(rel, rel, 8);
    put("start/neu.txt", "neu", 12);
    put("ziel/nur_im_ziel.txt", "alt", 8);
    // Below the top of the file system such a name is a folder of the user's.
    put("ziel/sub/.Trash-0/mein.txt", "mein", 8);
    ::setenv("XDG_DATA_HOME", t.path("ziel/daten").c_str(), 1); // the home's trash
    SyncSession s = Unloaded(start, target, kCopyMissingOrOlder, GetParam());
    RecordingLoad load;
    ASSERT_TRUE(LoadFolders(s, platform::RealFileSystem(), load).compared);
    const Lines users = {"ziel/nur_im_ziel.txt", "ziel/sub/.Trash-0/mein.txt"};
    EXPECT_EQ(paths(s.CopyList),
              (mirror() ? Lines{"start/neu.txt"} : Lines{"start/neu.txt", users[0], users[1]}));
    EXPECT_EQ(paths(s.DeleteList), (mirror() ? users : Lines{}));
    EXPECT_EQ(load.texts.back(), "6 Papierkorb- oder lost+found-Ordner ausgelassen.");
    run(s);
    for (const std::string& rel : guarded)
        EXPECT_EQ(ReadFile(t.path(rel)), rel);
    for (const char* rel :
         {"start/.Trash-0", "start/daten", "ziel/.Trash-1000", "ziel/lost+found/y"})
        EXPECT_FALSE(fs::exists(t.path(rel))) << rel;
}

TEST_P(LeftAlone, TemporaryFilesOfRunsThatAreGoneAreClearedAndNeverListed) {
    const pid_t child = ::fork(); // a process ID that no process has any more
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string gone = std::to_string(child), alive = std::to_string(::getppid());
    const Lines cleared = {
        "start/.gleichwart-" + gone + "-0.tmp", "start/ruhig/.gleichwart-" + gone + "-4.tmp",
        "ziel/ruhig/.gleichwart-" + gone + "-5.tmp", "ziel/leer/.gleichwart-" + gone + "-1.tmp"};
    for (const std::string& rel : cleared)
        put(rel, "halb", 12);
    const std::string living = "ziel/.gleichwart-" + alive + "-0.tmp";
    put(living, "halb", 12);
    put("start/neu.txt", "neu", 12);
    // Nothing to copy in "ruhig": only the load's note brings the run there.
    put("start/ruhig/a.txt", "a", 8);
    put("ziel/ruhig/a.txt", "a", 8);
    put("ziel/.gleichwart-notizen", "des Benutzers", 8);
    SyncSession s = load(kCopyMissingOrOlder, GetParam());
    EXPECT_EQ(paths(s.CopyList), (mirror() ? Lines{"start/neu.txt"}
                                           : Lines{"start/neu.txt", "ziel/.gleichwart-notizen"}));
    EXPECT_EQ(paths(s.DeleteList), (mirror() ? Lines{"ziel/.gleichwart-notizen"} : Lines{}));
    run(s);
    for (const std::string& rel : cleared)
        EXPECT_FALSE(fs::exists(t.path(rel))) << rel;
    EXPECT_EQ(ReadFile(t.path(living)), "halb"); // its run may still commit it
    EXPECT_FALSE(fs::exists(t.path("start/.gleichwart-" + alive + "-0.tmp")));
}

INSTANTIATE_TEST_SUITE_P(MirrorAndTwoWay, LeftAlone,
                         ::testing::Values(kDeleteForGood, kCopyBackBoth));

} // namespace
