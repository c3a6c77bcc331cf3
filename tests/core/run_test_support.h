#pragma once

#include "engine/folder_loading.h"
#include "engine/load_view.h"
#include "engine/sync_run.h"
#include "engine/sync_session.h"
#include "platform/failing_file_ops.h"
#include "platform/fake_file_system.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "temp_home.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// What the load and run tests share: views that record what they are shown, and a start and
// a target tree side by side, loaded as the window loads them.
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The file operations a run test's run uses: the real ones, answering as sshfs where the tests
// run on a waiting device (see FileSystemTypeUnderTest).
inline platform::FileOps& RunOps() {
    static FailingOps underTest;
    return underTest.fileSystemType != 0 ? underTest : platform::RealFileOps();
}

class RecordingLoad : public LoadView {
public:
    Lines texts;
    std::function<void()> onPump; // what the window's events do
    bool stop = false;            // "Abbrechen" was pressed
    void PumpEvents() override {
        if (onPump)
            onPump();
    }
    bool StopRequested() override { return stop; }
    void StatusText(const std::string& t) override { texts.push_back(t); }
    void ActivityStep() override {}
    void ShowComparisonProgress(std::int64_t) override {}
    void ComparisonProgress(std::int64_t) override {}
};

// A load during which the user presses "Abbrechen" the first time the window's events run
// once `ready` holds: the longest the window's events waited for their turn before it.
struct AbortedLoad {
    LoadResult result;
    std::chrono::steady_clock::duration longestPause{};
    Lines texts; // the status bar's
};
inline AbortedLoad LoadAndPressAbbrechen(SyncSession& s, platform::FileSystem& fs,
                                         const std::function<bool()>& ready) {
    using Clock = std::chrono::steady_clock;
    AbortedLoad out;
    Clock::time_point lastTurn = Clock::now();
    RecordingLoad view;
    view.onPump = [&] {
        if (view.stop)
            return;
        out.longestPause = std::max(out.longestPause, Clock::now() - lastTurn);
        lastTurn = Clock::now();
        view.stop = ready();
    };
    out.result = LoadFolders(s, fs, view);
    out.texts = view.texts;
    EXPECT_TRUE(view.stop);
    return out;
}

class RecordingRun : public RunView {
public:
    std::string filesLeft;
    std::vector<std::pair<std::size_t, bool>> questions; // count, to the trash
    bool answer = true;
    std::function<void()> onProgress;

    void StatusText(const std::string&) override {}
    void PlannedCopies(const std::string&, const std::string&) override {}
    void FilesLeft(const std::string& f) override { filesLeft = f; }
    void CurrentFile(const std::string&, const std::string&, const std::string&) override {}
    void CopyProgress(const CopyProgressDisplay&) override {
        if (onProgress)
            onProgress();
    }
    void PumpEvents() override {}
    bool StopRequested() override { return false; }
    bool ConfirmDelete(std::size_t count, bool toTrash) override {
        questions.emplace_back(count, toTrash);
        return answer;
    }
};

// Every file below `root` whose name marks it as a temporary file of the copy.
inline Lines TemporaryFiles(const std::string& root) {
    Lines found;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.path().filename().string().rfind(platform::kTemporaryPrefix, 0) == 0)
            found.push_back(e.path().string());
    return found;
}

// A rule under which subfolders and files of every attribute take part.
inline SyncRule RuleOf(int copy, int reverse) {
    SyncRule r;
    r.CopyCondition = copy;
    r.ReverseAction = reverse;
    r.IncludeSubfolders = r.ReadOnlyFiles = r.HiddenFiles = r.SystemFiles = true;
    return r;
}

// A session of both roots under RuleOf(copy, reverse), not loaded yet.
inline SyncSession Unloaded(const std::string& start, const std::string& target, int copy,
                            int reverse) {
    SyncSession s;
    s.StartPath = start;
    s.TargetPath = target;
    s.CurrentRule = RuleOf(copy, reverse);
    return s;
}

// Loads as the window does.
inline SyncSession Load(const std::string& start, const std::string& target, int copy,
                        int reverse) {
    SyncSession s = Unloaded(start, target, copy, reverse);
    RecordingLoad view;
    EXPECT_TRUE(LoadFolders(s, platform::RealFileSystem(), view).compared);
    return s;
}

// "start" and "ziel" side by side in a temporary folder, with a temporary home for the trash.
class Trees : public ::testing::Test {
protected:
    TempHome home;
    TreeBuilder t;
    std::string start = t.folder("start");
    std::string target = t.folder("ziel");
    RecordingRun view;

    // A file with `content`, last written at `hour` o'clock of the test day.
    std::string put(const std::string& rel, const std::string& content, int hour) {
        return t.text(rel, content, UnixTime(hour, 0, 0));
    }
    LoadResult loaded; // the last load's
    // Loads both trees under the rule `copy`|`reverse` with `options`.
    SyncSession load(int copy, int reverse, RuleOptions options = {},
                     platform::FileSystem& fs = platform::RealFileSystem()) {
        SyncSession s = Unloaded(start, target, copy, reverse);
        s.CurrentRule.Options = std::move(options);
        RecordingLoad shown;
        loaded = LoadFolders(s, fs, shown);
        EXPECT_TRUE(loaded.compared);
        return s;
    }
    RunResult lastRun;
    RunResult run(SyncSession& s, platform::FileOps& ops = RunOps()) {
        lastRun = RunSynchronisation(s, ops, view);
        return lastRun;
    }
    std::string below(const std::string& path) const { return path.substr(t.root().size() + 1); }
    // The entries of a list by their paths below the trees' folder.
    template <class Records> // a list or a scanned tree's records
    Lines paths(const Records& list) const {
        Lines out;
        for (const MyFile* f : list)
            out.push_back(below(f->Path()));
        return out;
    }
    // Each failed copy and then each failed deletion as "<path below the trees' folder>:
    // <reason>", a copy by its destination.
    Lines failed() const {
        Lines out;
        for (const FailedItem& f : lastRun.failures)
            out.push_back(below(f.path) + ": " + f.reason);
        return out;
    }
};
