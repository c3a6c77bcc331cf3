#include "platform/failing_file_ops.h"
#include "platform/trash.h"
#include "temp_home.h"
#include "trash_test_support.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

// Entries on a file system other than the user's data folder go to the trash at the top of
// their own file system. The tests run in a child process with a tmpfs of its own; the
// child reports the first thing that is wrong on stderr and exits with 1.

namespace {

namespace fs = std::filesystem;
using platform::MoveToTrash;

#define CHILD_CHECK(condition)                                                                     \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "line %d: %s\n", __LINE__, #condition);                           \
            return 1;                                                                              \
        }                                                                                          \
    } while (false)

int Trash(const std::string& folder, const std::string& name, uid_t uid) {
    OpenFolder dir(folder);
    platform::TrashPlaces places = platform::CurrentTrashPlaces();
    places.uid = uid;
    return MoveToTrash(platform::RealFileOps(), dir.fd(), folder + "/", name, places);
}

// Runs `body` on a tmpfs of its own at "<tree>/platte", with a temporary home elsewhere.
void OnOwnDisk(const std::function<int(const std::string& disk, uid_t uid)>& body) {
    TempHome home;
    TreeBuilder t;
    const std::string disk = t.folder("platte");
    EXPECT_EQ(WithOwnFileSystem(disk, [&] { return body(disk, ::geteuid()); }), 0);
}

TEST(TopTrash, IsMadeAtTheTopOfTheFileSystemWithRelativePaths) {
    OnOwnDisk([](const std::string& disk, uid_t uid) {
        const std::string own = disk + "/.Trash-" + std::to_string(uid);
        WriteFile(disk + "/unter/caf\xe9.txt", "tief");
        WriteFile(disk + "/oben.txt", "oben");
        CHILD_CHECK(Trash(disk + "/unter", "caf\xe9.txt", uid) == 0);
        CHILD_CHECK(ReadFile(own + "/files/caf\xe9.txt") == "tief");
        const std::string info = ReadFile(own + "/info/caf\xe9.txt.trashinfo");
        CHILD_CHECK(InfoField(info, "Path") == "unter/caf%E9.txt");
        CHILD_CHECK(IsRecentDeletionDate(InfoField(info, "DeletionDate")));
        CHILD_CHECK(!fs::is_symlink(own) && fs::is_directory(own) && Mode(own) == 0700);
        CHILD_CHECK(Trash(disk, "oben.txt", uid) == 0);
        CHILD_CHECK(InfoField(ReadFile(own + "/info/oben.txt.trashinfo"), "Path") == "oben.txt");
        CHILD_CHECK(!fs::exists(HomeTrash()));
        return 0;
    });
}

TEST(TopTrash, TheSharedTrashCountsOnlyAsARealFolderWithTheStickyBit) {
    OnOwnDisk([](const std::string& disk, uid_t uid) {
        const std::string own = disk + "/.Trash-" + std::to_string(uid);
        const std::string shared = disk + "/.Trash";
        for (const char* name : {"a", "b", "c"})
            WriteFile(disk + "/unter/" + name, name);
        // Without the sticky bit anyone could remove another user's part of it.
        fs::create_directory(shared);
        ::chmod(shared.c_str(), 0777);
        CHILD_CHECK(Trash(disk + "/unter", "a", uid) == 0);
        CHILD_CHECK(ReadFile(own + "/files/a") == "a");
        CHILD_CHECK(fs::is_empty(shared));
        // A link, even to a folder with the sticky bit, could lead anywhere.
        fs::remove(shared);
        fs::create_directory(disk + "/woanders");
        ::chmod((disk + "/woanders").c_str(), 01777);
        fs::create_directory_symlink("woanders", shared);
        CHILD_CHECK(Trash(disk + "/unter", "b", uid) == 0);
        CHILD_CHECK(ReadFile(own + "/files/b") == "b");
        CHILD_CHECK(fs::is_empty(disk + "/woanders"));
        // A real folder with the sticky bit gets the user's own part in it.
        fs::remove(shared);
        fs::create_directory(shared);
        ::chmod(shared.c_str(), 01777);
        CHILD_CHECK(Trash(disk + "/unter", "c", uid) == 0);
        const std::string part = shared + "/" + std::to_string(uid);
        CHILD_CHECK(ReadFile(part + "/files/c") == "c");
        CHILD_CHECK(InfoField(ReadFile(part + "/info/c.trashinfo"), "Path") == "unter/c");
        CHILD_CHECK(Mode(part) == 0700);
        CHILD_CHECK(!fs::exists(own + "/files/c"));
        return 0;
    });
}

TEST(TopTrash, AUsersTrashThatIsALinkOrSomeoneElsesIsNotUsed) {
    OnOwnDisk([](const std::string& disk, uid_t uid) {
        WriteFile(disk + "/unter/datei", "bleibt");
        // The user's trash is a link to a folder of the user's own, and that of user 4243 a
        // real folder that belongs to this test's user: neither is used, and nothing lands
        // where the link leads.
        fs::create_directory(disk + "/fremd");
        fs::create_directory_symlink("fremd", disk + "/.Trash-" + std::to_string(uid));
        fs::create_directory(disk + "/.Trash-4243");
        const auto before = Entries(disk);
        const int err = Trash(disk + "/unter", "datei", uid);
        CHILD_CHECK(err == ENOTDIR || err == ELOOP);
        CHILD_CHECK(fs::is_empty(disk + "/fremd"));
        CHILD_CHECK(Trash(disk + "/unter", "datei", 4243) == EPERM);
        CHILD_CHECK(fs::is_empty(disk + "/.Trash-4243"));
        CHILD_CHECK(Entries(disk) == before);
        return 0;
    });
}

TEST(TopTrash, EveryFailingCallLeavesTheEntryInTheTrashOrUntouched) {
    OnOwnDisk([](const std::string& disk, uid_t) {
        const std::string data = fs::path(HomeTrash()).parent_path().string();
        for (const bool withShared : {false, true}) {
            int runsWithFailure = 0;
            for (int n = 1; n < 200; ++n) {
                // Each run starts from an empty file system.
                for (const auto& e : fs::directory_iterator(disk))
                    fs::remove_all(e.path());
                if (withShared) {
                    fs::create_directory(disk + "/.Trash");
                    ::chmod((disk + "/.Trash").c_str(), 01777);
                }
                WriteFile(disk + "/unter/caf\xe9.txt", "Inhalt");
                WriteFile(disk + "/unter/bleibt", "bleibt");
                const std::vector<std::pair<std::string, std::string>> roots = {{"disk", disk},
                                                                                {"data", data}};
                const auto before = Snapshot(roots);
                FailingOps ops;
                ops.failAt = n;
                ops.error = EIO;
                int err = 0;
                {
                    OpenFolder dir(disk + "/unter");
                    err = MoveToTrash(ops, dir.fd(), disk + "/unter/", "caf\xe9.txt",
                                      platform::CurrentTrashPlaces());
                }
                const std::string problem = TrashOutcomeProblem(
                    before, Snapshot(roots), {{"disk/unter/caf\xe9.txt", "unter/caf\xe9.txt", err}},
                    EIO, 0);
                if (!problem.empty()) {
                    std::fprintf(stderr, "n=%d shared=%d: %s\n", n, withShared, problem.c_str());
                    return 1;
                }
                if (!ops.failed)
                    break;
                ++runsWithFailure;
            }
            CHILD_CHECK(runsWithFailure > 10);
        }
        return 0;
    });
}

} // namespace
