#include "platform/failing_file_ops.h"
#include "platform/trash.h"
#include "temp_home.h"
#include "trash_test_support.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <set>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::MoveAllToTrash;
using platform::MoveToTrash;

mode_t Mode(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

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

TEST(HomeTrash, EqualNamesFromTwoFoldersGetTwoTrashNames) {
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
}

TEST(HomeTrash, ALinkIsTrashedAsTheLink) {
    TempHome home;
    TreeBuilder t;
    const std::string target = t.text("ziel.txt", "bleibt");
    t.link("ordner/verweis", target);
    ASSERT_EQ(Trash(t, "ordner", "verweis"), 0);
    EXPECT_TRUE(fs::is_symlink(HomeTrash() + "/files/verweis"));
    EXPECT_EQ(fs::read_symlink(HomeTrash() + "/files/verweis"), target);
    EXPECT_EQ(ReadFile(target), "bleibt");
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

// Times 5,000 small files moved to the trash in one call against deleting them; the entries
// of a call share one flush, so the trash should cost no more than twice the deletion. One
// call per file flushes each description on its own and is timed on fewer files. Printed,
// not asserted: the figures depend on the disk and whatever else writes to it.
TEST(HomeTrash, ManyEntriesAtOnceAndTheirTime) {
    TempHome home;
    TreeBuilder t;
    constexpr int kCount = 5000;
    constexpr int kSingles = 500;
    // The user's trash exists, as it does after the first time (made before the files, as
    // the file system would otherwise place it among them and make it slower to fill).
    t.text("vorher/erste", "");
    ASSERT_EQ(Trash(t, "vorher", "erste"), 0);
    std::vector<std::string> names;
    for (int i = 0; i < kCount; ++i) {
        names.push_back("datei" + std::to_string(i) + ".txt");
        for (const char* folder : {"weg", "papierkorb"})
            t.text(std::string(folder) + "/" + names.back(), "klein");
        if (i < kSingles)
            t.text("einzeln/" + names.back(), "klein");
    }
    auto& ops = platform::RealFileOps();
    const auto places = platform::CurrentTrashPlaces();
    ::sync(); // from an idle disk
    using Clock = std::chrono::steady_clock;
    const auto us = [](Clock::duration d) {
        return std::chrono::duration<double, std::micro>(d).count();
    };
    OpenFolder gone(t.path("weg"));
    auto start = Clock::now();
    for (const std::string& name : names)
        ASSERT_EQ(ops.UnlinkAt(gone.fd(), name, 0), 0);
    const double unlink = us(Clock::now() - start) / kCount;
    ::sync(); // what the deletion left for the disk does not slow down what follows

    OpenFolder many(t.path("papierkorb"));
    std::vector<int> errors;
    start = Clock::now();
    MoveAllToTrash(ops, many.fd(), t.path("papierkorb/"), names, places, errors);
    const double atOnce = us(Clock::now() - start) / kCount;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), 0), kCount);
    EXPECT_TRUE(fs::is_empty(t.path("papierkorb")));
    ::sync();

    OpenFolder single(t.path("einzeln"));
    start = Clock::now();
    for (int i = 0; i < kSingles; ++i)
        ASSERT_EQ(MoveToTrash(ops, single.fd(), t.path("einzeln/"), names[i], places), 0);
    const double oneByOne = us(Clock::now() - start) / kSingles;
    EXPECT_EQ(Entries(HomeTrash() + "/files").size(), std::size_t(1 + kCount + kSingles));
    std::cout << "per file: unlink " << unlink << " us; trash, " << kCount << " in one call, "
              << atOnce << " us (" << atOnce / unlink << "x); trash, one call each, " << oneByOne
              << " us (" << oneByOne / unlink << "x)\n";
}

} // namespace
