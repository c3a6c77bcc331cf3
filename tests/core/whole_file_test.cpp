// A file written whole: the old version or the new one, never a part, and no temporary file
// left behind, also when the disk is full.
#include "platform/whole_file.h"
#include "trash_test_support.h"

#include <cerrno>

namespace {

int EntriesIn(const std::string& folder) {
    return int(std::distance(std::filesystem::directory_iterator(folder), {}));
}

} // namespace

TEST(WholeFile, ReplacesTheTextAndSetsTheModeAndAFullDiskKeepsTheOldVersion) {
    TempHome home;
    const std::string folder = home.path() + "/Schreibtisch";
    ::mkdir(folder.c_str(), 0700);
    const std::string path = folder + "/Kopie.desktop";
    WriteFile(path, "alt");
    ASSERT_EQ(WriteWholeFile(path, "neu\n", 0755), 0);
    EXPECT_EQ(ReadFile(path), "neu\n");
    EXPECT_EQ(Mode(path), 0755u);
    EXPECT_EQ(EntriesIn(folder), 1); // no temporary file beside it
    EXPECT_EQ(WriteWholeFile(home.path() + "/fehlt/x.desktop", "x", 0644), ENOENT);
    // On a full disk: the old version, and nothing beside it.
    const int code = WithSmallDisk(folder, 64 << 10, [&] {
        WriteFile(path, "alt");
        const int err = WriteWholeFile(path, std::string(256 << 10, 'x'), 0755);
        // What went wrong, as bits.
        return (err != ENOSPC) + 2 * (ReadFile(path) != "alt") + 4 * (EntriesIn(folder) != 1);
    });
    EXPECT_EQ(code, 0);
}
