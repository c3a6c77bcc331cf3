// Entries moved into the trash: where they land, under which names, with which description,
// and which trash folders are not used.
#include "trash_test_support.h"

#include <functional>

namespace {

using Contents = std::map<std::string, std::string>;

TEST(TrashNames, PathsAreEncodedByteForByteAndVariantsKeepTheExtension) {
    EXPECT_EQ(platform::TrashPathEncode("/a b/caf\xe9.txt"), "/a%20b/caf%E9.txt");
    EXPECT_EQ(platform::TrashPathEncode("AZaz09-._~/%?#[]"), "AZaz09-._~/%25%3F%23%5B%5D");
    EXPECT_EQ(platform::TrashVariantName("brief.txt", 1), "brief.txt");
    EXPECT_EQ(platform::TrashVariantName("caf\xe9.txt", 12), "caf\xe9 12.txt");
    EXPECT_EQ(platform::TrashVariantName("ohne", 2), "ohne 2");
    // Names near the longest a folder entry takes are cut so that "<name>.trashinfo" fits,
    // and not inside a UTF-8 sequence.
    std::string longName;
    for (int i = 0; i < 125; ++i)
        longName += "\xc3\xa9";
    for (unsigned variant : {1u, 2u, 1000u}) {
        const std::string v = platform::TrashVariantName(longName + ".txt", variant);
        EXPECT_LE(v.size() + 10, 255u) << variant;
        EXPECT_EQ(v.substr(v.size() - 4), ".txt");
        EXPECT_EQ(v.find(variant > 1 ? ' ' : '.') % 2, 0u) << "cut in a character: " << variant;
    }
}

// The user's trash below the temporary home.
class UsersTrash : public ::testing::Test {
protected:
    TempHome home;
    TreeBuilder t;

    // Moves `name` of the test folder `folder` into the trash.
    int trash(const std::string& folder, const std::string& name,
              platform::FileOps& ops = platform::RealFileOps()) {
        OpenFolder dir(t.path(folder));
        return platform::MoveToTrash(ops, dir.fd(), t.path(folder) + "/", name,
                                     platform::CurrentTrashPlaces());
    }
    // Where the description of `trashName` says the entry came from.
    static std::string origin(const std::string& trashName) {
        return PercentDecode(
            InfoField(ReadFile(HomeTrash() + "/info/" + trashName + ".trashinfo"), "Path"));
    }
};

TEST_F(UsersTrash, EntriesKeepTheirBytesAndEqualNamesGetVariantsInAPrivateTrash) {
    t.text("a/caf\xe9.txt", "Latin-1");
    t.text("a/caf\xef\xbf\xbd.txt", "Ersatz"); // its twin in a UTF-8 reading
    t.text("b/caf\xe9.txt", "aus b");
    t.link("a/verweis", t.path("b"));
    ASSERT_FALSE(fs::exists(home.path() + "/data"));
    for (const auto& [folder, name] : std::vector<std::pair<std::string, std::string>>{
             {"a", "caf\xe9.txt"}, {"b", "caf\xe9.txt"}, {"a", "caf\xef\xbf\xbd.txt"}})
        ASSERT_EQ(trash(folder, name), 0) << folder << "/" << name;
    ASSERT_EQ(trash("a", "verweis"), 0); // a link goes as the link
    EXPECT_EQ(Entries(HomeTrash() + "/files"), (Contents{{"caf\xe9.txt", "Latin-1"},
                                                         {"caf\xe9 2.txt", "aus b"},
                                                         {"caf\xef\xbf\xbd.txt", "Ersatz"},
                                                         {"verweis", "-> " + t.path("b")}}));
    EXPECT_TRUE(fs::is_empty(t.path("a")) && fs::is_empty(t.path("b")));
    const std::string info = ReadFile(HomeTrash() + "/info/caf\xe9.txt.trashinfo");
    // Its form and date, the failure tests check for every entry moved.
    EXPECT_EQ(InfoField(info, "Path"), platform::TrashPathEncode(t.root()) + "/a/caf%E9.txt");
    EXPECT_EQ(origin("caf\xe9 2.txt"), t.path("b/caf\xe9.txt"));
    // The missing data folder and the trash are made private to the user.
    for (const char* folder : {"", "/Trash", "/Trash/files", "/Trash/info"})
        EXPECT_EQ(Mode(home.path() + "/data" + folder), 0700u) << folder;
}

// As on a file system that cannot refuse to replace a name while renaming.
class RefusesNoReplace : public FailingOps {
public:
    int RenameAt(int fd, const std::string& f, int td, const std::string& t, unsigned fl) override {
        return fl != 0 ? EINVAL : FailingOps::RenameAt(fd, f, td, t, fl);
    }
};

TEST_F(UsersTrash, AnEntryLyingInTheTrashWithoutDescriptionIsNotReplaced) {
    FailingOps plain;
    RefusesNoReplace older;
    for (FailingOps* ops : {&plain, static_cast<FailingOps*>(&older)}) {
        fs::remove_all(home.path() + "/data");
        t.text("ordner/brief.txt", "neu");
        WriteFile(HomeTrash() + "/files/brief.txt", "verwaist");
        ASSERT_EQ(trash("ordner", "brief.txt", *ops), 0);
        EXPECT_EQ(Entries(HomeTrash() + "/files"),
                  (Contents{{"brief.txt", "verwaist"}, {"brief 2.txt", "neu"}}));
        EXPECT_FALSE(fs::exists(HomeTrash() + "/info/brief.txt.trashinfo"));
        EXPECT_EQ(origin("brief 2.txt"), t.path("ordner/brief.txt"));
    }
}

TEST_F(UsersTrash, WrongNamesAndFoldersAreRefused) {
    t.text("ordner/a", "a");
    OpenFolder dir(t.path("ordner"));
    const auto places = platform::CurrentTrashPlaces();
    auto& ops = platform::RealFileOps();
    for (const std::string& name : Lines{"", ".", "..", "x/a", std::string("a\0b", 3)})
        EXPECT_EQ(platform::MoveToTrash(ops, dir.fd(), t.path("ordner/"), name, places), EINVAL);
    EXPECT_EQ(platform::MoveToTrash(ops, dir.fd(), "ordner/", "a", places), EINVAL); // relative
    EXPECT_EQ(platform::MoveToTrash(ops, dir.fd(), t.path("ordner/"), "fehlt", places), ENOENT);
    EXPECT_EQ(ReadFile(t.path("ordner/a")), "a");
    EXPECT_FALSE(fs::exists(HomeTrash() + "/info"));
}

TEST_F(UsersTrash, DescriptionsReachTheDiskBeforeTheEntriesMove) {
    for (const char* name : {"a", "b", "c"})
        t.text(std::string("ordner/") + name, name);
    CallLog one, many;
    ASSERT_EQ(trash("ordner", "a", one), 0);
    EXPECT_EQ(one.log, (Lines{"create a.trashinfo", "fsync", "rename a"}));
    // Many entries share one flush of the file system.
    std::vector<int> errors;
    OpenFolder dir(t.path("ordner"));
    platform::MoveAllToTrash(many, dir.fd(), t.path("ordner/"), {"b", "c"},
                             platform::CurrentTrashPlaces(), errors);
    EXPECT_EQ(many.log, (Lines{"create b.trashinfo", "create c.trashinfo", "syncfs", "rename b",
                               "rename c"}));
}

// Entries on a file system other than the user's data folder go to the trash at the top of
// their own file system; here a tmpfs of its own at "<tree>/platte". A user's trash there that
// is a link or someone else's, and a shared trash that is a link, are not used; the user's
// parts are private. Which of a shared trash with and without the sticky bit is used,
// trash_failures_test shows.
TEST(TopTrash, LinksAndOtherUsersTrashesAreNotUsedAndTheUsersPartsArePrivate) {
    TempHome home;
    TreeBuilder t;
    const std::string disk = t.folder("platte"), shared = disk + "/.Trash";
    const uid_t uid = ::geteuid();
    const std::string own = disk + "/.Trash-" + std::to_string(uid);
    const auto trash = [&](const std::string& name, uid_t as) {
        OpenFolder dir(disk + "/unter");
        platform::TrashPlaces places = platform::CurrentTrashPlaces();
        places.uid = as;
        return platform::MoveToTrash(platform::RealFileOps(), dir.fd(), disk + "/unter/", name,
                                     places);
    };
    EXPECT_EQ(WithSmallDisk(disk, 16 << 20,
                            [&] {
                                for (const char* name : {"a", "b", "c"})
                                    WriteFile(disk + "/unter/" + name, name);
                                // The user's trash is a link to a folder of the user's own, and
                                // that of user 4243 a real folder that belongs to this test's user
                                // (the trash in the data folder is opened the same way).
                                fs::create_directory(disk + "/fremd");
                                fs::create_directory_symlink("fremd", own);
                                fs::create_directory(disk + "/.Trash-4243");
                                const auto before = Entries(disk);
                                const int err = trash("c", uid);
                                EXPECT_TRUE(err == ENOTDIR || err == ELOOP) << err;
                                EXPECT_EQ(trash("c", 4243), EPERM);
                                EXPECT_EQ(Entries(disk), before);
                                EXPECT_TRUE(fs::is_empty(disk + "/fremd") &&
                                            fs::is_empty(disk + "/.Trash-4243"));
                                // A shared trash that is a link, even to a folder with the sticky
                                // bit, could lead anywhere.
                                fs::remove(own);
                                fs::create_directory(disk + "/woanders");
                                ::chmod((disk + "/woanders").c_str(), 01777);
                                fs::create_directory_symlink("woanders", shared);
                                EXPECT_EQ(trash("a", uid), 0);
                                EXPECT_EQ(ReadFile(own + "/files/a"), "a");
                                EXPECT_TRUE(!fs::is_symlink(own) && Mode(own) == 0700u);
                                EXPECT_TRUE(fs::is_empty(disk + "/woanders"));
                                // A real folder with the sticky bit gets the user's own part in it.
                                fs::remove(shared);
                                fs::create_directory(shared);
                                ::chmod(shared.c_str(), 01777);
                                EXPECT_EQ(trash("b", uid), 0);
                                const std::string part = shared + "/" + std::to_string(uid);
                                // The path is relative to the top of the disk.
                                EXPECT_EQ(InfoField(ReadFile(part + "/info/b.trashinfo"), "Path"),
                                          "unter/b");
                                EXPECT_TRUE(Mode(part) == 0700u && !fs::exists(HomeTrash()));
                                return HasFailure();
                            }),
              0);
}

} // namespace
