// The records of the listed files, packed with their names, and the order both scans report
// in, which the comparison relies on to meet each folder of both trees at the same point.
#include "engine/scan_order.h"
#include "engine/tree_scan.h"
#include "platform/name_order.h"
#include "run_test_support.h"

#include <sys/stat.h>
#include <utility>

namespace {

// What a scan of `root` reports, as its folder and name, in report order.
std::vector<std::pair<std::string, std::string>> Scanned(const std::string& root) {
    FolderHandover handover;
    handover.Unbound();
    const std::atomic<bool> stop{false};
    TreeScan scan(platform::RealFileSystem(), Unloaded(root, root, 0, 0).CurrentRule, root, true,
                  stop, handover);
    scan.run();
    std::deque<std::unique_ptr<ScannedFolder>> folders;
    EXPECT_TRUE(handover.Take(FolderHandover::Start, folders));
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& folder : folders)
        for (const ScannedFile& f : folder->files)
            out.emplace_back(folder->folder, folder->Name(f));
    return out;
}

// Names of every length up to 40, in folders of 1 to 150 files, so that folders run over the
// end of a block; one name is longer than a whole block.
TEST(RecordStoreLayout, EveryRecordKeepsItsFolderNameAndPlaceAcrossBlocks) {
    RecordStore store;
    std::vector<std::pair<MyFile*, std::string>> made;
    for (int d = 0; d < 300; ++d) {
        const std::string folder = "/baum/ordner" + std::to_string(d) + "/";
        for (int i = 0; i < 1 + d % 150; ++i) {
            std::string name(std::size_t(i % 41), char('a' + i % 26));
            if (d == 150 && i == 0)
                name.assign(300 * 1024, 'x');
            MyFile* f = store.NewRecord(folder, name);
            f->Size = d * 1000 + i;
            f->Attributes = std::uint16_t(i);
            made.emplace_back(f, folder + name);
        }
    }
    const RecordStore moved = std::move(store);
    ASSERT_EQ(moved.size(), made.size());
    EXPECT_TRUE(store.empty() && store.begin() == store.end());
    EXPECT_EQ(store.NewRecord("/neu/", "x")->Path(), "/neu/x");
    std::size_t at = 0;
    for (MyFile* f : moved) {
        ASSERT_LT(at, made.size());
        ASSERT_EQ(f, made[at].first) << at;
        ASSERT_EQ(f->Path(), made[at].second) << at;
        ++at;
    }
    EXPECT_EQ(at, made.size());
    // Changing one record leaves its neighbours' names intact.
    made[7].first->Selected = made[7].first->IsStart = true;
    made[7].first->SeenIndex = 0xFFFFFFFF;
    EXPECT_EQ(made[8].first->Path(), made[8].second);
    EXPECT_EQ(made[7].first->Path(), made[7].second);
}

// The order a folder's files are scanned and walked in, on names whose order differs with
// regard to case, by value of numbers or by a collation: ASCII letters without regard to
// case, every other byte by its value (digits, "[", "_", UTF-8 umlauts, bytes that are no
// UTF-8), a name that starts another first, ties by bytes.
TEST(ScanOrder, AFoldersFilesComeInTheirFixedOrder) {
    const std::vector<std::string> names = {
        "10", "9", "[x]", "A", "a", "a b", "A-", "a-", "a.b", "a_b", "aB", "ab", "caf\xC3\xA9",
        "caf\xE9", "datei10", "Datei2",
        // long names that differ within their first eight bytes, after them, or only in case
        "langer_a_zzz", "langer_b_aaa", "langer_name_A", "langer_name_a", "langer_name_a1",
        "Langer_name_B", "langer_name_b", "Z", "z1", "zusammenfassung_2025", "Zusammenfassung_2026",
        "~", "\xC3\x84", "\xC3\xA4", "\xFF"};
    TreeBuilder t;
    for (auto n = names.rbegin(); n != names.rend(); ++n)
        t.file("baum/" + *n, 1);
    std::vector<std::string> scanned;
    for (const auto& [folder, name] : Scanned(t.path("baum")))
        scanned.push_back(name);
    EXPECT_EQ(scanned, names);
}

// Names that sort differently with and without regard to case, dots and blanks before
// letters, a file and a folder of the same name: the scan must report them in exactly the
// order the comparison walks them in, or counterparts would be missed.
TEST(ScanOrder, TheScanReportsInTheOrderTheComparisonWalks) {
    TreeBuilder t;
    const std::vector<std::string> names = {"a", "A",  "a b", "a.b", "ab",       "aB", "a_b",
                                            "Z", "z1", "[x]", "~",   "\xC3\xA4", "a-", "A-"};
    for (const std::string& n : names) {
        t.file("baum/" + n + "_f", 1);
        t.file("baum/" + n + "/f", 1);
        for (const std::string& m : {std::string("b"), std::string("B"), std::string("b.")})
            t.file("baum/" + n + "/" + m + "/g", 1);
    }
    const auto scanned = Scanned(t.path("baum"));
    ASSERT_EQ(scanned.size(), names.size() * 5);
    const std::size_t root = t.path("baum/").size();
    for (std::size_t i = 1; i < scanned.size(); ++i) {
        const auto& [folder, name] = scanned[i];
        const auto& [previousFolder, previousName] = scanned[i - 1];
        const int folders = CompareFolders(previousFolder.substr(root), folder.substr(root));
        const bool before =
            folders < 0 || (folders == 0 && platform::CompareNames(previousName, name) < 0);
        EXPECT_TRUE(before) << previousFolder + previousName << " before " << folder + name;
    }
}

// With both trees scanned, the file system is asked only about files in a folder the other
// tree's scan did not list: one it lacks, one it could not list. What the other listing holds
// at a name its scan did not report (a file its attribute options left out) or lacks is known
// from that listing, with the exact times and identity the listing took.
TEST_F(Trees, OnlyFilesInFoldersTheOtherScanDidNotListAreLookedUp) {
    for (int d = 0; d < 20; ++d)
        for (int i = 0; i < 10; ++i) {
            const std::string rel = "G" + std::to_string(d % 3) + "/o" + std::to_string(d) +
                                    "/Datei" + std::to_string(i);
            t.file("start/" + rel, 1, UnixTime(10, 0, 0));
            if (i != 3) // missing in the target
                t.file("ziel/" + rel, 1, UnixTime(i == 5 ? 9 : 10, 0, 0));
        }
    t.file("ziel/nur_im_ziel", 1);
    t.file("ziel/G1/.versteckt", 1, UnixTime(9, 0, 0)); // left out without hidden files
    t.file("start/G1/.versteckt", 1, UnixTime(10, 0, 0));
    t.file("start/neu/a", 1); // a folder the target lacks
    t.file("start/neu/b", 1);
    for (const int inFlight : {1, 4}) // one question at a time, or several ahead
        for (const bool hidden : {true, false}) {
            SyncSession s = Unloaded(start, target, 0, 5);
            s.CurrentRule.HiddenFiles = hidden;
            SlowDevice fs;
            fs.inFlight = inFlight;
            fs.failBelow(target + "/G0/o0/", EIO); // its folder there cannot be listed
            RecordingLoad view;
            ASSERT_TRUE(LoadFolders(s, fs, view).compared);
            const std::string what = std::to_string(inFlight) + " " + std::to_string(hidden);
            // The 10 files of G0/o0 and the 2 of neu are looked up; neither the 19 other files
            // missing in the target nor the one missing in the start, nor the files to be
            // replaced or deleted.
            EXPECT_EQ(fs.examined, 10 + 2) << what;
            // The missing and the older ones, those of neu, the hidden one where it is seen,
            // and all 10 of G0/o0, whose counterparts are not known (the run looks again).
            EXPECT_EQ(s.CopyList.size(), 19u + 19u + 2u + 10u + (hidden ? 1u : 0u)) << what;
            ASSERT_EQ(s.DeleteList.size(), 1u) << what;
            struct stat st {};
            ASSERT_EQ(::lstat((target + "/nur_im_ziel").c_str(), &st), 0);
            const platform::FileStamp stamp = s.AsLoaded(*s.DeleteList[0]).stamp;
            EXPECT_TRUE(stamp.known) << what;
            EXPECT_EQ(stamp.inode, std::uint64_t(st.st_ino)) << what;
            EXPECT_EQ(stamp.writeNanos,
                      std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec)
                << what;
            int replaced = 0; // the older target files, each with the stamp of its own
            for (const MyFile* f : s.CopyList)
                replaced += s.CounterpartOf(*f).stamp.known ? 1 : 0;
            EXPECT_EQ(replaced, 19 + (hidden ? 1 : 0)) << what;
        }
}

// More files than a scan hands over before it waits for room, all missing in a slow target:
// the comparison lets go of the folders whose answers came, so the scan goes on. It once
// waited for the next folder to do that, and the load never ended.
TEST_F(Trees, AStartTreeLargerThanTheHandoverIsComparedWithASlowEmptyTarget) {
    for (int i = 0; i < 5000; ++i)
        t.file("start/d" + std::to_string(i / 100) + "/f" + std::to_string(i), 0);
    SyncSession s = Unloaded(start, target, 0, 5);
    SlowDevice fs; // the target as on a network share, the answers slower than the scan
    fs.slowBelow = target;
    fs.inFlight = 8;
    fs.inFlightElsewhere = 1;
    fs.examineWait = std::chrono::microseconds(500);
    RecordingLoad view;
    ASSERT_TRUE(LoadFolders(s, fs, view).compared);
    EXPECT_EQ(s.CopyList.size(), 5000u);
}

// While the comparison waits for answers from a slow target, the window's events keep
// running, and "Abbrechen" ends it at once: no question is asked after the press, nothing is
// chosen. Each answer takes 150 ms: a comparison that waited for one without letting the
// events run would hold them up that long, far above what a busy machine adds.
TEST_F(Trees, AComparisonThatAsksAheadKeepsTheWindowRespondingAndStopsAtOnce) {
    for (int i = 0; i < 200; ++i)
        t.file("start/d" + std::to_string(i % 10) + "/f" + std::to_string(i), 1);
    SyncSession s = Unloaded(start, target, 0, 0); // the target is not scanned: all are asked
    SlowDevice fs;
    fs.inFlight = 4;
    fs.examineWait = std::chrono::milliseconds(150);
    int askedAtPress = 0;
    const AbortedLoad load = LoadAndPressAbbrechen(s, fs, [&] {
        askedAtPress = fs.examined;
        return askedAtPress >= 24;
    });
    EXPECT_LT(load.longestPause, fs.examineWait / 2);
    EXPECT_FALSE(load.result.compared);
    EXPECT_EQ(load.texts.back(), "Vergleiche 200 Dateien...");
    for (const MyFile* f : s.CopyList)
        EXPECT_FALSE(f->Selected);
    const int asked = fs.examined;
    EXPECT_LE(asked, askedAtPress + fs.inFlight); // only those already under way
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(fs.examined.load(), asked);
}

} // namespace
