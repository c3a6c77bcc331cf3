#include "platform/failing_file_ops.h"
#include "platform/trash.h"
#include "temp_home.h"
#include "trash_test_support.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <vector>

// Every call of a trash move made to fail in turn, once or for good: each entry ends up
// either in the trash with its description or untouched where it was, and nothing else
// changes.

namespace {

using platform::MoveAllToTrash;
using platform::MoveToTrash;

struct Case {
    bool persist;
    bool existingTrash; // the trash exists and already holds an entry of the same name
    bool many;          // several entries in one call
};

std::string Describe(const Case& c, int n) {
    return std::string(c.persist ? "persist" : "once") + (c.existingTrash ? ", trash" : "") +
           (c.many ? ", many" : "") + ", n=" + std::to_string(n);
}

class TrashFailures : public ::testing::TestWithParam<Case> {};

TEST_P(TrashFailures, EachEntryIsInTheTrashOrUntouched) {
    const Case c = GetParam();
    const std::vector<std::string> names =
        c.many ? std::vector<std::string>{"caf\xe9.txt", "caf\xef\xbf\xbd.txt", "verweis"}
               : std::vector<std::string>{"caf\xe9.txt"};
    int runsWithFailure = 0;
    for (int n = 1; n < 500; ++n) {
        TempHome home;
        TreeBuilder t;
        t.text("ordner/caf\xe9.txt", "Latin-1");
        t.text("ordner/caf\xef\xbf\xbd.txt", "Ersatz");
        t.text("ordner/bleibt.txt", "bleibt");
        t.link("ordner/verweis", "bleibt.txt");
        if (c.existingTrash) {
            WriteFile(HomeTrash() + "/files/caf\xe9.txt", "schon da");
            WriteFile(HomeTrash() + "/info/caf\xe9.txt.trashinfo",
                      "[Trash Info]\nPath=/alt/caf%E9.txt\nDeletionDate=2024-05-17T12:00:00\n");
        }
        const std::vector<std::pair<std::string, std::string>> roots = {{"home", home.path()},
                                                                        {"tree", t.root()}};
        const auto before = Snapshot(roots);

        FailingOps ops;
        ops.failAt = n;
        ops.persist = c.persist;
        ops.error = n % 2 == 0 ? ENOSPC : EIO;
        std::vector<int> errors;
        {
            OpenFolder dir(t.path("ordner"));
            const auto places = platform::CurrentTrashPlaces();
            if (c.many)
                MoveAllToTrash(ops, dir.fd(), t.path("ordner/"), names, places, errors);
            else
                errors = {MoveToTrash(ops, dir.fd(), t.path("ordner/"), names[0], places)};
        }
        std::vector<TrashAttempt> attempts;
        for (std::size_t i = 0; i < names.size(); ++i)
            attempts.push_back(
                {"tree/ordner/" + names[i], t.path("ordner/" + names[i]), errors[i]});
        const auto after = Snapshot(roots);
        const int failed = int(names.size()) - int(std::count(errors.begin(), errors.end(), 0));
        EXPECT_EQ(TrashOutcomeProblem(before, after, attempts, ops.error, c.persist ? failed : 0),
                  "")
            << Describe(c, n);
        if (!ops.failed) {
            EXPECT_EQ(std::count(errors.begin(), errors.end(), 0), long(names.size()));
            break; // n lies beyond the last call
        }
        ++runsWithFailure;
        if (!c.persist)
            continue;
        // Once the disk works again, what a failure left does not stand in the way.
        for (TrashAttempt& a : attempts)
            a.error = 0;
        {
            OpenFolder dir(t.path("ordner"));
            std::vector<int> again;
            std::vector<std::string> left;
            for (std::size_t i = 0; i < names.size(); ++i) {
                if (errors[i] != 0)
                    left.push_back(names[i]);
            }
            MoveAllToTrash(platform::RealFileOps(), dir.fd(), t.path("ordner/"), left,
                           platform::CurrentTrashPlaces(), again);
            EXPECT_EQ(std::count(again.begin(), again.end(), 0), long(left.size()))
                << Describe(c, n);
        }
        const auto restored = Snapshot(roots);
        EXPECT_EQ(TrashOutcomeProblem(before, restored, attempts, 0, failed), "") << Describe(c, n);
    }
    EXPECT_GT(runsWithFailure, c.many ? 20 : 10);
}

// Records the calls that matter for a crash in the middle: what reaches the disk before
// the entry moves.
class RecordingOps : public platform::FileOps {
public:
    int OpenAt(int d, const std::string& n, int f, mode_t m, int& fd) override {
        const int err = FileOps::OpenAt(d, n, f, m, fd);
        if (err == 0 && (f & O_CREAT) != 0)
            log.push_back("create " + n);
        return err;
    }
    int Fsync(int fd) override {
        log.push_back("fsync");
        return FileOps::Fsync(fd);
    }
    int SyncFileSystemOf(int fd) override {
        log.push_back("syncfs");
        return FileOps::SyncFileSystemOf(fd);
    }
    int RenameAt(int fd, const std::string& f, int td, const std::string& t, unsigned fl) override {
        log.push_back("rename " + f);
        return FileOps::RenameAt(fd, f, td, t, fl);
    }
    std::vector<std::string> log;
};

TEST(TrashFailure, DescriptionsReachTheDiskBeforeTheEntriesMove) {
    TempHome home;
    TreeBuilder t;
    t.text("ordner/a", "a");
    t.text("ordner/b", "b");
    t.text("ordner/c", "c");
    OpenFolder dir(t.path("ordner"));
    RecordingOps one;
    ASSERT_EQ(MoveToTrash(one, dir.fd(), t.path("ordner/"), "a", platform::CurrentTrashPlaces()),
              0);
    EXPECT_EQ(one.log, (std::vector<std::string>{"create a.trashinfo", "fsync", "rename a"}));
    RecordingOps many;
    std::vector<int> errors;
    MoveAllToTrash(many, dir.fd(), t.path("ordner/"), {"b", "c"}, platform::CurrentTrashPlaces(),
                   errors);
    EXPECT_EQ(many.log, (std::vector<std::string>{"create b.trashinfo", "create c.trashinfo",
                                                  "syncfs", "rename b", "rename c"}));
}

INSTANTIATE_TEST_SUITE_P(OnceOrForGood, TrashFailures,
                         ::testing::Values(Case{false, false, false}, Case{false, true, false},
                                           Case{false, false, true}, Case{false, true, true},
                                           Case{true, false, false}, Case{true, true, false},
                                           Case{true, false, true}, Case{true, true, true}));

} // namespace
