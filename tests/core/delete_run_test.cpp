// The delete phase of a run: into the trash on raw name bytes or for good, with failures
// injected into any step, and flushed before the run reports that it is done.
#include "engine/compare_trees.h"
#include "fake_file_system.h"
#include "platform/failing_file_ops.h"
#include "run_test_support.h"
#include "trash_test_support.h"
#include "tree_builder.h"

#include <csignal>
#include <set>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(DeleteRun, ANameThatIsNotUtf8IsTrashedAndNotItsTwin) {
    TempHome home;
    TreeBuilder t;
    t.folder("start");
    const std::string latin = t.text("ziel/caf\xe9.txt", "latin", UnixTime(8, 0, 0));
    const std::string twin = t.text("ziel/caf\xef\xbf\xbd.txt", "twin", UnixTime(8, 0, 0));
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 4);
    ASSERT_EQ(s.DeleteList.size(), 2u);
    for (MyFile* f : s.DeleteList)
        f->Selected = f->Path() == latin;
    RecordingRun view;
    const RunResult r = RunSynchronisation(s, platform::RealFileOps(), view);
    EXPECT_EQ(r.deleted, 1u);
    EXPECT_TRUE(view.deleteFailures.empty());
    EXPECT_FALSE(fs::exists(latin));
    EXPECT_EQ(Content(twin), "twin");
    EXPECT_EQ(Content(HomeTrash() + "/files/caf\xe9.txt"), "latin");
    const std::string info = Content(HomeTrash() + "/info/caf\xe9.txt.trashinfo");
    EXPECT_EQ(PercentDecode(InfoField(info, "Path")), latin);
    EXPECT_NE(InfoField(info, "Path").find("caf%E9.txt"), std::string::npos);
}

// Every file of the target is either gone or listed with its reason, and nothing else is
// touched, whichever system call of the delete phase fails, once or for good.
void CheckEveryFailingCall(int reverse, bool persist) {
    int withFailure = 0;
    for (int n = 1;; ++n) {
        TempHome home;
        TreeBuilder t;
        t.text("start/bleibt.txt", "s", UnixTime(8, 0, 0));
        const std::vector<std::string> doomed = {t.text("ziel/a.txt", "1", UnixTime(8, 0, 0)),
                                                 t.text("ziel/b.txt", "2", UnixTime(8, 0, 0)),
                                                 t.text("ziel/tief/c.txt", "3", UnixTime(8, 0, 0))};
        const std::string kept = t.text("ziel/bleibt.txt", "s", UnixTime(8, 0, 0));
        SyncSession s = Load(t.path("start"), t.path("ziel"), 1, reverse);
        ASSERT_EQ(s.DeleteList.size(), 3u);
        FailingOps ops;
        ops.failAt = n;
        ops.persist = persist;
        ops.error = EIO;
        RecordingRun view;
        const RunResult r = RunSynchronisation(s, ops, view);
        if (!ops.failed) {
            EXPECT_EQ(r.deleted, 3u);
            break;
        }
        ++withFailure;
        std::set<std::string> left, listed;
        for (const std::string& p : doomed)
            if (fs::exists(p))
                left.insert(p);
        for (const DeleteFailure& f : view.deleteFailures) {
            listed.insert(f.path);
            EXPECT_EQ(f.reason, "Ein-/Ausgabefehler beim Zugriff auf den Datenträger.");
        }
        if (r.refused.empty())
            EXPECT_EQ(left, listed) << "n=" << n << " persist=" << persist;
        else
            EXPECT_EQ(left.size(), 3u);
        EXPECT_EQ(Content(kept), "s");
        EXPECT_EQ(Content(t.path("start/bleibt.txt")), "s");
    }
    EXPECT_GT(withFailure, 4);
}

TEST(DeleteRun, AnyFailingCallLeavesExactlyTheListedFiles) {
    for (int reverse : {4, 5})
        for (bool persist : {false, true})
            CheckEveryFailingCall(reverse, persist);
}

// Records the order of the calls that change names and of the flushes.
class OrderOps : public platform::FileOps {
public:
    std::vector<char> calls; // 'n' a new name or a removal, 's' a flush
    int LinkTempFileAt(int fd, int d, const std::string& n) override {
        calls.push_back('n');
        return FileOps::LinkTempFileAt(fd, d, n);
    }
    int RenameAt(int a, const std::string& f, int b, const std::string& t, unsigned fl) override {
        calls.push_back('n');
        return FileOps::RenameAt(a, f, b, t, fl);
    }
    int UnlinkAt(int d, const std::string& n, int f) override {
        calls.push_back('n');
        return FileOps::UnlinkAt(d, n, f);
    }
    int SyncFileSystemOf(int fd) override {
        calls.push_back('s');
        return FileOps::SyncFileSystemOf(fd);
    }
};

TEST(DeleteRun, EveryNameGivenOrRemovedIsFlushedBeforeTheRunEnds) {
    TreeBuilder t;
    t.text("start/neu.txt", "n", UnixTime(12, 0, 0));
    t.text("start/ersetzt.txt", "neu", UnixTime(12, 0, 0));
    t.text("ziel/ersetzt.txt", "alt", UnixTime(8, 0, 0));
    t.text("ziel/weg.txt", "w", UnixTime(8, 0, 0));
    SyncSession s = Load(t.path("start"), t.path("ziel"), 0, 5);
    OrderOps ops;
    RecordingRun view;
    const RunResult r = RunSynchronisation(s, ops, view);
    EXPECT_FALSE(r.anyCopyFailed);
    EXPECT_EQ(r.deleted, 1u);
    ASSERT_FALSE(ops.calls.empty());
    EXPECT_EQ(ops.calls.back(), 's');
    EXPECT_EQ(std::count(ops.calls.begin(), ops.calls.end(), 'n'), 4); // link, link+rename, unlink
    EXPECT_EQ(ops.calls.front(), 's'); // the data is on the disk before the first name
}

TEST(CopyBackDecisions, AStartFileWhoseTimeCannotBeReadIsNeverOverwritten) {
    // Read-only start files are left out of the scan, so the comparison has to examine the
    // counterpart itself, and that fails.
    TreeBuilder t;
    const std::string start = t.text("start/geschuetzt.txt", "start", UnixTime(8, 0, 0));
    ::chmod(start.c_str(), 0444);
    t.text("ziel/geschuetzt.txt", "ziel", UnixTime(12, 0, 0));
    for (int reverse : {1, 3}) {
        for (bool readable : {true, false}) {
            SyncSession s;
            s.StartPath = t.path("start");
            s.TargetPath = t.path("ziel");
            s.CurrentRule.CopyCondition = 1;
            s.CurrentRule.ReverseAction = reverse;
            s.CurrentRule.HiddenFiles = s.CurrentRule.SystemFiles = true;
            s.CurrentRule.IncludeSubfolders = true;
            FailingFileSystem fileSystem;
            if (!readable)
                fileSystem.failBelow(start, EACCES);
            SilentLoad view;
            ASSERT_TRUE(LoadFolders(s, fileSystem, view).compared);
            // Readable, the older start file is replaced by the newer target file.
            EXPECT_EQ(s.CopyList.size(), readable ? 1u : 0u) << reverse;
        }
    }
    EXPECT_EQ(Content(t.path("start/geschuetzt.txt")), "start");
}

void Ignore(int) {}

TEST(InterruptedCalls, AReadInterruptedByASignalIsRetried) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    struct sigaction action {};
    action.sa_handler = Ignore; // without SA_RESTART: the kernel answers EINTR
    struct sigaction old {};
    ::sigaction(SIGALRM, &action, &old);
    const itimerval every5ms{{0, 5000}, {0, 5000}};
    ::setitimer(ITIMER_REAL, &every5ms, nullptr);
    std::thread writer([&] {
        ::usleep(60000);
        ASSERT_EQ(::write(pipeFds[1], "x", 1), 1);
    });
    char c = 0;
    std::size_t got = 0;
    const int err = platform::RealFileOps().Read(pipeFds[0], &c, 1, got);
    const itimerval off{};
    ::setitimer(ITIMER_REAL, &off, nullptr);
    writer.join();
    ::sigaction(SIGALRM, &old, nullptr);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(got, 1u);
    EXPECT_EQ(c, 'x');
}

} // namespace

namespace {

TEST(DeleteRun, RootsGivenRelativeStillTrashUnderTheAbsolutePath) {
    TempHome home;
    TreeBuilder t;
    t.folder("start");
    const std::string doomed = t.text("ziel/o/a.txt", "a", UnixTime(8, 0, 0));
    const fs::path before = fs::current_path();
    fs::current_path(t.root());
    SyncSession s = Load("start", "ziel", 0, 4);
    RecordingRun view;
    const RunResult r = RunSynchronisation(s, platform::RealFileOps(), view);
    fs::current_path(before);
    EXPECT_EQ(r.deleted, 1u);
    EXPECT_TRUE(view.deleteFailures.empty());
    const std::string info = Content(HomeTrash() + "/info/a.txt.trashinfo");
    EXPECT_EQ(PercentDecode(InfoField(info, "Path")),
              fs::canonical(t.root()).string() + "/ziel/o/a.txt");
}

} // namespace
