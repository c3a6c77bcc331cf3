// A file written whole: the old version or the new one, never a part, and no temporary file
// left behind, also when the disk is full.
#include "platform/whole_file.h"
#include "small_disk.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace {

int EntriesIn(const std::string& folder) {
    return int(std::distance(std::filesystem::directory_iterator(folder), {}));
}

} // namespace

TEST(WholeFile, ReplacesTheTextAndSetsTheMode) {
    TempHome home;
    const std::string folder = home.path() + "/Schreibtisch";
    ::mkdir(folder.c_str(), 0700);
    const std::string path = folder + "/Kopie.desktop";
    WriteFile(path, "alt");
    ASSERT_EQ(WriteWholeFile(path, "neu\n", 0755), 0);
    EXPECT_EQ(ReadFile(path), "neu\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    EXPECT_EQ(EntriesIn(folder), 1); // no temporary file beside it
    EXPECT_EQ(WriteWholeFile(home.path() + "/fehlt/x.desktop", "x", 0644), ENOENT);
}

TEST(WholeFile, AFullDiskKeepsTheOldVersionAndLeavesNothing) {
    TempHome home;
    const std::string disk = home.path() + "/stick";
    ::mkdir(disk.c_str(), 0700);
    const int code = WithSmallDisk(disk, 64 << 10, [&] {
        const std::string path = disk + "/Verknüpfung.desktop";
        WriteFile(path, "alt");
        const int err = WriteWholeFile(path, std::string(256 << 10, 'x'), 0755);
        if (err != ENOSPC)
            return 10;
        if (ReadFile(path) != "alt")
            return 11;
        return EntriesIn(disk) == 1 ? 0 : 12;
    });
    EXPECT_EQ(code, 0);
}
