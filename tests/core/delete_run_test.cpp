// The delete phase of a run: after one question, into the trash on raw name bytes or for
// good, with failures injected into any step, and flushed before the run reports that it is
// done.
#include "run_test_support.h"
#include "trash_test_support.h"

#include <sys/time.h>

namespace {

class DeleteRun : public Trees {};

TEST_F(DeleteRun, DeletesOnlyTickedEntriesOnlyUnderDeleteRulesAndOnlyAfterYes) {
    for (int reverse = 0; reverse <= 5; ++reverse) {
        SCOPED_TRACE(reverse);
        fs::remove_all(start); // what a rule copied back
        fs::create_directory(start);
        for (const char* n : {"x", "y", "z"})
            put(std::string("ziel/") + n, n, 8);
        SyncSession s = load(0, reverse);
        view = RecordingRun();
        if (reverse >= 4) {
            ASSERT_EQ(s.DeleteList.size(), 3u);
            s.DeleteList[1]->Selected = false;
        }
        const RunResult r = run(s);
        if (reverse < 4) {
            EXPECT_TRUE(view.questions.empty());
            continue;
        }
        EXPECT_EQ(view.questions, (std::vector<std::pair<std::size_t, bool>>{{2, reverse == 4}}));
        EXPECT_EQ(r.deleted(), 2u);
        EXPECT_EQ(reverse == 4 ? r.trashed : r.deletedForGood, 2);
        // The sizes the load saw: "x" and "z", one byte each.
        EXPECT_EQ(reverse == 4 ? r.trashedBytes : r.deletedForGoodBytes, 2);
        EXPECT_EQ(reverse == 4 ? r.deletedForGoodBytes : r.trashedBytes, 0);
        EXPECT_EQ(Entries(target), (std::map<std::string, std::string>{{"y", "y"}}));
    }
    view.answer = false;
    SyncSession s = load(0, 5);
    EXPECT_TRUE(run(s).deleteDeclined);
    EXPECT_TRUE(fs::exists(t.path("ziel/y")));
}

TEST_F(DeleteRun, ANameThatIsNotUtf8IsTrashedAndNotItsTwin) {
    const std::string latin = put("ziel/caf\xe9.txt", "latin", 8);
    const std::string twin = put("ziel/caf\xef\xbf\xbd.txt", "twin", 8);
    SyncSession s = load(0, 4);
    ASSERT_EQ(s.DeleteList.size(), 2u);
    for (MyFile* f : s.DeleteList)
        f->Selected = f->Path() == latin;
    EXPECT_EQ(run(s).deleted(), 1u);
    EXPECT_FALSE(fs::exists(latin));
    EXPECT_EQ(ReadFile(twin), "twin");
    // Under which name and with which description, the trash's own tests show.
    EXPECT_EQ(ReadFile(HomeTrash() + "/files/caf\xe9.txt"), "latin");
}

TEST_F(DeleteRun, RootsGivenRelativeStillTrashUnderTheAbsolutePath) {
    put("ziel/o/a.txt", "a", 8);
    const fs::path before = fs::current_path();
    fs::current_path(t.root());
    SyncSession s = Load("start", "ziel", 0, 4);
    const RunResult r = run(s);
    fs::current_path(before);
    EXPECT_EQ(r.deleted(), 1u);
    EXPECT_EQ(PercentDecode(InfoField(ReadFile(HomeTrash() + "/info/a.txt.trashinfo"), "Path")),
              fs::canonical(t.root()).string() + "/ziel/o/a.txt");
}

TEST_F(DeleteRun, EveryNameGivenOrRemovedIsFlushedBeforeTheRunEndsAndJournaledBeforeThat) {
    put("start/neu.txt", "n", 12);
    put("start/ersetzt.txt", "neu", 12);
    put("ziel/ersetzt.txt", "alt", 8);
    put("ziel/weg.txt", "w", 8);
    SyncSession s = load(0, 5);
    CallLog ops;
    const RunResult r = run(s, ops);
    EXPECT_FALSE(r.anyCopyFailed());
    EXPECT_EQ(r.deleted(), 1u);
    for (std::string& call : ops.log) {
        if (call.find(platform::kTemporaryPrefix) != std::string::npos)
            call = call.substr(0, call.find(' ')) + " TMP";
        if (call.starts_with("create Gleichwart, alte Fassungen vom "))
            call = "create OLD.trashinfo"; // the old versions' folder in the trash, with a date
    }
    // The journal's records reach the disk before what they announce (with the copies' data
    // where they share a disk, on their own before the deletion), the data before the first
    // name given (the replaced file's old version linked into the trash, then the copy renamed
    // over it; the new file's link) or removed, and the names before the run ends.
    EXPECT_EQ(ops.log, (Lines{"create abgleich-0000000001.journal", "create OLD.trashinfo",
                              "syncfs", "link TMP", "hardlink ersetzt.txt", "rename TMP",
                              "link neu.txt", "syncfs", "fdatasync", "unlink weg.txt", "syncfs"}));
}

void Ignore(int) {}

TEST(InterruptedCalls, AReadInterruptedByASignalIsRetried) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    struct sigaction action {
    }, old{};
    action.sa_handler = Ignore; // without SA_RESTART: the kernel answers EINTR
    ::sigaction(SIGALRM, &action, &old);
    const itimerval every5ms{{0, 5000}, {0, 5000}}, off{};
    ::setitimer(ITIMER_REAL, &every5ms, nullptr);
    std::thread writer([&] {
        ::usleep(60000);
        EXPECT_EQ(::write(pipeFds[1], "x", 1), 1);
    });
    char c = 0;
    std::size_t got = 0;
    EXPECT_EQ(platform::RealFileOps().Read(pipeFds[0], &c, 1, got), 0);
    ::setitimer(ITIMER_REAL, &off, nullptr);
    writer.join();
    ::sigaction(SIGALRM, &old, nullptr);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    EXPECT_EQ(got, 1u);
    EXPECT_EQ(c, 'x');
}

} // namespace
