// Every call of a trash move made to fail in turn, once or for good: each entry ends up
// either in the trash with its description or untouched where it was, and nothing else
// changes; once the disk works again, what a failure left does not stand in the way.
#include "trash_test_support.h"

#include <algorithm>
#include <functional>

namespace {

using Roots = std::vector<std::pair<std::string, std::string>>;

// The entries of "ordner" that go to the trash, in this order; a file they do not include
// stays beside them.
const std::vector<std::string> kNames = {"caf\xe9.txt", "caf\xef\xbf\xbd.txt", "verweis"};

// Empties `dir` and makes the entries in `dir`/ordner afresh.
void MakeEntries(const std::string& dir) {
    for (const auto& e : fs::directory_iterator(dir))
        fs::remove_all(e.path());
    WriteFile(dir + "/ordner/caf\xe9.txt", "Latin-1");
    WriteFile(dir + "/ordner/caf\xef\xbf\xbd.txt", "Ersatz");
    WriteFile(dir + "/ordner/bleibt.txt", "bleibt");
    fs::create_symlink("bleibt.txt", dir + "/ordner/verweis");
}

std::vector<int> Move(platform::FileOps& ops, const std::string& dir, const Lines& names) {
    OpenFolder folder(dir + "/ordner");
    std::vector<int> errors;
    platform::MoveAllToTrash(ops, folder.fd(), dir + "/ordner/", names,
                             platform::CurrentTrashPlaces(), errors);
    return errors;
}

// Moves the first `count` entries of <roots[0]>/ordner into the trash with call n failing,
// for n = 1, 2, … until no call fails, after `prepare` made everything afresh; checks the
// outcome on all roots. The descriptions must name the entries as `pathPrefix` + name.
// Returns how many moves met a failure.
int FailEachCall(const Roots& roots, std::size_t count, bool persist,
                 const std::function<void()>& prepare, const std::string& pathPrefix) {
    const std::string dir = roots[0].second;
    const Lines names(kNames.begin(), kNames.begin() + count);
    for (int n = 1; n < 500; ++n) {
        prepare();
        const auto before = Snapshot(roots);
        FailingOps ops;
        ops.failAt = n;
        ops.persist = persist;
        ops.error = n % 2 == 0 ? ENOSPC : EIO;
        const std::vector<int> errors = Move(ops, dir, names);
        std::vector<TrashAttempt> attempts;
        Lines left;
        for (std::size_t i = 0; i < count; ++i) {
            attempts.push_back(
                {roots[0].first + "/ordner/" + names[i], pathPrefix + names[i], errors[i]});
            if (errors[i] != 0)
                left.push_back(names[i]);
        }
        const int failed = int(left.size());
        EXPECT_EQ(
            TrashOutcomeProblem(before, Snapshot(roots), attempts, ops.error, persist ? failed : 0),
            "")
            << "n=" << n;
        if (!ops.failed)
            return n - 1;
        if (!persist)
            continue;
        const std::vector<int> again = Move(platform::RealFileOps(), dir, left);
        EXPECT_EQ(std::count(again.begin(), again.end(), 0), failed) << "n=" << n;
        for (TrashAttempt& a : attempts)
            a.error = 0;
        EXPECT_EQ(TrashOutcomeProblem(before, Snapshot(roots), attempts, 0, failed), "")
            << "again, n=" << n;
    }
    ADD_FAILURE() << "a move that never ends without a failure";
    return 0;
}

// Once or for good; with the trash there and already holding an entry of the same name; of
// one entry or three.
class UsersTrashFailures : public ::testing::TestWithParam<std::tuple<bool, bool, std::size_t>> {};

TEST_P(UsersTrashFailures, EachEntryIsInTheTrashOrUntouched) {
    const auto [persist, existingTrash, count] = GetParam();
    TempHome home;
    TreeBuilder t;
    const auto prepare = [&] {
        MakeEntries(t.root());
        fs::remove_all(home.path() + "/data");
        if (existingTrash) {
            WriteFile(HomeTrash() + "/files/caf\xe9.txt", "schon da");
            WriteFile(HomeTrash() + "/info/caf\xe9.txt.trashinfo",
                      "[Trash Info]\nPath=/alt/caf%E9.txt\nDeletionDate=2024-05-17T12:00:00\n");
        }
    };
    EXPECT_GT(FailEachCall({{"tree", t.root()}, {"home", home.path()}}, count, persist, prepare,
                           t.root() + "/ordner/"),
              count > 1 ? 20 : 10);
}

INSTANTIATE_TEST_SUITE_P(OnceOrForGood, UsersTrashFailures,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool(),
                                            ::testing::Values(1u, 3u)));

TEST(TopTrashFailures, EachEntryIsInTheTrashAtTheTopOfItsDiskOrUntouched) {
    TempHome home;
    TreeBuilder t;
    const std::string disk = t.folder("platte");
    const int code = WithSmallDisk(disk, 16 << 20, [&] {
        // A shared trash without the sticky bit is not used: anyone could remove another
        // user's part of it.
        for (const bool sticky : {false, true}) {
            for (const bool persist : {false, true}) {
                const auto prepare = [&] {
                    MakeEntries(disk);
                    fs::create_directory(disk + "/.Trash");
                    ::chmod((disk + "/.Trash").c_str(), sticky ? 01777 : 0777);
                };
                EXPECT_GT(FailEachCall({{"disk", disk}, {"data", home.path() + "/data"}}, 3,
                                       persist, prepare, "ordner/"),
                          20)
                    << "sticky " << sticky << ", persist " << persist;
                // The last move met no failure: its entries lie in the trash meant for them.
                const std::string uid = std::to_string(::geteuid());
                const std::string trash = disk + (sticky ? "/.Trash/" : "/.Trash-") + uid;
                EXPECT_EQ(Snapshot({{"", trash + "/files"}}).size(), 3u) << trash;
            }
        }
        return HasFailure();
    });
    EXPECT_EQ(code, 0);
}

} // namespace
