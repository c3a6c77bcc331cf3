#include "platform/failing_file_ops.h"
#include "platform/trash.h"
#include "temp_home.h"
#include "trash_test_support.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::MoveToTrash;

// Moves `name` of the test folder `folder` into the trash with the real calls.
int Trash(const TreeBuilder& t, const std::string& folder, const std::string& name) {
    OpenFolder dir(t.path(folder));
    return MoveToTrash(platform::RealFileOps(), dir.fd(), t.path(folder) + "/", name,
                       platform::CurrentTrashPlaces());
}

std::string InfoOf(const std::string& trashName) {
    return ReadFile(HomeTrash() + "/info/" + trashName + ".trashinfo");
}

TEST(TrashNames, PathsAreEncodedByteForByte) {
    EXPECT_EQ(platform::TrashPathEncode("/a b/caf\xe9.txt"), "/a%20b/caf%E9.txt");
    EXPECT_EQ(platform::TrashPathEncode("caf\xc3\xa9"), "caf%C3%A9");
    EXPECT_EQ(platform::TrashPathEncode("caf\xef\xbf\xbd"), "caf%EF%BF%BD");
    EXPECT_EQ(platform::TrashPathEncode("AZaz09-._~/%?#[]"), "AZaz09-._~/%25%3F%23%5B%5D");
}

TEST(TrashNames, VariantsKeepTheBytesAndTheExtension) {
    EXPECT_EQ(platform::TrashVariantName("brief.txt", 1), "brief.txt");
    EXPECT_EQ(platform::TrashVariantName("brief.txt", 2), "brief 2.txt");
    EXPECT_EQ(platform::TrashVariantName("caf\xe9.txt", 12), "caf\xe9 12.txt");
    EXPECT_EQ(platform::TrashVariantName(".profile", 3), ".profile 3");
    EXPECT_EQ(platform::TrashVariantName("ohne", 2), "ohne 2");
    // Names near the longest a folder entry takes are cut so that "<name>.trashinfo" fits,
    // and not inside a UTF-8 sequence.
    std::string longName;
    for (int i = 0; i < 125; ++i)
        longName += "\xc3\xa9";
    longName += ".txt";
    for (unsigned variant : {1u, 2u, 1000u}) {
        const std::string v = platform::TrashVariantName(longName, variant);
        EXPECT_LE(v.size() + 10, 255u) << variant;
        EXPECT_EQ(v.substr(v.size() - 4), ".txt");
        const std::size_t stem = v.find(variant > 1 ? ' ' : '.');
        EXPECT_EQ(stem % 2, 0u) << "cut inside a character, variant " << variant;
    }
}

TEST(HomeTrash, ANameThatIsNotUtf8IsTrashedAndNotItsTwin) {
    TempHome home;
    TreeBuilder t;
    t.text("ordner/caf\xe9.txt", "Latin-1");
    t.text("ordner/caf\xef\xbf\xbd.txt", "Ersatzzeichen");
    ASSERT_FALSE(fs::exists(home.path() + "/data"));

    ASSERT_EQ(Trash(t, "ordner", "caf\xe9.txt"), 0);
    EXPECT_FALSE(fs::exists(t.path("ordner/caf\xe9.txt")));
    EXPECT_EQ(ReadFile(t.path("ordner/caf\xef\xbf\xbd.txt")), "Ersatzzeichen");
    EXPECT_EQ(ReadFile(HomeTrash() + "/files/caf\xe9.txt"), "Latin-1");
    const std::string info = InfoOf("caf\xe9.txt");
    EXPECT_EQ(info.rfind("[Trash Info]\n", 0), 0u);
    const std::string path = InfoField(info, "Path");
    EXPECT_EQ(path, platform::TrashPathEncode(t.root()) + "/ordner/caf%E9.txt");
    EXPECT_EQ(PercentDecode(path), t.path("ordner/caf\xe9.txt"));
    EXPECT_TRUE(IsRecentDeletionDate(InfoField(info, "DeletionDate"))) << info;
    // The missing data folder and the trash are made private to the user.
    for (const char* folder : {"", "/Trash", "/Trash/files", "/Trash/info"})
        EXPECT_EQ(Mode(home.path() + "/data" + folder), 0700u) << folder;

    ASSERT_EQ(Trash(t, "ordner", "caf\xef\xbf\xbd.txt"), 0);
    EXPECT_EQ(ReadFile(HomeTrash() + "/files/caf\xef\xbf\xbd.txt"), "Ersatzzeichen");
    const std::string twin = InfoField(InfoOf("caf\xef\xbf\xbd.txt"), "Path");
    EXPECT_EQ(twin.substr(twin.size() - 16), "caf%EF%BF%BD.txt");
    EXPECT_EQ(ReadFile(HomeTrash() + "/files/caf\xe9.txt"), "Latin-1");
    EXPECT_TRUE(fs::is_empty(t.path("ordner")));
}

TEST(HomeTrash, EqualNamesFromTwoFoldersGetTwoTrashNamesAndALinkStaysALink) {
    TempHome home;
    TreeBuilder t;
    t.text("a/brief.txt", "aus a");
    t.text("b/brief.txt", "aus b");
    ASSERT_EQ(Trash(t, "a", "brief.txt"), 0);
    ASSERT_EQ(Trash(t, "b", "brief.txt"), 0);
    EXPECT_EQ(ReadFile(HomeTrash() + "/files/brief.txt"), "aus a");
    EXPECT_EQ(ReadFile(HomeTrash() + "/files/brief 2.txt"), "aus b");
    EXPECT_EQ(PercentDecode(InfoField(InfoOf("brief.txt"), "Path")), t.path("a/brief.txt"));
    EXPECT_EQ(PercentDecode(InfoField(InfoOf("brief 2.txt"), "Path")), t.path("b/brief.txt"));

    // A link goes to the trash as the link; what it leads to stays.
    t.link("a/verweis", t.path("b"));
    ASSERT_EQ(Trash(t, "a", "verweis"), 0);
    EXPECT_EQ(fs::read_symlink(HomeTrash() + "/files/verweis"), t.path("b"));
    EXPECT_TRUE(fs::is_directory(t.path("b")));
}

TEST(HomeTrash, ATrashThatIsALinkIsNotUsed) {
    TempHome home;
    TreeBuilder t;
    t.text("ordner/brief.txt", "bleibt");
    const std::string elsewhere = t.folder("anderswo");
    fs::create_directories(home.path() + "/data");
    fs::create_directory_symlink(elsewhere, HomeTrash());
    const int err = Trash(t, "ordner", "brief.txt");
    EXPECT_TRUE(err == ENOTDIR || err == ELOOP) << err; // the kernels differ

    EXPECT_EQ(ReadFile(t.path("ordner/brief.txt")), "bleibt");
    EXPECT_TRUE(fs::is_empty(elsewhere));
}

TEST(HomeTrash, ANameTrashedOftenCostsFewCallsEachTime) {
    TempHome home;
    TreeBuilder t;
    constexpr int kTimes = 300;
    int lastCalls = 0;
    for (int i = 0; i < kTimes; ++i) {
        const std::string folder = "o" + std::to_string(i);
        t.text(folder + "/index.html", folder);
        OpenFolder dir(t.path(folder));
        FailingOps counting; // fails nothing, counts the calls
        ASSERT_EQ(MoveToTrash(counting, dir.fd(), t.path(folder) + "/", "index.html",
                              platform::CurrentTrashPlaces()),
                  0);
        lastCalls = counting.calls;
    }
    EXPECT_LT(lastCalls, 60) << "names are searched one by one";
    std::set<std::string> origins;
    for (const auto& [name, info] : Entries(HomeTrash() + "/info")) {
        const std::string stem = name.substr(0, name.size() - 10); // "<stem>.trashinfo"
        const std::string origin = PercentDecode(InfoField(info, "Path"));
        EXPECT_EQ(ReadFile(HomeTrash() + "/files/" + stem),
                  fs::path(origin).parent_path().filename().string());
        origins.insert(origin);
    }
    EXPECT_EQ(origins.size(), std::size_t(kTimes));
}

class RefusesNoReplace : public FailingOps {
public:
    int RenameAt(int fd, const std::string& f, int td, const std::string& t, unsigned fl) override {
        return fl != 0 ? EINVAL : FailingOps::RenameAt(fd, f, td, t, fl);
    }
};

TEST(HomeTrash, AnEntryLyingInTheTrashWithoutDescriptionIsNotReplaced) {
    for (const bool noReplaceFlag : {true, false}) {
        TempHome home;
        TreeBuilder t;
        t.text("ordner/brief.txt", "neu");
        WriteFile(HomeTrash() + "/files/brief.txt", "verwaist");
        FailingOps plain;
        RefusesNoReplace older; // as on a file system without RENAME_NOREPLACE
        FailingOps& ops = noReplaceFlag ? plain : static_cast<FailingOps&>(older);
        OpenFolder dir(t.path("ordner"));
        ASSERT_EQ(MoveToTrash(ops, dir.fd(), t.path("ordner/"), "brief.txt",
                              platform::CurrentTrashPlaces()),
                  0);
        EXPECT_EQ(ReadFile(HomeTrash() + "/files/brief.txt"), "verwaist");
        EXPECT_EQ(ReadFile(HomeTrash() + "/files/brief 2.txt"), "neu");
        EXPECT_FALSE(fs::exists(HomeTrash() + "/info/brief.txt.trashinfo"));
        EXPECT_EQ(PercentDecode(InfoField(InfoOf("brief 2.txt"), "Path")),
                  t.path("ordner/brief.txt"));
    }
}

TEST(HomeTrash, WrongNamesAndFoldersAreRefused) {
    TempHome home;
    TreeBuilder t;
    t.text("ordner/a", "a");
    OpenFolder dir(t.path("ordner"));
    const auto places = platform::CurrentTrashPlaces();
    auto& ops = platform::RealFileOps();
    for (const std::string& name :
         std::vector<std::string>{"", ".", "..", "x/a", std::string("a\0b", 3)})
        EXPECT_EQ(MoveToTrash(ops, dir.fd(), t.path("ordner/"), name, places), EINVAL) << name;
    EXPECT_EQ(MoveToTrash(ops, dir.fd(), "ordner/", "a", places), EINVAL);
    EXPECT_EQ(MoveToTrash(ops, dir.fd(), t.path("ordner/"), "fehlt", places), ENOENT);
    EXPECT_EQ(ReadFile(t.path("ordner/a")), "a");
    EXPECT_FALSE(fs::exists(HomeTrash() + "/info"));
}

} // namespace
