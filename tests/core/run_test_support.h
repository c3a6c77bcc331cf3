#pragma once

#include "engine/folder_loading.h"
#include "engine/load_view.h"
#include "engine/sync_run.h"
#include "engine/sync_session.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

// What the load and run tests share: a silent load view, a run view that records everything,
// and a load of two trees as the window does it.
namespace fs = std::filesystem;

class SilentLoad : public LoadView {
public:
    void StatusText(const std::string&) override {}
    void ActivityStep() override {}
    void ShowComparisonProgress(std::int64_t) override {}
    void ComparisonProgress(std::int64_t) override {}
};

struct Failure {
    std::string source, destination, reason;
};

class RecordingRun : public RunView {
public:
    std::vector<std::string> texts;
    std::string planned, plannedSize, filesLeft;
    std::vector<std::string> nach;
    std::vector<CopyProgressDisplay> progress;
    std::vector<Failure> failures;
    std::vector<std::pair<std::size_t, bool>> questions; // count, to the trash
    bool answer = true;
    std::vector<DeleteFailure> deleteFailures;
    int stopAfter = -1; // StopRequested answers true from this question on
    int stopQuestions = 0;

    void StatusText(const std::string& t) override { texts.push_back(t); }
    void PlannedCopies(const std::string& f, const std::string& s) override {
        planned = f;
        plannedSize = s;
    }
    void FilesLeft(const std::string& f) override { filesLeft = f; }
    void CurrentFile(const std::string&, const std::string&, const std::string& to) override {
        nach.push_back(to);
    }
    void CopyProgress(const CopyProgressDisplay& d) override { progress.push_back(d); }
    void CopyFailed(const std::string& s, const std::string& d, const std::string& r) override {
        failures.push_back({s, d, r});
    }
    void PumpEvents() override {}
    bool StopRequested() override { return stopAfter >= 0 && ++stopQuestions > stopAfter; }
    bool ConfirmDelete(std::size_t count, bool toTrash) override {
        questions.emplace_back(count, toTrash);
        return answer;
    }
    void DeleteFailed(const std::vector<DeleteFailure>& f) override { deleteFailures = f; }
};

inline std::string Content(const std::string& path) {
    return ReadFile(path);
}

// Every file below `root` whose name marks it as a temporary file of the copy.
inline std::vector<std::string> TemporaryFiles(const std::string& root) {
    std::vector<std::string> found;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.path().filename().string().rfind(platform::kTemporaryPrefix, 0) == 0)
            found.push_back(e.path().string());
    return found;
}

// Loads as the window does, which only loads folders that exist.
inline SyncSession Load(const std::string& start, const std::string& target, int copy,
                        int reverse) {
    fs::create_directories(start);
    fs::create_directories(target);
    SyncSession s;
    s.StartPath = start;
    s.TargetPath = target;
    s.CurrentRule.CopyCondition = copy;
    s.CurrentRule.ReverseAction = reverse;
    s.CurrentRule.IncludeSubfolders = true;
    s.CurrentRule.ReadOnlyFiles = s.CurrentRule.HiddenFiles = s.CurrentRule.SystemFiles = true;
    SilentLoad view;
    EXPECT_TRUE(LoadFolders(s, platform::RealFileSystem(), view).compared);
    return s;
}
