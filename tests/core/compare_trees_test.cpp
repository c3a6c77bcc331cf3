#include "engine/compare_trees.h"
#include "engine/folder_loading.h"
#include "engine/load_view.h"
#include "engine/sync_session.h"
#include "fake_file_system.h"
#include "tree_builder.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class RecordingView : public LoadView {
public:
    std::vector<std::string> texts;
    std::int64_t maximum = -1, value = -1;
    int steps = 0;
    std::function<void()> onProgress;
    void StatusText(const std::string& t) override { texts.push_back(t); }
    void ActivityStep() override { ++steps; }
    void ShowComparisonProgress(std::int64_t m) override { maximum = m; }
    void ComparisonProgress(std::int64_t v) override {
        value = v;
        if (onProgress)
            onProgress();
    }
};

SyncRule RuleOf(int copy, int reverse) {
    SyncRule r;
    r.CopyCondition = copy;
    r.ReverseAction = reverse;
    r.IncludeSubfolders = true;
    r.ReadOnlyFiles = r.HiddenFiles = r.SystemFiles = true;
    return r;
}

// A start and a target tree side by side.
struct Trees {
    TreeBuilder t;
    std::string start = t.folder("start");
    std::string target = t.folder("ziel");

    void both(const std::string& rel, int startSec, int targetSec) {
        t.file("start/" + rel, 10, UnixTime(10, 0, startSec));
        t.file("ziel/" + rel, 10, UnixTime(10, 0, targetSec));
    }
    SyncSession load(int copy, int reverse, platform::FileSystem& fs,
                     RecordingView* viewOut = nullptr) {
        SyncSession s;
        s.StartPath = start;
        s.TargetPath = target;
        s.CurrentRule = RuleOf(copy, reverse);
        RecordingView local;
        RecordingView& view = viewOut != nullptr ? *viewOut : local;
        const LoadResult r = LoadFolders(s, fs, view);
        EXPECT_FALSE(r.error.has_value());
        return s;
    }
    SyncSession load(int copy, int reverse) {
        return load(copy, reverse, platform::RealFileSystem());
    }
};

std::vector<std::string> Relative(const FileList& list, const Trees& trees) {
    std::vector<std::string> out;
    for (const MyFile* f : list) {
        std::string p = f->Path();
        p = p.compare(0, trees.start.size(), trees.start) == 0
                ? "S" + p.substr(trees.start.size())
                : "T" + p.substr(trees.target.size());
        out.push_back(p);
    }
    return out;
}

TEST(CompareTrees, FiveSecondsOrLessCountAsEqual) {
    Trees tr;
    tr.both("neuer6", 6, 0);
    tr.both("neuer5", 6, 1);
    tr.both("aelter", 0, 6);
    for (int copy : {0, 2}) {
        SyncSession s = tr.load(copy, 0);
        EXPECT_EQ(Relative(s.CopyList, tr), std::vector<std::string>{"S/neuer6"}) << copy;
    }
    // The other way round the same boundary holds for copying back.
    SyncSession back = tr.load(1, 1);
    EXPECT_EQ(Relative(back.CopyList, tr), std::vector<std::string>{"T/aelter"});
}

TEST(CompareTrees, EveryCopyConditionDecidesAsItsNameSays) {
    Trees tr;
    tr.both("aelter_im_ziel", 30, 0);
    tr.both("gleich", 0, 0);
    tr.t.file("start/fehlt_im_ziel", 1, UnixTime(9, 0, 0));
    EXPECT_EQ(Relative(tr.load(0, 0).CopyList, tr),
              (std::vector<std::string>{"S/aelter_im_ziel", "S/fehlt_im_ziel"}));
    EXPECT_EQ(Relative(tr.load(1, 0).CopyList, tr), std::vector<std::string>{"S/fehlt_im_ziel"});
    EXPECT_EQ(Relative(tr.load(2, 0).CopyList, tr), std::vector<std::string>{"S/aelter_im_ziel"});
}

TEST(CompareTrees, EveryReverseActionDecidesAsItsNameSaysAndKeepsTheListOrder) {
    Trees tr;
    tr.both("a_start_neuer", 30, 0);
    tr.both("b_ziel_neuer", 0, 30);
    tr.t.file("ziel/c_nur_im_ziel", 1, UnixTime(9, 0, 0));
    tr.t.file("start/d_nur_im_start", 1, UnixTime(9, 0, 0));
    const std::vector<std::pair<int, std::vector<std::string>>> copyLists = {
        {1, {"S/a_start_neuer", "S/d_nur_im_start", "T/b_ziel_neuer"}},
        {2, {"S/a_start_neuer", "S/d_nur_im_start", "T/c_nur_im_ziel"}},
        {3, {"S/a_start_neuer", "S/d_nur_im_start", "T/b_ziel_neuer", "T/c_nur_im_ziel"}},
        {4, {"S/a_start_neuer", "S/d_nur_im_start"}},
        {5, {"S/a_start_neuer", "S/d_nur_im_start"}},
    };
    for (const auto& [reverse, expected] : copyLists) {
        SyncSession s = tr.load(0, reverse);
        EXPECT_EQ(Relative(s.CopyList, tr), expected) << "reverse " << reverse;
        const std::vector<std::string> deleted =
            reverse >= 4 ? std::vector<std::string>{"T/c_nur_im_ziel"} : std::vector<std::string>{};
        EXPECT_EQ(Relative(s.DeleteList, tr), deleted) << "reverse " << reverse;
        for (const MyFile* f : s.CopyList) {
            EXPECT_TRUE(f->Selected);
            EXPECT_EQ(f->IsStart, f->Path().compare(0, tr.start.size(), tr.start) == 0);
        }
        for (const MyFile* f : s.DeleteList)
            EXPECT_TRUE(f->Selected && !f->IsStart);
    }
    SyncSession none = tr.load(0, 0);
    EXPECT_TRUE(none.TargetFiles.empty());
}

TEST(CompareTrees, StatusCountsEveryFileAndTotalsEveryStartFileExamined) {
    Trees tr;
    tr.t.file("start/a", 100, UnixTime(1, 0, 0));
    tr.t.file("start/b", 200, UnixTime(1, 0, 0));
    tr.t.file("start/c", 300, UnixTime(1, 0, 0));
    for (const char* n : {"a", "b", "c"})
        tr.t.file(std::string("ziel/") + n, 1, UnixTime(1, 0, 0));
    RecordingView view;
    SyncSession s = tr.load(0, 0, platform::RealFileSystem(), &view);
    EXPECT_TRUE(s.CopyList.empty());
    EXPECT_EQ(view.texts.back(), "Es wurden 3 Dateien (600 B) verglichen.");
    EXPECT_EQ(view.maximum, 3);
    EXPECT_EQ(view.steps, 3);
    ASSERT_GE(view.texts.size(), 2u);
    EXPECT_EQ(view.texts[0], "Durchsuche: \"" + tr.start + "\"");
    EXPECT_EQ(view.texts[view.texts.size() - 2], "Vergleiche 3 Dateien...");
    RecordingView both;
    tr.load(0, 4, platform::RealFileSystem(), &both);
    EXPECT_EQ(both.texts.back(), "Es wurden 6 Dateien (600 B) verglichen.");
    EXPECT_EQ(both.maximum, 6);
}

TEST(CompareTrees, AbortStopsBeforeAnyRecordIsTicked) {
    Trees tr;
    for (int i = 0; i < 20; ++i)
        tr.t.file("start/f" + std::to_string(i), 1, UnixTime(1, 0, 0));
    SyncSession s;
    s.StartPath = tr.start;
    s.TargetPath = tr.target;
    s.CurrentRule = RuleOf(0, 0);
    RecordingView view;
    view.onProgress = [&] {
        if (view.value == 5)
            s.AbortRequested = true;
    };
    const LoadResult r = LoadFolders(s, platform::RealFileSystem(), view);
    EXPECT_FALSE(r.compared);
    for (const MyFile* f : s.CopyList)
        EXPECT_FALSE(f->Selected);
    EXPECT_EQ(view.texts.back(), "Vergleiche 20 Dateien...");
}

TEST(CompareTrees, RootsWithAndWithoutTrailingSlashGiveTheSameLists) {
    Trees tr;
    tr.both("sub/a", 30, 0);
    tr.t.file("ziel/sub/weg", 1, UnixTime(1, 0, 0));
    SyncSession plain = tr.load(0, 4);
    const std::string start = tr.start, target = tr.target;
    for (const auto& [s, t] : std::vector<std::pair<std::string, std::string>>{
             {start + "/", target}, {start, target + "/"}, {start + "//", target + "/"}}) {
        tr.start = s;
        tr.target = t;
        SyncSession other = tr.load(0, 4);
        ASSERT_EQ(other.CopyList.size(), 1u);
        ASSERT_EQ(other.DeleteList.size(), 1u);
        EXPECT_EQ(CounterpartPath(other, other.CopyList[0]->Path(), true), target + "/sub/a");
        EXPECT_EQ(CounterpartPath(other, other.DeleteList[0]->Path(), false), start + "/sub/weg");
    }
    SyncSession root;
    root.StartPath = "/";
    root.TargetPath = "/media/sicherung";
    EXPECT_EQ(CounterpartPath(root, "/etc/hosts", true), "/media/sicherung/etc/hosts");
    EXPECT_EQ(CounterpartPath(root, "/media/sicherung/etc/hosts", false), "/etc/hosts");
}

TEST(CompareTrees, AStartSideThatCannotBeExaminedIsNeverADeletionOrAnOverwrite) {
    Trees tr;
    tr.t.file("ziel/geheim/a.txt", 1, UnixTime(12, 0, 0));
    tr.t.file("start/geheim/a.txt", 1, UnixTime(1, 0, 0));
    tr.t.file("ziel/geheim/b.txt", 1, UnixTime(12, 0, 0));
    tr.t.file("ziel/offen/weg.txt", 1, UnixTime(12, 0, 0));
    tr.t.folder("start/offen");
    FailingFileSystem fs;
    fs.failBelow(tr.start + "/geheim", EACCES);
    for (int reverse : {2, 3, 4, 5}) {
        SyncSession s = tr.load(0, reverse, fs);
        const std::vector<std::string> expected = {"T/offen/weg.txt"};
        EXPECT_EQ(Relative(reverse >= 4 ? s.DeleteList : s.CopyList, tr), expected) << reverse;
    }
}

TEST(CompareTrees, FilesTheScanLeftOutStillCountAsPresent) {
    Trees tr;
    // Read-only files take no part under this rule: neither scan reports them, yet the start
    // file exists and its target copy must not be deleted.
    const std::string ro = tr.t.file("start/nurlesen.txt", 1, UnixTime(1, 0, 0));
    ::chmod(ro.c_str(), 0444);
    tr.t.file("ziel/nurlesen.txt", 1, UnixTime(1, 0, 0));
    const std::string roTarget = tr.t.file("ziel/geschuetzt.txt", 1, UnixTime(1, 0, 0));
    ::chmod(roTarget.c_str(), 0444);
    tr.t.file("start/geschuetzt.txt", 1, UnixTime(9, 0, 0));
    SyncSession s;
    s.StartPath = tr.start;
    s.TargetPath = tr.target;
    s.CurrentRule = RuleOf(0, 5);
    s.CurrentRule.ReadOnlyFiles = false;
    RecordingView view;
    ASSERT_TRUE(LoadFolders(s, platform::RealFileSystem(), view).compared);
    EXPECT_TRUE(s.DeleteList.empty());
    // The newer start file is still compared with its left-out target copy.
    EXPECT_EQ(Relative(s.CopyList, tr), std::vector<std::string>{"S/geschuetzt.txt"});
}

TEST(CompareTrees, TargetFileBesideAStartFolderWithoutSearchPermissionIsKept) {
    Trees tr;
    tr.t.file("start/privat/gibt_es.txt", 1, UnixTime(1, 0, 0));
    tr.t.file("ziel/privat/gibt_es.txt", 1, UnixTime(1, 0, 0));
    tr.t.file("ziel/privat/fehlt.txt", 1, UnixTime(1, 0, 0));
    tr.t.file("ziel/frei.txt", 1, UnixTime(1, 0, 0));
    ::chmod(tr.t.path("start/privat").c_str(), 0);
    const int listed = AsUnprivileged([&] {
        SyncSession s = tr.load(0, 4);
        // Only frei.txt is sure to be missing in the start tree.
        return s.DeleteList.size() == 1 && s.DeleteList[0]->Path() == tr.target + "/frei.txt" ? 0
                                                                                              : 1;
    });
    EXPECT_EQ(listed, 0);
}

TEST(FolderChecks, MessagesNameThePathThatFailed) {
    TreeBuilder t;
    const std::string dir = t.folder("da");
    const std::string file = t.file("datei.txt");
    auto& fs = platform::RealFileSystem();
    EXPECT_EQ(CheckPaths(fs, "   ", dir), "Es wurde kein Startpfad angegeben !!");
    EXPECT_EQ(CheckPaths(fs, "", ""), "Es wurde kein Zielpfad angegeben !!");
    EXPECT_EQ(CheckPaths(fs, dir + "/nicht", dir),
              "Der Startpfad: \"" + dir + "/nicht\"existiert nicht !!");
    EXPECT_EQ(CheckPaths(fs, dir, file), "Der Zielpfad: \"" + file + "\"existiert nicht !!");
    EXPECT_EQ(CheckPaths(fs, t.folder("b"), dir), "");
    EXPECT_EQ(CheckPaths(fs, dir, dir), "");
    EXPECT_TRUE(FileExists(fs, file));
    EXPECT_FALSE(FileExists(fs, dir));
    EXPECT_TRUE(FolderExists(fs, t.link("verweis", dir)));
}

TEST(FolderChecks, OneTreeInsideTheOtherIsRefused) {
    TreeBuilder t;
    const std::string outer = t.folder("daten");
    const std::string inner = t.folder("daten/sicherung");
    const std::string twin = t.folder("daten2");
    auto& fs = platform::RealFileSystem();
    EXPECT_EQ(CheckPaths(fs, outer, inner),
              "Der Zielpfad: \"" + inner + "\" liegt innerhalb des Startpfads !!");
    EXPECT_EQ(CheckPaths(fs, inner + "/", outer + "/../daten"),
              "Der Startpfad: \"" + inner + "/\" liegt innerhalb des Zielpfads !!");
    EXPECT_EQ(CheckPaths(fs, outer, twin), ""); // a common prefix is no nesting
    EXPECT_EQ(CheckPaths(fs, "/", outer),
              "Der Zielpfad: \"" + outer + "\" liegt innerhalb des Startpfads !!");
}

TEST(FolderLoading, MaskFollowsTheRulesAttributeOptions) {
    SyncRule r;
    EXPECT_EQ(ScanMask(r), 160);
    r.HiddenFiles = r.ReadOnlyFiles = true;
    EXPECT_EQ(ScanMask(r), 163);
    r.SystemFiles = true;
    EXPECT_EQ(ScanMask(r), 423);
    r.HiddenFiles = false;
    EXPECT_EQ(ScanMask(r), 165);
}

} // namespace
