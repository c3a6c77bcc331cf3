// Folders listed ahead by several threads: the scan reports exactly what one thread reports,
// lists no folder more and holds a bounded number of listings. "Abbrechen" during such a load
// is tested with the threaded load.
#include "engine/listing_pool.h"
#include "run_test_support.h"

namespace {

using namespace std::chrono_literals;

// Every report with all its arguments, in order.
class Recorder : public FindFileEvents {
public:
    Lines events;
    void MatchFound(const std::string& n, const std::string& f, DateTime t, std::int64_t& s,
                    std::int32_t& a) override {
        events.push_back(f + n + " " + std::to_string(s) + " " + std::to_string(a) + " " +
                         std::to_string(t));
    }
    void StopSearch(bool&) override { events.push_back("stop?"); }
    void ReadFailed(const std::string& path, int error) override {
        events.push_back("unlesbar " + path + " " + std::to_string(error));
    }
};

struct Scanned {
    Lines events, listed;
    bool failed = false;
    std::size_t threads = 0; // that listed
};

// `whenWaiting`: the listings in flight once the first listings, each waiting `wait` or a
// random part of it, show that they wait.
Scanned Scan(const TreeBuilder& t, int inFlight, std::int32_t mask, bool subfolders,
             const std::string& throwAt, int whenWaiting = 1,
             std::chrono::microseconds wait = 2ms) {
    SlowDevice fs;
    fs.inFlight = inFlight;
    fs.inFlightWhenWaiting = whenWaiting;
    fs.listingWait = wait;
    fs.randomWait = true;
    fs.throwBelow = throwAt.empty() ? "" : t.path(throwAt);
    fs.failBelow(t.path("b/zu/"), EACCES);
    Recorder rec;
    FindFile ff(fs, rec);
    ff.setSFileToFind("*.*");
    ff.setSFileFlag(mask);
    ff.setSInclSubfolders(subfolders);
    ff.setSSearchpath(t.root());
    Scanned out;
    out.failed = ff.sStartSearch().has_value();
    out.events = std::move(rec.events);
    out.listed = fs.listed();
    out.threads = fs.listingThreads();
    std::sort(out.listed.begin(), out.listed.end());
    return out;
}

// Listed ahead by threads from the start (a slow device by its kind), or from the first
// listings on, once they show that they wait (a disk whose caches are cold).
TEST(ListingPool, ThePooledScanReportsExactlyWhatOneThreadReports) {
    TreeBuilder t;
    for (const char* rel :
         {"oben.txt", "a/1.txt", "a/x/2.txt", "a/x/y/3.txt", "a/x/y/z/4.txt", "b/5.txt",
          "b/tief/c/d/6.txt", ".versteckt/7.txt", ".versteckt/innen/8.txt", "Daten/A.txt",
          "Daten/a.txt", "daten/b.txt", "b/zu/nie.txt"})
        t.file(rel, 3);
    for (const char* rel : {"leer", "a/leer", "b/tief/leer"})
        t.folder(rel);
    for (int i = 0; i < 12; ++i)
        t.file("breit/f" + std::to_string(i) + "/g/datei", i);
    t.link("zeiger", t.path("a")); // a link to a folder is not followed
    struct Row {
        std::int32_t mask;
        bool subfolders;
        std::string throwAt;
    };
    const Row rows[] = {{160, true, ""},  {423, true, ""},       {163, true, ""},
                        {423, false, ""}, {423, true, "a/x/y/"}, {160, true, "breit/f7/"}};
    for (const Row& row : rows) {
        const Scanned one = Scan(t, 1, row.mask, row.subfolders, row.throwAt);
        ASSERT_FALSE(one.events.empty());
        EXPECT_EQ(one.threads, 1u);
        for (const auto& [inFlight, whenWaiting] : {std::pair{2, 1}, {6, 1}, {1, 4}}) {
            const Scanned many =
                Scan(t, inFlight, row.mask, row.subfolders, row.throwAt, whenWaiting);
            SCOPED_TRACE(testing::Message() << row.mask << " " << row.subfolders << " "
                                            << row.throwAt << " " << inFlight << whenWaiting);
            EXPECT_EQ(many.events, one.events);
            EXPECT_EQ(many.failed, !row.throwAt.empty());
            if (row.throwAt.empty()) // the same folders, each once: none that is not entered
                EXPECT_EQ(many.listed, one.listed);
            if (row.throwAt.empty() && row.subfolders)
                EXPECT_GT(many.threads, 1u);
        }
        // Listings that do not wait (a disk with warm caches) are made by the scanner alone.
        EXPECT_EQ(Scan(t, 1, row.mask, row.subfolders, row.throwAt, 4, 0ms).threads, 1u);
    }
}

// Listings nobody took yet are held only up to the bounds, the first needed first; taking one
// lets the next start, and a folder no thread has started on is listed by the one who needs it.
TEST(ListingPool, AtMostTheBoundsAreHeldFirstNeededFirst) {
    struct Row {
        int threads;
        std::size_t maxHeld, maxEntries;
        int held; // listings that start after the root's
    };
    for (const Row& row : {Row{3, 4, 1000, 4}, Row{1, 1000, 2, 2}}) {
        TreeBuilder t;
        Lines folders;
        for (char c = 'a'; c <= 't'; ++c) { // each with one file
            const std::string name = std::string("d") + c;
            t.file(name + "/x");
            folders.push_back(t.path(name) + "/");
        }
        SlowDevice fs;
        const std::atomic<bool> never{false};
        ListingPool pool(
            fs, row.threads,
            [](const platform::DirEntry& e) { return e.attributes & platform::kAttrDirectory; },
            never, row.maxHeld, row.maxEntries);
        ASSERT_EQ(pool.threads(), std::size_t(row.threads));
        // Waits for `n` listings to have started, then a while longer for any beyond.
        auto startedSettles = [&](int n) {
            for (int i = 0; i < 400 && fs.listings < n; ++i)
                std::this_thread::sleep_for(5ms);
            std::this_thread::sleep_for(50ms);
            return fs.listings.load();
        };
        std::vector<platform::DirEntry> entries;
        ASSERT_EQ(pool.Take(t.root() + "/", entries), 0); // the root, listed here
        ASSERT_EQ(entries.size(), 20u);
        EXPECT_EQ(startedSettles(1 + row.held), 1 + row.held);
        Lines first = fs.listed();
        std::sort(first.begin(), first.end());
        Lines expected = {t.root() + "/"};
        expected.insert(expected.end(), folders.begin(), folders.begin() + row.held);
        EXPECT_EQ(first, expected);
        EXPECT_EQ(pool.Take(folders[0], entries), 0);
        EXPECT_EQ(startedSettles(2 + row.held), 2 + row.held);
        EXPECT_EQ(pool.Take(folders[19], entries), 0); // the last in line: listed here
        EXPECT_EQ(fs.listings.load(), 3 + row.held);
    }
}

} // namespace
