#include "engine/find_file.h"
#include "engine/maybe_do_events.h"
#include "fake_file_system.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <sys/stat.h>

namespace {

struct Found {
    std::string name, folder;
    DateTime lastWrite;
    std::int64_t size;
    std::int32_t attributes;
};

// Records what a scan reports; can cancel at the n-th StopSearch.
class Recorder : public FindFileEvents {
public:
    std::vector<Found> found;
    std::vector<std::string> events;
    int stopSearches = 0;
    int cancelAt = -1;

    void MatchFound(const std::string& n, const std::string& f, DateTime t, std::int64_t& s,
                    std::int32_t& a) override {
        found.push_back({n, f, t, s, a});
        events.push_back(f + n);
    }
    void StopSearch(bool& cancel) override {
        events.push_back("stop?");
        cancel = ++stopSearches == cancelAt;
    }
    void ReadFailed(const std::string& path, int error) override {
        events.push_back("unlesbar " + path + " " + std::to_string(error));
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& f : found)
            out.push_back(f.folder + f.name);
        return out;
    }
};

std::vector<std::string> Scan(platform::FileSystem& fs, const std::string& path, Recorder& rec,
                              std::int32_t mask = 423, bool subfolders = true) {
    FindFile ff(fs, rec);
    ff.setSFileToFind("*.*");
    ff.setSFileFlag(mask);
    ff.setSInclSubfolders(subfolders);
    ff.setSSearchpath(path);
    EXPECT_FALSE(ff.sStartSearch().has_value());
    return rec.names();
}

TEST(FindFileScan, ReportsFilesBeforeSubfoldersInNameOrderWithOrWithoutTrailingSlash) {
    TreeBuilder t;
    t.file("b.txt");
    t.file("A.txt");
    t.file("sub/z.txt");
    t.file("Sub2/y.txt");
    t.file("sub/deeper/x.txt");
    t.folder("empty");
    const std::string r = t.root();
    Recorder a, b;
    const auto plain = Scan(platform::RealFileSystem(), r, a);
    EXPECT_EQ(plain, (std::vector<std::string>{r + "/A.txt", r + "/b.txt", r + "/sub/z.txt",
                                               r + "/sub/deeper/x.txt", r + "/Sub2/y.txt"}));
    EXPECT_EQ(Scan(platform::RealFileSystem(), r + "/", b), plain);
    // One question before each of the four descents, none after the last folder.
    EXPECT_EQ(a.stopSearches, 4);
    EXPECT_EQ(a.events.front(), r + "/A.txt");
}

TEST(FindFileScan, NamesSizesAndTimesAreReportedAsTheFileSystemHasThem) {
    TreeBuilder t;
    t.file("gross.bin", 5000000000LL, UnixTime(14, 5, 7), 900000000, true);
    const std::string notUtf8 = "t\xE9st \xFF.txt"; // found byte for byte
    t.file(notUtf8, 4, UnixTime(0, 0, 0));
    Recorder rec;
    Scan(platform::RealFileSystem(), t.root(), rec);
    ASSERT_EQ(rec.found.size(), 2u);
    EXPECT_EQ(rec.found[0].size, 5000000000LL);
    EXPECT_EQ(rec.found[0].lastWrite, At(14, 5, 7)); // 14:05:07.9 is 14:05:07
    EXPECT_EQ(rec.found[0].attributes, 32);
    EXPECT_EQ(rec.found[0].folder, t.root() + "/");
    EXPECT_EQ(rec.found[1].name, notUtf8);
    EXPECT_EQ(rec.found[1].size, 4);
    EXPECT_EQ(rec.found[1].lastWrite, At(0, 0, 0));
}

TEST(FindFileScan, TheMaskAdmitsOnlyFilesWhoseEveryBitItNames) {
    ListedFileSystem fs;
    fs.folders["/x/"] = {
        {"archiv", 32, 1, 0},   {"versteckt", 34, 1, 0},  {"system", 36, 1, 0},
        {"nurlesen", 33, 1, 0}, {"temporaer", 295, 1, 0}, {"komprimiert", 2080, 1, 0},
        {"ordner", 16, 0, 0},   {"link", 1024, 0, 0},     {"fifo", 64, 0, 0}};
    Recorder r163, r423, r160;
    EXPECT_EQ(Scan(fs, "/x", r163, 163),
              (std::vector<std::string>{"/x/archiv", "/x/versteckt", "/x/nurlesen"}));
    EXPECT_EQ(Scan(fs, "/x", r423, 423),
              (std::vector<std::string>{"/x/archiv", "/x/versteckt", "/x/system", "/x/nurlesen",
                                        "/x/temporaer"}));
    EXPECT_EQ(Scan(fs, "/x", r160, 160), (std::vector<std::string>{"/x/archiv"}));
}

TEST(FindFileScan, HiddenAndReadOnlyFilesGetTheirBits) {
    TreeBuilder t;
    t.file(".versteckt");
    const std::string ro = t.file("schreibgeschuetzt");
    ::chmod(ro.c_str(), 0444);
    Recorder all, plain;
    Scan(platform::RealFileSystem(), t.root(), all, 423);
    ASSERT_EQ(all.found.size(), 2u);
    EXPECT_EQ(all.found[0].attributes, 34);
    EXPECT_EQ(all.found[1].attributes, 33);
    EXPECT_TRUE(Scan(platform::RealFileSystem(), t.root(), plain, 160).empty());
}

TEST(FindFileScan, EverythingBelowAHiddenFolderIsHiddenButNotBelowAHiddenStart) {
    TreeBuilder t;
    t.file("start/.git/objects/a");
    t.file("start/.cache/x/y");
    t.file("start/src/b");
    t.file("start/.profil");
    const std::string start = t.path("start");
    Recorder all, plain;
    EXPECT_EQ(Scan(platform::RealFileSystem(), start, all, 423),
              (std::vector<std::string>{start + "/.profil", start + "/.cache/x/y",
                                        start + "/.git/objects/a", start + "/src/b"}));
    for (const Found& f : all.found)
        EXPECT_EQ(f.attributes, f.name == "b" ? 32 : 34) << f.folder << f.name;
    EXPECT_EQ(Scan(platform::RealFileSystem(), start, plain, 160),
              std::vector<std::string>{start + "/src/b"});
    // Hidden folders cannot hold a match then, so they are not even entered.
    EXPECT_EQ(plain.stopSearches, 1);

    // A search that starts inside a dot-named folder finds its plain files.
    t.file(".config/x/einstellung");
    t.file(".config/x/.versteckt/z");
    Recorder inside;
    EXPECT_EQ(Scan(platform::RealFileSystem(), t.path(".config/x"), inside, 160),
              std::vector<std::string>{t.path(".config/x/einstellung")});
}

TEST(FindFileScan, WhatCannotBeReadIsReportedAndTheSearchGoesOn) {
    ListedFileSystem fs;
    fs.folders["/x/"] = {{"a", 32, 1, 0},  {"kaputt", 0, 0, 0, EIO}, {".weg", 2, 0, 0, EIO},
                         {"zu", 16, 0, 0}, {"teil", 16, 0, 0},       {"z", 16, 0, 0}};
    fs.folders["/x/teil/"] = {{"gelesen", 32, 1, 0}};
    fs.folders["/x/z/"] = {{"c", 32, 1, 0}};
    fs.failBelow("/x/zu/", EACCES);
    fs.failBelow("/x/teil/", EIO); // what came before the failure still counts
    Recorder all, plain;
    Scan(fs, "/x", all, 423);
    EXPECT_EQ(all.events, (std::vector<std::string>{
                              "/x/a", "unlesbar /x/kaputt 5", "unlesbar /x/.weg 5", "stop?",
                              "unlesbar /x/zu/ 13", "stop?", "unlesbar /x/teil/ 5",
                              "/x/teil/gelesen", "stop?", "/x/z/c"}));
    // Without hidden files an unreadable hidden entry is none of the search's business.
    Scan(fs, "/x", plain, 160);
    EXPECT_EQ(std::count(plain.events.begin(), plain.events.end(), "unlesbar /x/.weg 5"), 0);
    EXPECT_EQ(plain.names(), all.names());

    Recorder root;
    fs.failBelow("/y/", EACCES);
    EXPECT_TRUE(Scan(fs, "/y", root).empty());
    EXPECT_EQ(root.events, std::vector<std::string>{"unlesbar /y/ 13"});
}

TEST(FindFileScan, SubfolderSwitchOffAndCancelEndTheirLevel) {
    TreeBuilder t;
    t.file("oben.txt");
    t.file("a/unten.txt");
    t.file("b/unten.txt");
    Recorder off, cancel;
    EXPECT_EQ(Scan(platform::RealFileSystem(), t.root(), off, 423, false),
              std::vector<std::string>{t.root() + "/oben.txt"});
    EXPECT_EQ(off.stopSearches, 0);
    cancel.cancelAt = 1;
    EXPECT_EQ(Scan(platform::RealFileSystem(), t.root(), cancel),
              std::vector<std::string>{t.root() + "/oben.txt"});
    EXPECT_EQ(cancel.stopSearches, 1);

    // A cancel deeper down ends only its own level; each level above asks again.
    t.file("a/a1/x");
    t.file("a/a2/x");
    Recorder deep;
    deep.cancelAt = 3; // the question before a/a2: a/a2 is skipped, b still follows
    EXPECT_EQ(Scan(platform::RealFileSystem(), t.root(), deep),
              (std::vector<std::string>{t.root() + "/oben.txt", t.root() + "/a/unten.txt",
                                        t.root() + "/a/a1/x", t.root() + "/b/unten.txt"}));
    EXPECT_EQ(deep.stopSearches, 4);
}

TEST(FindFileScan, SearchPathKeepsTheLastSubfolderEntered) {
    TreeBuilder t;
    t.file("eins/x");
    t.file("zwei/drei/y");
    Recorder rec;
    FindFile ff(platform::RealFileSystem(), rec);
    ff.setSFileToFind("*.*");
    ff.setSFileFlag(423);
    ff.setSSearchpath(t.root());
    ASSERT_FALSE(ff.sStartSearch());
    EXPECT_EQ(ff.sSearchpath(), t.root() + "/zwei/drei");
}

TEST(FindFileScan, MissingFoldersLinksAndFifosAreNeitherReportedNorEntered) {
    TreeBuilder t;
    t.file("echt.txt");
    t.link("schleife", t.root()); // a link back to the top: no loop
    t.link("zeiger.txt", t.path("echt.txt"));
    t.fifo("rohr"); // never opened, so nothing hangs
    Recorder rec, missing;
    EXPECT_EQ(Scan(platform::RealFileSystem(), t.root(), rec),
              std::vector<std::string>{t.root() + "/echt.txt"});
    EXPECT_EQ(rec.stopSearches, 0);
    EXPECT_TRUE(Scan(platform::RealFileSystem(), t.path("gibt es nicht"), missing).empty());
    EXPECT_EQ(missing.events, std::vector<std::string>{"unlesbar " + t.path("gibt es nicht/") +
                                                       " " + std::to_string(ENOENT)});
    EXPECT_EQ(platform::RealFileSystem().GetFileLastWrite(t.path("rohr")), kZeroDate);
}

TEST(FindFileScan, AFailureInsideTheScanComesBackAsError9999) {
    class Broken : public ListedFileSystem {
    public:
        int ListDirectory(const std::string& folder, std::vector<platform::DirEntry>& e) override {
            if (folder == "/x/tief/")
                throw std::runtime_error("kaputt");
            return ListedFileSystem::ListDirectory(folder, e);
        }
    } fs;
    fs.folders["/x/"] = {{"a", 32, 1, 0}, {"tief", 16, 0, 0}};
    Recorder rec;
    FindFile ff(fs, rec);
    ff.setSFileToFind("*.*");
    ff.setSFileFlag(423);
    ff.setSSearchpath("/x");
    const auto error = ff.sStartSearch();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->Number, 9999);
    EXPECT_EQ(error->Source, "cFindFile:sStartSearch Method");
    EXPECT_EQ(error->Description, "Fehler bei sStartSearch");
    EXPECT_EQ(rec.names(), std::vector<std::string>{"/x/a"}); // what was reported stands
}

TEST(FindFileScan, PatternsMatchLikeFilePatterns) {
    EXPECT_TRUE(WildcardMatch("*.*", "ohne_punkt"));
    EXPECT_TRUE(WildcardMatch("*.txt", "a.b.txt"));
    EXPECT_FALSE(WildcardMatch("*.txt", "a.txt.bak"));
    EXPECT_TRUE(WildcardMatch("a?c*", "abcdef"));
    EXPECT_FALSE(WildcardMatch("a?c", "ac"));
}

TEST(MaybeDoEventsTest, YieldsEveryTenthCallAcrossCallers) {
    int pumped = 0;
    SetEventPump([&] { ++pumped; });
    ResetMaybeDoEventsCounter();
    for (int i = 0; i < 25; ++i)
        MaybeDoEvents();
    EXPECT_EQ(pumped, 2);
    EXPECT_EQ(MaybeDoEventsCounter(), 5);
    SetEventPump(nullptr);
}

} // namespace
