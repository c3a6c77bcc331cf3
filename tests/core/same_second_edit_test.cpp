// A file edited after the load within the same second, keeping its size, is neither replaced
// nor deleted: its whole-second time and size are what the load saw, only the exact times or
// its inode tell.
#include "run_test_support.h"

#include <fcntl.h>

namespace {

const std::string kChanged = "Die Zieldatei wurde nach dem Laden geändert.";

struct timespec ChangeTime(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0);
    return st.st_ctim;
}

bool Before(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// The ways an editor saves a file of the same size at the same whole second.
enum class Edit {
    InPlaceOtherNanoseconds, // written in place; the time's fraction differs
    InPlaceTimePutBack,      // written in place, the time then set back exactly: only the
                             // change time tells
    WrittenAnewAndRenamed,   // a new file with the old time renamed over it: another inode
};

class SameSecondEdit : public Trees {
protected:
    // The file system stamps change times from a coarse clock: wait until it has moved past
    // the files of the tree, so that an edit gets a change time of its own.
    void waitForTheClock(const std::string& path) {
        const std::string probe = t.path("uhr");
        const timespec before = ChangeTime(path);
        do {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            WriteFile(probe, "tick");
        } while (!Before(before, ChangeTime(probe)));
    }

    // `path` gets `content` (as long as what it held) at exactly the time it had.
    void edit(const std::string& path, const std::string& content, Edit how) {
        waitForTheClock(path);
        struct stat st {};
        ASSERT_EQ(::lstat(path.c_str(), &st), 0);
        timespec times[2] = {st.st_mtim, st.st_mtim};
        std::string written = path;
        if (how == Edit::WrittenAnewAndRenamed)
            written += ".neu";
        WriteFile(written, content);
        if (how == Edit::InPlaceOtherNanoseconds)
            times[0].tv_nsec = times[1].tv_nsec = (st.st_mtim.tv_nsec + 500000000) % 1000000000;
        ASSERT_EQ(::utimensat(AT_FDCWD, written.c_str(), times, 0), 0);
        if (how == Edit::WrittenAnewAndRenamed) {
            ASSERT_EQ(::rename(written.c_str(), path.c_str()), 0);
        }
        struct stat now {};
        ASSERT_EQ(::lstat(path.c_str(), &now), 0);
        ASSERT_EQ(now.st_mtim.tv_sec, st.st_mtim.tv_sec);
        ASSERT_EQ(now.st_size, st.st_size);
    }
};

const Edit kEdits[] = {Edit::InPlaceOtherNanoseconds, Edit::InPlaceTimePutBack,
                       Edit::WrittenAnewAndRenamed};

// Rule 4 moves to the trash, rule 5 deletes for good.
class SameSecondDelete : public SameSecondEdit, public ::testing::WithParamInterface<int> {};

TEST_P(SameSecondDelete, AnEditedTargetOnlyFileStays) {
    const std::string untouched = put("ziel/alt.txt", "CCCCCCCCCCCCCCCC", 8);
    std::vector<std::string> edited;
    for (int i = 0; i < 3; ++i)
        edited.push_back(put("ziel/entwurf" + std::to_string(i) + ".txt", "AAAAAAAAAAAAAAAA", 8));
    SyncSession s = load(0, GetParam());
    ASSERT_EQ(s.DeleteList.size(), 4u);
    for (int i = 0; i < 3; ++i)
        edit(edited[i], "BBBBBBBBBBBBBBBB", kEdits[i]);
    EXPECT_EQ(run(s).deleted(), 1u);
    EXPECT_FALSE(fs::exists(untouched));
    for (const std::string& path : edited)
        EXPECT_EQ(ReadFile(path), "BBBBBBBBBBBBBBBB") << path;
    EXPECT_EQ(failed(), (Lines{"ziel/entwurf0.txt: " + kChanged, "ziel/entwurf1.txt: " + kChanged,
                               "ziel/entwurf2.txt: " + kChanged}));
}

INSTANTIATE_TEST_SUITE_P(TrashOrForGood, SameSecondDelete, ::testing::Values(4, 5));

// With unnamed temporary files, or with named ones as where the file system has none.
class SameSecondCopy : public SameSecondEdit, public ::testing::WithParamInterface<bool> {};

TEST_P(SameSecondCopy, AnEditedDestinationIsNotOverwrittenEitherWay) {
    // Copied to the target: the start files are newer; copied back: the target files are.
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i);
        put("start/hin" + n + ".txt", "vom Start", 12);
        put("ziel/hin" + n + ".txt", "AAAAAAAAAAAAAAAA", 8);
        put("start/her" + n + ".txt", "AAAAAAAAAAAAAAAA", 8);
        put("ziel/her" + n + ".txt", "vom Ziel", 12);
    }
    put("start/hin_frei.txt", "vom Start", 12);
    put("ziel/hin_frei.txt", "AAAAAAAAAAAAAAAA", 8);
    SyncSession s = load(0, 1);
    ASSERT_EQ(s.CopyList.size(), 7u);
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i);
        edit(t.path("ziel/hin" + n + ".txt"), "BBBBBBBBBBBBBBBB", kEdits[i]);
        edit(t.path("start/her" + n + ".txt"), "BBBBBBBBBBBBBBBB", kEdits[i]);
    }
    FailingOps ops; // fails nothing
    ops.noUnnamedFiles = GetParam();
    EXPECT_TRUE(run(s, ops).anyCopyFailed());
    EXPECT_EQ(ReadFile(t.path("ziel/hin_frei.txt")), "vom Start");
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_EQ(ReadFile(t.path("ziel/hin" + n + ".txt")), "BBBBBBBBBBBBBBBB") << i;
        EXPECT_EQ(ReadFile(t.path("start/her" + n + ".txt")), "BBBBBBBBBBBBBBBB") << i;
    }
    EXPECT_EQ(failed(), (Lines{"ziel/hin0.txt: " + kChanged, "ziel/hin1.txt: " + kChanged,
                               "ziel/hin2.txt: " + kChanged, "start/her0.txt: " + kChanged,
                               "start/her1.txt: " + kChanged, "start/her2.txt: " + kChanged}));
    EXPECT_TRUE(TemporaryFiles(t.root()).empty());
}

INSTANTIATE_TEST_SUITE_P(NamedOrUnnamedTemporaryFiles, SameSecondCopy, ::testing::Bool());

} // namespace
