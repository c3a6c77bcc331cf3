// Symbolic links under a rule that takes them: mirrored as links (target text and the link's
// own time), compared by time, deleted or trashed as the link itself, never followed; a link
// against a file or folder of the same name is listed and left alone.
#include "run_test_support.h"
#include "trash_test_support.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// A link at `path` to `target`, last written at `hour` o'clock (the link itself).
void Link(const std::string& target, const std::string& path, int hour) {
    fs::create_directories(fs::path(path).parent_path());
    fs::create_symlink(target, path);
    const timespec times[2] = {{UnixTime(hour, 0, 0), 0}, {UnixTime(hour, 0, 0), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// "link -> text @ seconds" for a link, "file" for anything else, "-" for nothing.
std::string What(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return "-";
    if (!S_ISLNK(st.st_mode))
        return "file";
    return "link -> " + fs::read_symlink(path).string() + " @ " + std::to_string(st.st_mtime);
}

class Links : public Trees {
protected:
    SyncSession loadWithLinks(int copy, int reverse) { return load(copy, reverse, {true, false}); }
};

TEST_F(Links, LinksOfEveryKindAreMirroredAsLinksAndExtraOnesDeletedAsLinks) {
    const std::string outside = t.text("aussen/bleibt.txt", "aussen", UnixTime(8, 0, 0));
    put("start/a.txt", "a", 9);
    t.folder("start/sub");
    Link("a.txt", start + "/relativ", 10);
    Link(outside, start + "/absolut", 10);
    Link("sub", start + "/ordner", 10);
    Link("gibt-es-nicht", start + "/ins_leere", 10);
    Link("alt", target + "/relativ", 8); // older: replaced
    Link(outside, target + "/extra", 8); // not in the start tree: deleted, not what it shows
    SyncSession s = loadWithLinks(0, 5);
    EXPECT_EQ(paths(s.DeleteList), Lines{"ziel/extra"});
    const RunResult r = run(s);
    EXPECT_TRUE(r.failures.empty()) << r.failures[0].reason;
    const std::string ten = std::to_string(UnixTime(10, 0, 0));
    EXPECT_EQ(What(target + "/relativ"), "link -> a.txt @ " + ten);
    EXPECT_EQ(What(target + "/absolut"), "link -> " + outside + " @ " + ten);
    EXPECT_EQ(What(target + "/ordner"), "link -> sub @ " + ten);
    EXPECT_EQ(What(target + "/ins_leere"), "link -> gibt-es-nicht @ " + ten);
    EXPECT_EQ(What(target + "/extra"), "-");
    EXPECT_EQ(ReadFile(outside), "aussen");
    EXPECT_TRUE(TemporaryFiles(target).empty());
    // A second load finds nothing left to do.
    SyncSession again = loadWithLinks(0, 5);
    EXPECT_TRUE(again.CopyList.empty() && again.DeleteList.empty());
}

TEST_F(Links, ALinkIsCopiedBackAndTrashedAsTheLinkItself) {
    put("ziel/ziel.txt", "z", 9);
    Link("ziel.txt", target + "/zurueck", 11);
    SyncSession back = loadWithLinks(0, 2);
    run(back);
    EXPECT_EQ(What(start + "/zurueck"), "link -> ziel.txt @ " + std::to_string(UnixTime(11, 0, 0)));

    fs::remove(start + "/zurueck");
    SyncSession trash = loadWithLinks(0, 4);
    EXPECT_EQ(run(trash).trashed, 1); // ziel.txt was copied back too
    EXPECT_EQ(What(target + "/zurueck"), "-");
    EXPECT_EQ(What(HomeTrash() + "/files/zurueck"),
              "link -> ziel.txt @ " + std::to_string(UnixTime(11, 0, 0)));
}

TEST_F(Links, ALinkAgainstAFileOrFolderIsListedUntickedAndNeverActedOn) {
    Link("a", start + "/name", 10);
    put("ziel/name", "datei", 9);
    t.folder("start/ordner");
    Link("woanders", target + "/ordner", 9);
    SyncSession s = loadWithLinks(0, 5);
    EXPECT_EQ(paths(s.CopyList), (Lines{"start/name", "ziel/ordner"}));
    EXPECT_TRUE(s.DeleteList.empty());
    for (MyFile* f : s.CopyList) {
        EXPECT_TRUE(f->IsConflict() && !f->Selected && s.KindsClash(*f));
        f->Selected = true; // ticked all the same
    }
    const RunResult r = run(s);
    ASSERT_EQ(r.failures.size(), 2u);
    EXPECT_EQ(r.failures[0].reason, "Auf einer Seite eine symbolische Verknüpfung, auf der "
                                    "anderen eine Datei oder ein Ordner gleichen Namens: nicht "
                                    "angetastet.");
    EXPECT_EQ(ReadFile(target + "/name"), "datei");
    EXPECT_EQ(What(target + "/ordner"), "link -> woanders @ " + std::to_string(UnixTime(9, 0, 0)));
    EXPECT_TRUE(fs::is_directory(start + "/ordner") && !fs::is_symlink(start + "/ordner"));
}

TEST_F(Links, ALinkReplacedAfterTheLoadIsLeftAlone) {
    Link("neu", start + "/l", 12);
    Link("alt", target + "/l", 8);
    Link("quelle", start + "/q", 12);
    SyncSession s = loadWithLinks(0, 0);
    ASSERT_EQ(paths(s.CopyList), (Lines{"start/l", "start/q"}));
    fs::remove(target + "/l");
    put("ziel/l", "neue Datei", 13);
    fs::remove(start + "/q");
    put("start/q", "jetzt eine Datei", 13);
    const RunResult r = run(s);
    EXPECT_EQ(r.leftChanged(), 2);
    EXPECT_EQ(ReadFile(target + "/l"), "neue Datei");
    EXPECT_EQ(What(target + "/q"), "-");
}

} // namespace
