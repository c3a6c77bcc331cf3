// What a load and a run leave alone whatever the rule: the trash folders and lost+found of a
// file system, the user's trash, and the temporary files of the program's own copies, which
// the next run clears when their process is gone.
#include "run_test_support.h"

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A process ID that no process has any more.
std::string GonePid() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return std::to_string(child);
}

struct Case {
    int reverse;
    Lines copies, deletions; // below the trees' folder
};

Lines Below(const TreeBuilder& t, const FileList& list) {
    Lines out;
    for (const MyFile* f : list)
        out.push_back(f->Path().substr(t.root().size() + 1));
    return out;
}

TEST(LeftAlone, TrashAndLostFoundAreNeitherListedNorTouched) {
    const std::vector<Case> cases = {
        {kDeleteForGood, {"start/neu.txt"}, {"ziel/nur_im_ziel.txt", "ziel/sub/.Trash-0/mein.txt"}},
        {kCopyBackBoth,
         {"start/neu.txt", "ziel/nur_im_ziel.txt", "ziel/sub/.Trash-0/mein.txt"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reverse);
        TempHome home;
        TreeBuilder t;
        const Lines guarded = {"ziel/.Trash-0/files/precious.doc",
                               "ziel/.Trash-0/info/precious.doc.trashinfo",
                               "ziel/.Trash/1000/files/a.txt",
                               "ziel/lost+found/x",
                               "ziel/daten/Trash/files/t.txt",
                               "start/.Trash-1000/files/s.doc",
                               "start/lost+found/y"};
        for (const std::string& rel : guarded)
            t.text(rel, rel, UnixTime(8, 0, 0));
        t.text("start/neu.txt", "neu", UnixTime(12, 0, 0));
        t.text("ziel/nur_im_ziel.txt", "alt", UnixTime(8, 0, 0));
        // Below the top of the file system such a name is a folder of the user's.
        t.text("ziel/sub/.Trash-0/mein.txt", "mein", UnixTime(8, 0, 0));
        ::setenv("XDG_DATA_HOME", t.path("ziel/daten").c_str(), 1); // the home's trash
        SyncSession s;
        s.StartPath = t.path("start");
        s.TargetPath = t.path("ziel");
        s.CurrentRule = RuleOf(kCopyMissingOrOlder, c.reverse);
        RecordingLoad load;
        ASSERT_TRUE(LoadFolders(s, platform::RealFileSystem(), load).compared);
        EXPECT_EQ(Below(t, s.CopyList), c.copies);
        EXPECT_EQ(Below(t, s.DeleteList), c.deletions);
        EXPECT_EQ(load.texts.back(), "6 Papierkorb- oder lost+found-Ordner ausgelassen.");
        RecordingRun view;
        RunSynchronisation(s, platform::RealFileOps(), view);
        for (const std::string& rel : guarded)
            EXPECT_EQ(ReadFile(t.path(rel)), rel);
        for (const char* rel : {"start/.Trash-0", "start/.Trash", "start/daten", "ziel/.Trash-1000",
                                "ziel/lost+found/y"})
            EXPECT_FALSE(fs::exists(t.path(rel))) << rel;
    }
}

TEST(LeftAlone, TemporaryFilesOfRunsThatAreGoneAreClearedAndNeverListed) {
    const std::vector<Case> cases = {
        {kDeleteForGood, {"start/neu.txt"}, {"ziel/.gleichwart-notizen"}},
        {kCopyBackBoth, {"start/neu.txt", "ziel/.gleichwart-notizen"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reverse);
        TempHome home;
        TreeBuilder t;
        const std::string gone = GonePid(), alive = std::to_string(::getppid());
        const Lines cleared = {"start/.gleichwart-" + gone + "-0.tmp",
                               "start/ruhig/.gleichwart-" + gone + "-4.tmp",
                               "ziel/ruhig/.gleichwart-" + gone + "-5.tmp",
                               "ziel/leer/.gleichwart-" + gone + "-1.tmp"};
        for (const std::string& rel : cleared)
            t.text(rel, "halb", UnixTime(12, 0, 0));
        const std::string living = "ziel/.gleichwart-" + alive + "-0.tmp";
        t.text(living, "halb", UnixTime(12, 0, 0));
        t.text("start/neu.txt", "neu", UnixTime(12, 0, 0));
        // Nothing to copy in "ruhig": only the load's note brings the run there.
        t.text("start/ruhig/a.txt", "a", UnixTime(8, 0, 0));
        t.text("ziel/ruhig/a.txt", "a", UnixTime(8, 0, 0));
        t.text("ziel/.gleichwart-notizen", "des Benutzers", UnixTime(8, 0, 0));
        SyncSession s = Load(t.path("start"), t.path("ziel"), kCopyMissingOrOlder, c.reverse);
        EXPECT_EQ(Below(t, s.CopyList), c.copies);
        EXPECT_EQ(Below(t, s.DeleteList), c.deletions);
        RecordingRun view;
        RunSynchronisation(s, platform::RealFileOps(), view);
        for (const std::string& rel : cleared)
            EXPECT_FALSE(fs::exists(t.path(rel))) << rel;
        EXPECT_EQ(ReadFile(t.path(living)), "halb"); // its run may still commit it
        EXPECT_FALSE(fs::exists(t.path("start/.gleichwart-" + alive + "-0.tmp")));
        EXPECT_EQ(ReadFile(t.path("start/neu.txt")), "neu");
    }
}

} // namespace
