// Exclusion patterns on real trees: what they match is never listed, copied, copied back,
// deleted or trashed, an excluded folder is never opened, and the load says how much it left.
#include "platform/fake_file_system.h"
#include "run_test_support.h"

namespace {

class Excluding : public Trees {
protected:
    SyncSession load(int copy, int reverse, std::vector<std::string> patterns,
                     platform::FileSystem& fs = platform::RealFileSystem()) {
        return Trees::load(copy, reverse, {false, true, std::move(patterns)}, fs);
    }
};

TEST_F(Excluding, AnExcludedFolderIsNeverOpenedCopiedOrDeletedUnderAMirrorRule) {
    put("start/src/main.c", "c", 10);
    put("start/node_modules/paket/index.js", "js", 10);
    put("start/notiz.tmp", "t", 10);
    put("ziel/node_modules/alt/index.js", "alt", 8);
    put("ziel/build/obj.o", "o", 8);
    put("ziel/nur_im_ziel.tmp", "bleibt", 8);
    put("ziel/weg.txt", "weg", 8);
    SlowDevice counting;
    SyncSession s = load(0, 5, {"node_modules/", "/build", "*.tmp"}, counting);
    for (const std::string& folder : counting.listed())
        EXPECT_TRUE(folder.find("node_modules") == folder.npos &&
                    folder.find("/build") == folder.npos)
            << folder;
    EXPECT_EQ(paths(s.CopyList), Lines{"start/src/main.c"});
    EXPECT_EQ(paths(s.DeleteList), Lines{"ziel/weg.txt"});
    EXPECT_EQ(loaded.excludedFiles, 2);   // the two .tmp files
    EXPECT_EQ(loaded.excludedFolders, 3); // node_modules twice, build
    EXPECT_EQ(loaded.leftOut,
              "2 ausgeschlossene Dateien und 3 ausgeschlossene Ordner ausgelassen.");
    EXPECT_TRUE(run(s).failures.empty());
    EXPECT_EQ(ReadFile(target + "/node_modules/alt/index.js"), "alt");
    EXPECT_EQ(ReadFile(target + "/build/obj.o"), "o");
    EXPECT_EQ(ReadFile(target + "/nur_im_ziel.tmp"), "bleibt");
    EXPECT_FALSE(fs::exists(target + "/node_modules/paket"));
    EXPECT_FALSE(fs::exists(target + "/notiz.tmp") || fs::exists(target + "/weg.txt"));
}

TEST_F(Excluding, CopyBackAndFolderRemovalKeepToThePatternsToo) {
    put("ziel/zurueck.txt", "z", 10);
    put("ziel/cache/daten.bin", "d", 10);
    put("ziel/sitzung.log", "l", 10);
    SyncSession back = load(0, 3, {"cache/", "*.log", "!wichtig.log"});
    EXPECT_EQ(paths(back.CopyList), Lines{"ziel/zurueck.txt"});
    EXPECT_TRUE(back.FoldersToMake.empty()); // the excluded folder is not made in the start
    run(back);
    EXPECT_FALSE(fs::exists(start + "/cache") || fs::exists(start + "/sitzung.log"));

    // A folder the start lacks, holding only an excluded file, is listed but stays.
    put("ziel/alt/spur.log", "s", 8);
    SyncSession mirror = load(0, 5, {"*.log"});
    EXPECT_EQ(paths(mirror.DeleteList),
              (Lines{"ziel/cache/daten.bin", "ziel/alt/", "ziel/cache/"}));
    const RunResult r = run(mirror);
    EXPECT_TRUE(r.failures.empty());
    EXPECT_EQ(ReadFile(target + "/alt/spur.log"), "s");
    EXPECT_FALSE(fs::exists(target + "/cache"));
}

} // namespace
