// Both trees are scanned at once, and "Abbrechen" stops both scans quickly.
#include "engine/maybe_do_events.h"
#include "fake_file_system.h"
#include "run_test_support.h"

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

// Listings below `slowBelow` take 3 ms more each.
class SlowFileSystem : public FailingFileSystem {
public:
    std::string slowBelow = "/";
    int ListDirectory(const std::string& folder, std::vector<platform::DirEntry>& e) override {
        if (folder.rfind(slowBelow, 0) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        return FailingFileSystem::ListDirectory(folder, e);
    }
};

// The window hears the start tree's texts first, as when the trees were scanned one after
// the other, also when the target's scan ends long before.
TEST(ThreadedLoad, TheStartTreeIsHeardFirstAlsoWhenTheTargetEndsFirst) {
    TreeBuilder t;
    for (int d = 0; d < 30; ++d)
        t.file("start/d" + std::to_string(d) + "/a.txt", 1);
    t.file("start/zu/x.txt", 1);
    t.file("ziel/kaputt/y.txt", 1);
    SlowFileSystem fs;
    fs.slowBelow = t.path("start");
    fs.failBelow(t.path("start/zu/"), EACCES);
    fs.failBelow(t.path("ziel/kaputt/"), EIO);
    SyncSession s;
    s.StartPath = t.path("start");
    s.TargetPath = t.path("ziel");
    s.CurrentRule = RuleOf(0, 5);
    RecordingLoad view;
    ASSERT_TRUE(LoadFolders(s, fs, view).compared);
    const Lines expected = {"Durchsuche: \"" + t.path("start") + "\"",
                            "Kann nicht gelesen werden: \"" + t.path("start/zu/") + "\"",
                            "Durchsuche: \"" + t.path("ziel") + "\"",
                            "Kann nicht gelesen werden: \"" + t.path("ziel/kaputt/") + "\""};
    ASSERT_GE(view.texts.size(), expected.size());
    EXPECT_EQ(Lines(view.texts.begin(), view.texts.begin() + 4), expected);
}

TEST(ThreadedLoad, AbbrechenStopsBothScansWithinAHundredMilliseconds) {
    TreeBuilder t;
    for (int d = 0; d < 100; ++d) {
        t.file("start/d" + std::to_string(d) + "/a.txt", 1);
        t.file("ziel/d" + std::to_string(d) + "/a.txt", 1);
    }
    SlowFileSystem fs; // about 300 ms a tree
    SyncSession s;
    s.StartPath = t.path("start");
    s.TargetPath = t.path("ziel");
    s.CurrentRule = RuleOf(0, 5);
    RecordingLoad view;
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

} // namespace
