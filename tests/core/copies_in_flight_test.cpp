// Copies and deletions under way on several threads, as on a device where every call waits:
// how many are in flight, what a failure among them leaves, and what "Abbrechen" leaves. On a
// local disk, the flush of one batch of copies behind the writing of the next.
#include "engine/copy_batch.h"
#include "engine/copy_window.h"
#include "platform/system_info.h"
#include "run_test_support.h"

#include <condition_variable>
#include <mutex>

namespace {

constexpr std::uint32_t kSshfs = 0x65735546;

// The real calls on an sshfs answer; each copy's flush waits until `meet` flushes are under
// way at once, or until Release() (or 10 s passed), so that the test sees how many run
// together. A source named `broken` cannot be read.
class MeetingOps : public FailingOps {
public:
    int meet = 8;
    std::string broken = "kaputt.txt";
    int mostAtOnce = 0;
    std::atomic<int> flushed{0}; // copies whose flush returned
    std::atomic<int> renamed{0};

    MeetingOps() { fileSystemType = kSshfs; }

    int OpenAt(int d, const std::string& n, int f, std::uint32_t m, int& fd) override {
        if (n == broken && (f & O_ACCMODE) == O_RDONLY)
            return fd = -1, EIO;
        return FailingOps::OpenAt(d, n, f, m, fd);
    }
    int Fsync(int fd) override {
        platform::FileInfo st;
        if (FileOps::Fstat(fd, st) == 0 && st.isFolder())
            return FailingOps::Fsync(fd);
        {
            std::unique_lock<std::mutex> lock(mutex_);
            mostAtOnce = std::max(mostAtOnce, ++atOnce_);
            met_.notify_all();
            met_.wait_for(lock, std::chrono::seconds(10),
                          [&] { return atOnce_ >= meet || released_; });
            // Once met, the rest of the run goes on without waiting.
            if (atOnce_ >= meet)
                meet = 0;
            --atOnce_;
        }
        const int err = FailingOps::Fsync(fd);
        ++flushed;
        return err;
    }
    int RenameAt(int fd, const std::string& f, int td, const std::string& t, unsigned fl) override {
        ++renamed;
        return FailingOps::RenameAt(fd, f, td, t, fl);
    }

    int inside() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return atOnce_;
    }
    void Release() {
        const std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        met_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable met_;
    int atOnce_ = 0;
    bool released_ = false;
};

// Records the actions in the order they are told, and presses "Abbrechen" when `stopWhen` says.
class ListingRun : public RecordingRun {
public:
    Lines done;
    std::function<bool()> stopWhen;
    std::function<void()> afterStop; // the window's events once "Abbrechen" was pressed
    bool stopped = false;
    bool StopRequested() override { return stopped = stopped || (stopWhen && stopWhen()); }
    void PumpEvents() override {
        if (stopped && afterStop)
            afterStop();
    }
    bool ListsActions() const override { return true; }
    void ActionDone(RunAction a, const std::string& path, const std::string&) override {
        done.push_back((a == RunAction::Failed ? "! " : "+ ") + fs::path(path).filename().string());
    }
};

// `count` files "d00.txt"…, each 40 KiB and newer in the start tree; every third one replaces
// an old version in the target.
Lines MakeCopies(TreeBuilder& t, int count) {
    Lines names;
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "d%02d.txt", i);
        names.push_back(name);
        t.text(std::string("start/") + name, std::string(40 << 10, char('a' + i % 26)),
               UnixTime(12, 0, 0));
        if (i % 3 == 0)
            t.text(std::string("ziel/") + name, "ALT", UnixTime(8, 0, 0));
    }
    return names;
}

// One mirror of 40 copies, a source that cannot be read, a copy into new folders and three files
// to the trash, with `ops`: what it told, what it listed, and what the target holds.
struct Outcome {
    Lines done, failures, target;
    RunResult result;
};
Outcome MirrorWith(FailingOps& ops) {
    TempHome home;
    TreeBuilder t;
    const Lines names = MakeCopies(t, 40);
    t.text("start/kaputt.txt", "nicht lesbar", UnixTime(12, 0, 0));
    t.text("start/tief/unten/e.txt", "e", UnixTime(12, 0, 0));
    for (const char* gone : {"ziel/weg1.txt", "ziel/weg2.txt", "ziel/alt/weg3.txt"})
        t.text(gone, gone, UnixTime(8, 0, 0));
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 4);
    ListingRun shown;
    Outcome out;
    out.result = RunSynchronisation(s, ops, shown);
    out.done = shown.done;
    for (const FailedItem& f : out.result.failures)
        out.failures.push_back(f.path.substr(t.root().size()) + ": " + f.reason);
    for (const auto& e : fs::recursive_directory_iterator(t.path("ziel")))
        if (e.is_regular_file())
            out.target.push_back(
                e.path().string().substr(t.root().size()) + " " +
                std::to_string(
                    ReadFile(e.path()) ==
                    ReadFile(t.path("start") + e.path().string().substr(t.path("ziel").size()))));
    std::sort(out.target.begin(), out.target.end());
    EXPECT_TRUE(TemporaryFiles(t.root()).empty());
    return out;
}

TEST(CopiesInFlight, EightAreUnderWayAtOnceAndTheRunEndsAsWithOneAtATime) {
    MeetingOps local; // ext4: one copy at a time
    local.fileSystemType = 0xEF53;
    const Outcome one = MirrorWith(local);
    MeetingOps waiting;
    const Outcome eight = MirrorWith(waiting);
    EXPECT_EQ(waiting.mostAtOnce, 8);
    EXPECT_EQ(eight.result.copied, 41);
    EXPECT_EQ(eight.result.trashed, 3);
    EXPECT_EQ(
        eight.failures,
        Lines{
            "/ziel/kaputt.txt: Quelldatei: Ein-/Ausgabefehler beim Zugriff auf den Datenträger."});
    EXPECT_EQ(eight.target.size(), 41u);
    EXPECT_EQ(std::count(eight.target.begin(), eight.target.end(), "/ziel/d39.txt 1"), 1);
    EXPECT_EQ(eight.done, one.done);
    EXPECT_EQ(eight.failures, one.failures);
    EXPECT_EQ(eight.target, one.target);
}

// A worker takes the first waiting copy into a folder where no other copy is being written (a
// file system names files in one folder one at a time), else the first waiting one; after
// "Abbrechen" each is left in turn. The window keeps the list's order for settling.
TEST(CopiesInFlight, AWorkerPrefersAFolderWhereNoCopyIsBeingWritten) {
    const auto a = std::make_shared<platform::OpenFolder>(platform::RealFileOps(), -1);
    const auto b = std::make_shared<platform::OpenFolder>(platform::RealFileOps(), -1);
    CopyWindow window(8);
    for (const auto& folder : {a, a, a, b, a}) {
        CopyJob& job = window.Next();
        job.out.folder = folder;
        window.Add(true);
    }
    const auto picked = [&](bool stopped) {
        CopyJob& job = window.Pick(stopped);
        return &job - window.jobs().data();
    };
    EXPECT_EQ(picked(false), 0); // a
    EXPECT_EQ(picked(false), 3); // b: a is being written
    EXPECT_EQ(picked(false), 1); // both busy: the first waiting
    window.First().state = CopyJob::Done;
    window.DropFirst();
    EXPECT_EQ(&window.First() - window.jobs().data(), 1);
    EXPECT_EQ(picked(true), 2);
    EXPECT_EQ(window.jobs()[2].state, CopyJob::Left);
    EXPECT_EQ(window.jobs()[0].state, CopyJob::Left); // settled: not shown as under way
}

class CopiesInFlightStopped : public Trees {};

TEST_F(CopiesInFlightStopped, AbbrechenStopsWithinTheCopiesUnderWayAndLeavesEachOldOrComplete) {
    const Lines names = MakeCopies(t, 60);
    put("ziel/weg.txt", "weg", 8);
    SyncSession s = load(0, 4);
    // "Abbrechen" is pressed while eight copies wait for their flush and eight more wait
    // their turn; the eight go on once it was seen.
    MeetingOps ops;
    ops.meet = 1000;
    ListingRun shown;
    shown.stopWhen = [&] { return ops.inside() == 8; };
    shown.afterStop = [&] { ops.Release(); };
    const RunResult r = RunSynchronisation(s, ops, shown);
    EXPECT_TRUE(r.stoppedEarly);
    EXPECT_TRUE(r.failures.empty());
    EXPECT_EQ(r.copied, 8);
    int complete = 0;
    for (int i = 0; i < 60; ++i) {
        const std::string dst = t.path("ziel/" + names[i]);
        const std::string now = ReadFile(t.path("start/" + names[i]));
        if (fs::exists(dst) && ReadFile(dst) == now)
            ++complete;
        else if (i % 3 == 0)
            EXPECT_EQ(ReadFile(dst), "ALT") << names[i];
        else
            EXPECT_FALSE(fs::exists(dst)) << names[i];
    }
    EXPECT_EQ(complete, r.copied);
    EXPECT_TRUE(fs::exists(t.path("ziel/weg.txt"))); // no deletions after "Abbrechen"
    EXPECT_TRUE(TemporaryFiles(t.root()).empty());
}

// On a local disk: the first batch's flush waits until the run has opened all `files` copies to
// be written, those of the next batch too, and what the target shows by then and at the
// second flush is counted. With `failFirst`
// the first flush fails as on a disk that lost its data.
class FlushBehindOps : public FailingOps {
public:
    std::string target;
    int files = 0;
    bool failFirst = false;
    std::atomic<int> writes{0}; // files opened to be written
    int flushes = 0;            // on the flushing thread only
    bool overlapped = false;
    std::size_t namedAtFirst = 0, namedAtSecond = 0;

    FlushBehindOps() { fileSystemType = 0xEF53; }

    int OpenAt(int d, const std::string& n, int f, std::uint32_t m, int& fd) override {
        if ((f & O_ACCMODE) != O_RDONLY)
            ++writes;
        return FailingOps::OpenAt(d, n, f, m, fd);
    }
    int SyncFileSystemOf(int fd) override {
        ++flushes;
        if (flushes == 1) {
            namedAtFirst = Named();
            for (int waited = 0; waited < 20000 && writes < files; ++waited)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            overlapped = writes >= files;
            if (failFirst)
                return ++fileSystemSyncs, EIO;
        } else if (flushes == 2) {
            namedAtSecond = Named();
        }
        return FailingOps::SyncFileSystemOf(fd);
    }

private:
    std::size_t Named() const {
        std::error_code ec;
        return std::distance(fs::directory_iterator(target, ec), fs::directory_iterator());
    }
};

class FlushBehind : public Trees {};

TEST_F(FlushBehind, ABatchIsFlushedWhileTheNextIsWrittenAndNamedOnlyOnceFlushed) {
    // More files than one batch holds, in one folder: two batches.
    if (platform::OpenFilesAllowed() / 4 < CopyBatch::kMaxFiles)
        GTEST_SKIP() << "the open-file limit makes the batches smaller";
    constexpr int kFiles = int(CopyBatch::kMaxFiles) + 52;
    for (int i = 0; i < kFiles; ++i)
        put("start/f" + std::to_string(i), std::to_string(i), 12);
    t.folder("ziel");
    for (const bool failFirst : {false, true}) {
        SCOPED_TRACE(failFirst);
        fs::remove_all(t.path("ziel"));
        t.folder("ziel");
        SyncSession s = load(0, 0);
        FlushBehindOps ops;
        ops.target = t.path("ziel");
        ops.files = kFiles;
        ops.failFirst = failFirst;
        RecordingRun view;
        const RunResult r = RunSynchronisation(s, ops, view);
        EXPECT_TRUE(ops.overlapped); // the next batch was written during the first flush
        EXPECT_EQ(ops.namedAtFirst, 0u);
        EXPECT_EQ(ops.flushes, 3); // two batches, then the names of the last
        const std::size_t named = std::distance(fs::directory_iterator(t.path("ziel")), {});
        if (failFirst) {
            // The first batch is never named and listed as failed; the second is copied.
            EXPECT_EQ(ops.namedAtSecond, 0u);
            EXPECT_GT(r.copied, 0);
            EXPECT_EQ(r.failures.size(), std::size_t(kFiles - r.copied));
            EXPECT_EQ(named, std::size_t(r.copied));
        } else {
            // The first batch was named once its flush returned, before the second's.
            EXPECT_GT(ops.namedAtSecond, 0u);
            EXPECT_LT(ops.namedAtSecond, std::size_t(kFiles));
            EXPECT_TRUE(r.failures.empty());
            EXPECT_EQ(r.copied, kFiles);
            EXPECT_EQ(named, std::size_t(kFiles));
        }
        for (const auto& e : fs::directory_iterator(t.path("ziel")))
            EXPECT_EQ(ReadFile(e.path()), e.path().filename().string().substr(1));
        EXPECT_TRUE(TemporaryFiles(t.root()).empty());
    }
}

} // namespace
