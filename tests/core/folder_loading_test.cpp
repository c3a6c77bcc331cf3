#include "engine/folder_loading.h"
#include "engine/load_view.h"
#include "engine/sync_session.h"
#include "fake_file_system.h"
#include "tree_builder.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TextView : public LoadView {
public:
    std::vector<std::string> texts;
    void StatusText(const std::string& t) override { texts.push_back(t); }
    void ActivityStep() override {}
    void ShowComparisonProgress(std::int64_t) override {}
    void ComparisonProgress(std::int64_t) override {}
    bool showed(const std::string& text) const {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
};

// A start and a target tree side by side, loaded under a mirror-like rule.
struct Load {
    TreeBuilder t;
    std::string start = t.folder("start");
    std::string target = t.folder("ziel");
    SyncSession s;
    TextView view;

    LoadResult run(platform::FileSystem& fs, int reverse = 5, bool hidden = true) {
        s.StartPath = start;
        s.TargetPath = target;
        s.CurrentRule.ReverseAction = reverse;
        s.CurrentRule.IncludeSubfolders = true;
        s.CurrentRule.ReadOnlyFiles = s.CurrentRule.SystemFiles = true;
        s.CurrentRule.HiddenFiles = hidden;
        return LoadFolders(s, fs, view);
    }
    LoadResult run(int reverse = 5, bool hidden = true) {
        return run(platform::RealFileSystem(), reverse, hidden);
    }
    std::vector<std::string> paths(const FileList& list) const {
        std::vector<std::string> out;
        for (const MyFile* f : list)
            out.push_back(f->Path());
        return out;
    }
};

bool Empty(const SyncSession& s) {
    return s.StartFiles.empty() && s.TargetFiles.empty() && s.CopyList.empty() &&
           s.DeleteList.empty();
}

TEST(FolderLoading, AStartRootThatCannotBeListedFailsTheLoadWithNothingToDelete) {
    Load l;
    l.t.file("ziel/a.txt");
    l.t.file("ziel/sub/b.txt");
    FailingFileSystem fs;
    fs.failBelow(l.start + "/", EACCES);
    const LoadResult r = l.run(fs);
    const std::string reason = "Zugriff verweigert.";
    EXPECT_EQ(r.rootError,
              "Der Startordner \"" + l.start + "\" kann nicht gelesen werden: " + reason);
    EXPECT_FALSE(r.error.has_value());
    EXPECT_FALSE(r.compared);
    EXPECT_TRUE(Empty(l.s));
    ASSERT_EQ(l.s.ScanProblems.size(), 1u);
    EXPECT_EQ(l.s.ScanProblems[0].path, l.start + "/");
}

TEST(FolderLoading, ATargetRootThatCannotBeListedFailsTheLoadOnlyWhenItIsScanned) {
    Load l;
    l.t.file("start/a.txt");
    l.t.file("ziel/alt.txt");
    FailingFileSystem fs;
    fs.failBelow(l.target + "/", EIO);
    const LoadResult r = l.run(fs, 4);
    EXPECT_EQ(r.rootError, "Der Zielordner \"" + l.target +
                               "\" kann nicht gelesen werden: Ein-/Ausgabefehler beim Zugriff "
                               "auf den Datenträger.");
    EXPECT_FALSE(r.compared);
    EXPECT_TRUE(Empty(l.s)); // the start tree's records are let go as well
    ASSERT_EQ(l.s.ScanProblems.size(), 1u);
    EXPECT_FALSE(l.s.ScanProblems[0].inStartTree);

    // A rule that leaves the target alone never lists it.
    const LoadResult copyOnly = l.run(fs, 0);
    EXPECT_TRUE(copyOnly.rootError.empty());
    EXPECT_TRUE(copyOnly.compared);
    EXPECT_EQ(l.paths(l.s.StartFiles), std::vector<std::string>{l.start + "/a.txt"});
    EXPECT_TRUE(l.s.ScanProblems.empty());
}

TEST(FolderLoading, UnreadableFoldersOfBothTreesAreRecordedAndNamedWhileLoading) {
    Load l;
    l.t.file("start/a.txt");
    l.t.file("start/geheim/b.txt");
    l.t.file("ziel/kaputt/c.txt");
    l.t.file("ziel/d.txt");
    FailingFileSystem fs;
    fs.failBelow(l.start + "/geheim/", EACCES);
    fs.failBelow(l.target + "/kaputt/", EIO);
    const LoadResult r = l.run(fs, 5);
    EXPECT_TRUE(r.compared);
    EXPECT_TRUE(r.rootError.empty());
    ASSERT_EQ(l.s.ScanProblems.size(), 2u);
    EXPECT_EQ(l.s.ScanProblems[0].path, l.start + "/geheim/");
    EXPECT_EQ(l.s.ScanProblems[0].error, EACCES);
    EXPECT_TRUE(l.s.ScanProblems[0].inStartTree);
    EXPECT_EQ(l.s.ScanProblems[1].path, l.target + "/kaputt/");
    EXPECT_EQ(l.s.ScanProblems[1].error, EIO);
    EXPECT_FALSE(l.s.ScanProblems[1].inStartTree);
    EXPECT_TRUE(l.view.showed("Kann nicht gelesen werden: \"" + l.start + "/geheim/\""));
    EXPECT_TRUE(l.view.showed("Kann nicht gelesen werden: \"" + l.target + "/kaputt/\""));
    // The scan went on past both.
    EXPECT_EQ(l.paths(l.s.StartFiles), std::vector<std::string>{l.start + "/a.txt"});
    EXPECT_EQ(l.paths(l.s.TargetFiles), std::vector<std::string>{l.target + "/d.txt"});
    // A new load starts with no problems of the last.
    l.run(5);
    EXPECT_TRUE(l.s.ScanProblems.empty());
}

TEST(FolderLoading, FoldersAndFilesThisUserMayNotReadAreRecorded) {
    Load l;
    l.t.file("start/frei.txt");
    l.t.file("start/privat/x.txt");
    l.t.file("start/nur_lesbar/datei.txt"); // listed, but without search permission
    l.t.file("start/nur_lesbar/sub/y.txt");
    ::chmod(l.t.path("start/privat").c_str(), 0);
    ::chmod(l.t.path("start/nur_lesbar").c_str(), 0444);
    const int code = AsUnprivileged([&] {
        const LoadResult r = l.run(0);
        const std::vector<std::string> expected = {
            l.start + "/nur_lesbar/datei.txt", l.start + "/nur_lesbar/sub/", l.start + "/privat/"};
        std::vector<std::string> got;
        for (const ScanProblem& p : l.s.ScanProblems)
            if (p.error == EACCES && p.inStartTree)
                got.push_back(p.path);
        if (!r.compared)
            return 1;
        if (got != expected)
            return 2;
        return l.paths(l.s.StartFiles) == std::vector<std::string>{l.start + "/frei.txt"} ? 0 : 3;
    });
    EXPECT_EQ(code, 0);
}

TEST(FolderLoading, FilesInHiddenFoldersAreNeitherCopiedNorDeletedWithoutHiddenFiles) {
    Load l;
    for (const char* rel : {".git/objects/a", ".cache/x/y", "src/b"})
        l.t.file(std::string("start/") + rel, 1, UnixTime(12, 0, 0));
    l.t.file("ziel/.git/objects/alt", 1);
    l.t.file("ziel/src/alt", 1);
    l.run(5, false);
    EXPECT_EQ(l.paths(l.s.CopyList), std::vector<std::string>{l.start + "/src/b"});
    EXPECT_EQ(l.paths(l.s.DeleteList), std::vector<std::string>{l.target + "/src/alt"});

    l.run(5, true);
    EXPECT_EQ(l.paths(l.s.CopyList),
              (std::vector<std::string>{l.start + "/.cache/x/y", l.start + "/.git/objects/a",
                                        l.start + "/src/b"}));
    EXPECT_EQ(l.paths(l.s.DeleteList),
              (std::vector<std::string>{l.target + "/.git/objects/alt", l.target + "/src/alt"}));
}

TEST(FolderLoading, RootsInsideAHiddenFolderStillLoadTheirFiles) {
    Load l;
    l.start = l.t.folder(".config/start");
    l.t.file(".config/start/a.txt");
    l.run(0, false);
    EXPECT_EQ(l.paths(l.s.StartFiles), std::vector<std::string>{l.start + "/a.txt"});
}

TEST(FolderLoading, RootIdentitiesAreTakenThroughLinks) {
    Load l;
    const std::string link = l.t.link("verweis", l.start);
    struct stat st {};
    ASSERT_EQ(::stat(l.start.c_str(), &st), 0);
    const FolderIdentity start = IdentifyFolder(platform::RealFileSystem(), link);
    EXPECT_TRUE(start.known);
    EXPECT_EQ(start.device, static_cast<std::uint64_t>(st.st_dev));
    EXPECT_EQ(start.inode, static_cast<std::uint64_t>(st.st_ino));
    EXPECT_FALSE(IdentifyFolder(platform::RealFileSystem(), l.t.path("fehlt")).known);

    l.start = link;
    FailingFileSystem fs;
    fs.failBelow(l.target, EACCES);
    l.run(fs, 0);
    EXPECT_EQ(l.s.StartRoot, start);
    EXPECT_FALSE(l.s.TargetRoot.known);
    l.run(0);
    EXPECT_TRUE(l.s.TargetRoot.known);
    EXPECT_NE(l.s.TargetRoot, l.s.StartRoot);
}

} // namespace
