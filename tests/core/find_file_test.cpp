// The folder scanner: order, attributes, the mask, hidden folders, what cannot be read, and
// cancelling; and the wildcard and event-pump helpers it uses.
#include "engine/find_file.h"
#include "platform/fake_file_system.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace {

using Lines = std::vector<std::string>;

// Records what a scan reports; cancels at the n-th StopSearch.
class Recorder : public FindFileEvents {
public:
    Lines names, details, events; // details: "<name> <size> <attributes> <last write>"
    int stopSearches = 0;
    int cancelAt = -1;

    void MatchFound(const std::string& n, const std::string& f, DateTime t, std::int64_t& s,
                    std::int32_t& a) override {
        names.push_back(f + n);
        details.push_back(n + " " + std::to_string(s) + " " + std::to_string(a) + " " +
                          std::to_string(t));
        events.push_back(f + n);
    }
    void StopSearch(bool& cancel) override {
        events.push_back("stop?");
        cancel = ++stopSearches == cancelAt;
    }
    void ReadFailed(const std::string& path, int error) override {
        events.push_back("unlesbar " + path + " " + std::to_string(error));
    }
};

Lines Scan(const std::string& path, Recorder& rec, std::int32_t mask = 423, bool subfolders = true,
           platform::FileSystem& fs = platform::RealFileSystem()) {
    FindFile ff(fs, rec);
    ff.setSFileToFind("*.*");
    ff.setSFileFlag(mask);
    ff.setSInclSubfolders(subfolders);
    ff.setSSearchpath(path);
    EXPECT_FALSE(ff.sStartSearch().has_value());
    return rec.names;
}

TEST(FindFileScan, FilesAreReportedAsTheFileSystemHasThemLinksFifosAndMissingFoldersNot) {
    TreeBuilder t;
    t.file("gross.bin", 5000000000LL, UnixTime(14, 5, 7), 900000000, true);
    const std::string notUtf8 = "t\xE9st \xFF.txt"; // found byte for byte
    t.file(notUtf8, 4, UnixTime(0, 0, 0));
    t.file(".versteckt", 1, UnixTime(1, 0, 0));
    ::chmod(t.file("schreibgeschuetzt", 2, UnixTime(2, 0, 0)).c_str(), 0444);
    // Links (one back to the top: no loop) and fifos are neither reported nor entered.
    t.link("schleife", t.root());
    t.link("zeiger.txt", t.path("gross.bin"));
    ::mkfifo(t.path("rohr").c_str(), 0644); // never opened, so nothing hangs
    Recorder rec, plain, missing;
    Scan(t.root(), rec);
    EXPECT_EQ(rec.stopSearches, 0);
    const auto at = [](int h, int m, int s) { return " " + std::to_string(At(h, m, s)); };
    EXPECT_EQ(rec.details,
              (Lines{".versteckt 1 34" + at(1, 0, 0),
                     "gross.bin 5000000000 32" + at(14, 5, 7), // not 14:05:07.9
                     "schreibgeschuetzt 2 33" + at(2, 0, 0), notUtf8 + " 4 32" + at(0, 0, 0)}));
    EXPECT_EQ(Scan(t.root(), plain, 160),
              (Lines{t.root() + "/gross.bin", t.root() + "/" + notUtf8}));
    EXPECT_EQ(platform::RealFileSystem().GetFileLastWrite(t.path("rohr")), kZeroDate);
    EXPECT_TRUE(Scan(t.path("fehlt"), missing).empty());
    EXPECT_EQ(missing.events, Lines{"unlesbar " + t.path("fehlt/") + " " + std::to_string(ENOENT)});
}

TEST(FindFileScan, TheMaskAdmitsOnlyFilesWhoseEveryBitItNames) {
    ListedFileSystem fs;
    fs.folders["/x/"] = {
        {"archiv", 32, 1, 0},   {"versteckt", 34, 1, 0},  {"system", 36, 1, 0},
        {"nurlesen", 33, 1, 0}, {"temporaer", 295, 1, 0}, {"komprimiert", 2080, 1, 0},
        {"ordner", 16, 0, 0},   {"link", 1024, 0, 0},     {"fifo", 64, 0, 0}};
    const std::vector<std::pair<std::int32_t, Lines>> rows = {
        {163, {"/x/archiv", "/x/versteckt", "/x/nurlesen"}},
        {423, {"/x/archiv", "/x/versteckt", "/x/system", "/x/nurlesen", "/x/temporaer"}},
        {160, {"/x/archiv"}}};
    for (const auto& [mask, names] : rows) {
        Recorder rec;
        EXPECT_EQ(Scan("/x", rec, mask, true, fs), names) << mask;
    }
}

TEST(FindFileScan, WhatCannotBeReadIsReportedAndTheSearchGoesOn) {
    ListedFileSystem fs;
    fs.folders["/x/"] = {{"a", 32, 1, 0},  {"kaputt", 0, 0, 0, EIO}, {".weg", 2, 0, 0, EIO},
                         {"zu", 16, 0, 0}, {"teil", 16, 0, 0},       {"z", 16, 0, 0}};
    fs.folders["/x/teil/"] = {{"gelesen", 32, 1, 0}};
    fs.folders["/x/z/"] = {{"c", 32, 1, 0}};
    fs.failBelow("/x/zu/", EACCES);
    fs.failBelow("/x/teil/", EIO); // what came before the failure still counts
    fs.failBelow("/y/", EACCES);
    Recorder all, plain, root;
    Scan("/x", all, 423, true, fs);
    EXPECT_EQ(all.events, (Lines{"/x/a", "unlesbar /x/kaputt 5", "unlesbar /x/.weg 5", "stop?",
                                 "unlesbar /x/zu/ 13", "stop?", "unlesbar /x/teil/ 5",
                                 "/x/teil/gelesen", "stop?", "/x/z/c"}));
    // Without hidden files an unreadable hidden entry is none of the search's business.
    Scan("/x", plain, 160, true, fs);
    EXPECT_EQ(std::count(plain.events.begin(), plain.events.end(), "unlesbar /x/.weg 5"), 0);
    EXPECT_EQ(plain.names, all.names);
    EXPECT_TRUE(Scan("/y", root, 423, true, fs).empty());
    EXPECT_EQ(root.events, Lines{"unlesbar /y/ 13"});
}

TEST(FindFileScan, SubfolderSwitchOffAndCancelEndTheirLevel) {
    TreeBuilder t;
    for (const char* rel : {"oben.txt", "a/unten.txt", "b/unten.txt"})
        t.file(rel);
    const std::string r = t.root();
    Recorder off, cancel, deep;
    EXPECT_EQ(Scan(r, off, 423, false), Lines{r + "/oben.txt"});
    cancel.cancelAt = 1;
    EXPECT_EQ(Scan(r, cancel), Lines{r + "/oben.txt"});
    // A cancel deeper down ends only its own level; each level above asks again.
    t.file("a/a1/x");
    t.file("a/a2/x");
    deep.cancelAt = 3; // the question before a/a2: a/a2 is skipped, b still follows
    EXPECT_EQ(Scan(r, deep),
              (Lines{r + "/oben.txt", r + "/a/unten.txt", r + "/a/a1/x", r + "/b/unten.txt"}));
    EXPECT_EQ(deep.stopSearches, 4);
}

} // namespace
