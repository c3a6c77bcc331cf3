// Both trees are scanned at once and compared as their folders come, with only a bounded part
// of them held; "Abbrechen" stops both scans quickly.
#include "engine/folder_handover.h"
#include "one_thread_load.h"
#include "run_test_support.h"

namespace {

// The window hears the start tree's texts first, as when the trees were scanned one after
// the other, also when the target's scan ends long before; an unreadable folder of either
// tree is recorded and shown, and the scan goes on.
TEST(ThreadedLoad, TheStartTreeIsHeardFirstAlsoWhenTheTargetEndsFirst) {
    TreeBuilder t;
    for (int d = 0; d < 30; ++d)
        t.file("start/d" + std::to_string(d) + "/a.txt", 1);
    t.file("start/zu/x.txt", 1);
    t.file("ziel/kaputt/y.txt", 1);
    SlowDevice fs;
    fs.listingWait = std::chrono::milliseconds(3);
    fs.slowBelow = t.path("start");
    fs.failBelow(t.path("start/zu/"), EACCES);
    fs.failBelow(t.path("ziel/kaputt/"), EIO);
    SyncSession s = Unloaded(t.path("start"), t.path("ziel"), 0, 5);
    RecordingLoad view;
    const LoadResult r = LoadFolders(s, fs, view);
    ASSERT_TRUE(r.compared && r.rootError.empty());
    const Lines expected = {"Durchsuche: \"" + t.path("start") + "\"",
                            "Kann nicht gelesen werden: \"" + t.path("start/zu/") + "\"",
                            "Durchsuche: \"" + t.path("ziel") + "\"",
                            "Kann nicht gelesen werden: \"" + t.path("ziel/kaputt/") + "\""};
    ASSERT_GE(view.texts.size(), expected.size());
    EXPECT_EQ(Lines(view.texts.begin(), view.texts.begin() + 4), expected);
    // Both are recorded with their tree, and each scan went on past them.
    ASSERT_EQ(r.problems.size(), 2u);
    EXPECT_TRUE(r.problems[0].path == t.path("start/zu/") && r.problems[0].error == EACCES &&
                r.problems[0].inStartTree);
    EXPECT_TRUE(r.problems[1].path == t.path("ziel/kaputt/") && r.problems[1].error == EIO &&
                !r.problems[1].inStartTree);
    EXPECT_EQ(s.StartFileCount, 30u);
}

// A folder so large on a slow device that listing it takes two seconds, unless "Abbrechen"
// ends the listing.
class LargeFolderFileSystem : public SlowDevice {
public:
    std::string large;
    std::atomic<bool> listingLarge{false}, cancelledLarge{false};
    int ListDirectoryUntil(const std::string& folder, std::vector<platform::DirEntry>& e,
                           const std::atomic<bool>& stop) override {
        if (folder != large)
            return ListDirectory(folder, e);
        listingLarge = true;
        for (int ms = 0; ms < 2000; ++ms) {
            if (stop) {
                cancelledLarge = true;
                return ECANCELED;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return ListDirectory(folder, e);
    }
};

// "Abbrechen", pressed while a large folder is being listed, also with several listings of each
// tree under way: that listing ends and is not taken for an unreadable folder, no listing
// starts besides those each tree's threads had already begun, and none after the load.
TEST(ThreadedLoad, AbbrechenStopsBothScansAtOnceAlsoALargeListingUnderWay) {
    TreeBuilder t;
    for (int d = 0; d < 100; ++d) {
        t.file("start/d" + std::to_string(d) + "/e/a.txt", 1);
        t.file("ziel/d" + std::to_string(d) + "/e/a.txt", 1);
    }
    t.file("start/d5_riesig/b.txt", 1); // half way: listed ahead by the listing threads
    for (const int inFlight : {1, 6}) {
        LargeFolderFileSystem fs; // about 600 ms a tree with one listing at a time
        fs.large = t.path("start/d5_riesig/");
        fs.listingWait = std::chrono::milliseconds(3);
        fs.inFlight = inFlight;
        SyncSession s = Unloaded(t.path("start"), t.path("ziel"), 0, 5);
        int listedAtPress = 0;
        const AbortedLoad load = LoadAndPressAbbrechen(s, fs, [&] {
            listedAtPress = fs.listings;
            return fs.listingLarge.load();
        });
        EXPECT_TRUE(fs.cancelledLarge.load()) << inFlight; // not read to its end
        EXPECT_LE(fs.listings.load(), listedAtPress + 2 * inFlight) << inFlight;
        EXPECT_LT(s.StartFileCount, 100u);
        EXPECT_LT(s.TargetFileCount, 100u);
        EXPECT_TRUE(s.CopyList.empty() && s.DeleteList.empty() && load.result.problems.empty());
        for (const std::string& text : load.texts)
            EXPECT_EQ(text.find("Kann nicht gelesen werden"), std::string::npos) << text;
        const int listings = fs.listings;
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        EXPECT_EQ(fs.listings.load(), listings) << inFlight;
    }
    // The real listing stops at once too.
    const std::atomic<bool> stop{true};
    std::vector<platform::DirEntry> entries;
    EXPECT_EQ(platform::RealFileSystem().ListDirectoryUntil(t.path("start"), entries, stop),
              ECANCELED);
    EXPECT_TRUE(entries.empty());
}

// A scanner that fails in either tree, while the other is still being scanned, fails the load
// with the scanner's error and leaves nothing to copy or delete.
TEST(ThreadedLoad, AScannerErrorInEitherTreeFailsTheLoadAsBefore) {
    TreeBuilder t;
    for (int d = 0; d < 20; ++d)
        for (const char* root : {"start/", "ziel/"})
            t.file(root + std::string("d") + std::to_string(d) + "/a.txt", 1);
    for (const int inFlight : {1, 4})
        for (const char* failing : {"start/d7/", "ziel/d3/"}) {
            SlowDevice fs;
            fs.listingWait = std::chrono::milliseconds(3);
            fs.throwBelow = t.path(failing);
            fs.inFlight = inFlight;
            SyncSession s = Unloaded(t.path("start"), t.path("ziel"), 0, 5);
            RecordingLoad view;
            const LoadResult r = LoadFolders(s, fs, view);
            ASSERT_TRUE(r.error.has_value()) << failing << inFlight;
            EXPECT_EQ(r.error->Number, 9999);
            EXPECT_EQ(r.error->Source, "cFindFile:sStartSearch Method");
            EXPECT_EQ(r.error->Description, "Fehler bei sStartSearch");
            EXPECT_FALSE(r.compared);
            EXPECT_TRUE(s.StartFileCount == 0 && s.TargetFileCount == 0 && s.CopyList.empty() &&
                        s.DeleteList.empty());
        }
}

// What waits for the other tree's scan stays bounded: a scan whose tree holds the bounds'
// worth of folders or files that the comparison has not let go of waits until it lets go of
// one (taking them is not enough), and "Abbrechen" ends such a wait at once.
TEST(ThreadedLoad, AScanWaitsWhileItsTreeHoldsTheBoundsWorth) {
    using Tree = FolderHandover::Tree;
    FolderHandover handover;
    const auto putOne = [&](Tree tree, std::atomic<bool>& done) {
        return std::thread([&handover, &done, tree] {
            handover.Put(tree, handover.Fresh(tree));
            done = true;
        });
    };
    for (std::size_t i = 0; i < FolderHandover::kMaxHeldFolders; ++i)
        handover.Put(Tree::Target, handover.Fresh(Tree::Target));
    std::atomic<bool> put{false};
    std::thread scan = putOne(Tree::Target, put);
    std::deque<std::unique_ptr<ScannedFolder>> taken;
    EXPECT_FALSE(handover.Take(Tree::Target, taken));
    EXPECT_EQ(taken.size(), FolderHandover::kMaxHeldFolders);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(put.load());
    handover.Release(Tree::Target, std::move(taken.front()));
    scan.join();
    EXPECT_TRUE(put.load());
    // The other tree's files count on their own.
    auto full = handover.Fresh(Tree::Start);
    full->Reset("/start/");
    for (std::size_t i = 0; i < FolderHandover::kMaxHeldFiles; ++i)
        full->Add("f" + std::to_string(i), 1, 0, 0);
    handover.Put(Tree::Start, std::move(full));
    std::atomic<bool> stopped{false};
    std::thread waiting = putOne(Tree::Start, stopped);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(stopped.load());
    handover.Stop();
    waiting.join();
    EXPECT_TRUE(stopped.load());
}

// A tree with every kind of entry in both roots: nested and empty folders, a hidden folder,
// links to a folder and to a file, a pipe, names that differ only in case, a file where the
// other tree has a folder, files newer, older or missing on either side, and a folder of each
// tree that cannot be read.
void EveryKindOfEntry(TreeBuilder& t) {
    for (const char* root : {"start", "ziel"}) {
        const std::string r = std::string(root) + "/";
        const bool start = r == "start/";
        for (int d = 0; d < 12; ++d)
            for (int i = 0; i < 6; ++i) {
                const std::string rel = "Ebene" + std::to_string(d % 3) + "/o" + std::to_string(d) +
                                        "/f" + std::to_string(i);
                if (start || i != 2)
                    t.file(r + rel, i, UnixTime(10, i == 4 && !start ? 1 : 0, start ? 0 : i));
            }
        t.folder(r + "leer/innen");
        t.file(r + ".versteckt/datei", 1);
        t.file(r + "Gross", 1);
        t.file(r + "gross", 2);
        t.file(r + (start ? "nur_start" : "nur_ziel") + "/x", 1);
        t.file(r + (start ? "klash" : "klash/y"), 1);
        t.link(r + "zum_ordner", t.path(r + "Ebene0"));
        t.link(r + "zur_datei", t.path(r + "Gross"));
        ::mkfifo(t.path(r + "rohr").c_str(), 0644);
        t.file(r + "gesperrt/z", 1);
    }
}

// Under every rule, the load with both trees on threads of their own, listed by one thread or
// by several (from the start, or once the first listings waited), gives exactly the counts,
// lists and problems of scanning one tree after the other on one thread.
TEST(ThreadedLoad, GivesTheSameListsAsScanningOneTreeAfterTheOther) {
    TreeBuilder t;
    EveryKindOfEntry(t);
    FailingFileSystem fs;
    SlowDevice shared; // as a network share: several listings of a tree under way at once
    shared.inFlight = 4;
    SlowDevice cold; // as a local disk whose first listings wait: threads join after them
    cold.inFlightWhenWaiting = 4;
    cold.listingWait = std::chrono::microseconds(200);
    const std::vector<FailingFileSystem*> systems = {&fs, &shared, &cold};
    for (FailingFileSystem* f : systems) {
        f->failBelow(t.path("start/gesperrt/"), EACCES);
        f->failBelow(t.path("ziel/gesperrt/"), EIO);
    }
    for (FailingFileSystem* loadFs : systems)
        for (int copy = 0; copy <= 2; ++copy)
            for (int reverse = 0; reverse <= 5; ++reverse)
                for (const bool hidden : {true, false}) {
                    SyncSession threaded = Unloaded(t.path("start"), t.path("ziel"), copy, reverse);
                    threaded.CurrentRule.HiddenFiles = hidden;
                    RecordingLoad view;
                    const LoadResult loaded = LoadFolders(threaded, *loadFs, view);
                    ASSERT_TRUE(loaded.compared);

                    const LoadedTrees one = LoadOnOneThread(threaded, fs);
                    const Lines expected = Described(one.session, one.problems);
                    EXPECT_GT(one.session.StartFileCount, 72u); // the load saw the trees
                    EXPECT_EQ(Described(threaded, loaded.problems), expected)
                        << copy << reverse << hidden << (loadFs == &shared) << (loadFs == &cold);
                }
    // Threads joined the two scans' own there, in one load.
    SlowDevice once;
    once.inFlightWhenWaiting = 4;
    once.listingWait = cold.listingWait;
    SyncSession s = Unloaded(t.path("start"), t.path("ziel"), 0, 5);
    RecordingLoad view;
    ASSERT_TRUE(LoadFolders(s, once, view).compared);
    EXPECT_GT(once.listingThreads(), 2u);
}

} // namespace
