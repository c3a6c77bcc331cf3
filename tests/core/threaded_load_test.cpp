// Both trees are scanned at once, yet the window hears the start tree first, as before, and
// "Abbrechen" stops both scans quickly.
#include "engine/folder_loading.h"
#include "engine/load_view.h"
#include "engine/maybe_do_events.h"
#include "engine/sync_session.h"
#include "fake_file_system.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

class RecordingView : public LoadView {
public:
    std::vector<std::string> texts;
    int steps = 0;
    void StatusText(const std::string& t) override { texts.push_back(t); }
    void ActivityStep() override { ++steps; }
    void ShowComparisonProgress(std::int64_t) override {}
    void ComparisonProgress(std::int64_t) override {}
};

// Listings below `slowBelow` take 3 ms more each.
class SlowFileSystem : public FailingFileSystem {
public:
    std::string slowBelow;
    int ListDirectory(const std::string& folder, std::vector<platform::DirEntry>& e) override {
        if (!slowBelow.empty() && folder.rfind(slowBelow, 0) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        return FailingFileSystem::ListDirectory(folder, e);
    }
};

SyncSession MirrorSession(const TreeBuilder& t) {
    SyncSession s;
    s.StartPath = t.path("start");
    s.TargetPath = t.path("ziel");
    s.CurrentRule.ReverseAction = 5;
    s.CurrentRule.IncludeSubfolders = true;
    return s;
}

} // namespace

TEST(ThreadedLoad, TheStartTreeIsHeardFirstAlsoWhenTheTargetEndsFirst) {
    TreeBuilder t;
    for (int d = 0; d < 30; ++d)
        t.file("start/d" + std::to_string(d) + "/a.txt", 1);
    t.file("start/zu/x.txt", 1);
    t.file("ziel/kaputt/y.txt", 1);
    t.file("ziel/b.txt", 1);
    SlowFileSystem fs;
    fs.slowBelow = t.path("start"); // the target is done long before the start
    fs.failBelow(t.path("start/zu/"), EACCES);
    fs.failBelow(t.path("ziel/kaputt/"), EIO);
    SyncSession s = MirrorSession(t);
    RecordingView view;
    const LoadResult r = LoadFolders(s, fs, view);
    ASSERT_TRUE(r.compared);
    const std::vector<std::string> expected = {
        "Durchsuche: \"" + t.path("start") + "\"",
        "Kann nicht gelesen werden: \"" + t.path("start/zu/") + "\"",
        "Durchsuche: \"" + t.path("ziel") + "\"",
        "Kann nicht gelesen werden: \"" + t.path("ziel/kaputt/") + "\"",
        "Vergleiche 31 Dateien...",
    };
    ASSERT_GE(view.texts.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(view.texts.begin(), view.texts.begin() + 5), expected);
    EXPECT_EQ(view.steps, 31);
    ASSERT_EQ(s.ScanProblems.size(), 2u);
    EXPECT_TRUE(s.ScanProblems[0].inStartTree);
    EXPECT_FALSE(s.ScanProblems[1].inStartTree);
    EXPECT_EQ(s.RecordCount(), 31u);
}

TEST(ThreadedLoad, AbbrechenStopsBothScansWithinAHundredMilliseconds) {
    TreeBuilder t;
    for (int d = 0; d < 100; ++d) {
        t.file("start/d" + std::to_string(d) + "/a.txt", 1);
        t.file("ziel/d" + std::to_string(d) + "/a.txt", 1);
    }
    SlowFileSystem fs;
    fs.slowBelow = t.root(); // about 300 ms a tree
    SyncSession s = MirrorSession(t);
    RecordingView view;
    std::chrono::steady_clock::time_point pressed;
    // The user presses "Abbrechen" the first time the window's events run.
    SetEventPump([&] {
        if (!s.AbortRequested) {
            s.AbortRequested = true;
            pressed = std::chrono::steady_clock::now();
        }
    });
    LoadFolders(s, fs, view);
    const auto took = std::chrono::steady_clock::now() - pressed;
    SetEventPump(nullptr);
    EXPECT_LT(took, std::chrono::milliseconds(100));
    EXPECT_LT(s.StartFiles.size(), 100u);
    EXPECT_LT(s.TargetFiles.size(), 100u);
    EXPECT_TRUE(s.CopyList.empty() && s.DeleteList.empty());
}
