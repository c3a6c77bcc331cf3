// Both trees are scanned at once, and "Abbrechen" stops both scans quickly.
#include "engine/maybe_do_events.h"
#include "fake_file_system.h"
#include "run_test_support.h"

#include <chrono>
#include <thread>

namespace {

// Listings take 3 ms more each.
class SlowFileSystem : public FailingFileSystem {
public:
    int ListDirectory(const std::string& folder, std::vector<platform::DirEntry>& e) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        return FailingFileSystem::ListDirectory(folder, e);
    }
};

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
