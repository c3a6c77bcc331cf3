// Times the engine's load and comparison of two trees without a window, as "Ordner laden"
// does it, and reports the peak memory of the process.
#include "engine/folder_loading.h"
#include "engine/load_view.h"
#include "engine/sync_run.h"
#include "engine/sync_session.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "rules/rule_store.h"

#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class SilentView final : public LoadView {
public:
    std::chrono::steady_clock::time_point compareBegins;
    void StatusText(const std::string& text) override {
        if (text.rfind("Vergleiche", 0) == 0)
            compareBegins = std::chrono::steady_clock::now();
    }
    void ActivityStep() override {}
    void ShowComparisonProgress(std::int64_t) override {}
    void ComparisonProgress(std::int64_t) override {}
    void PumpEvents() override {}
    bool StopRequested() override { return false; }
};

// A run without a window that answers the delete question "Ja".
class SilentRun final : public RunView {
public:
    void StatusText(const std::string&) override {}
    void PlannedCopies(const std::string&, const std::string&) override {}
    void FilesLeft(const std::string&) override {}
    void CurrentFile(const std::string&, const std::string&, const std::string&) override {}
    void CopyProgress(const CopyProgressDisplay&) override {}
    void PumpEvents() override {}
    bool StopRequested() override { return false; }
    bool ConfirmDelete(std::size_t, bool) override { return true; }
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s START TARGET [RULE] [--run] [--ausschliessen MUSTER]...\n",
                     argv[0]);
        return 2;
    }
    const bool run = argc > 4 && std::string(argv[4]) == "--run";
    SyncSession session;
    session.StartPath = argv[1];
    session.TargetPath = argv[2];
    session.CurrentRule = ParseRuleText("Bench", argc > 3 ? argv[3] : "0|4|1|1", '.');
    // Exclusion patterns, each after its own --ausschliessen.
    for (int i = 4; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--ausschliessen")
            session.CurrentRule.Options.Exclusions.emplace_back(argv[++i]);
    SilentView view;
    const auto begin = std::chrono::steady_clock::now();
    const LoadResult result = LoadFolders(session, platform::RealFileSystem(), view);
    if (run) {
        const auto loaded = std::chrono::steady_clock::now();
        SilentRun runView;
        const RunResult outcome = RunSynchronisation(session, platform::RealFileOps(), runView);
        if (!outcome.refused.empty())
            std::fprintf(stderr, "%s\n", outcome.refused.c_str());
        std::printf(
            "load %.3f run %.3f failures %d ",
            std::chrono::duration<double>(loaded - begin).count(),
            std::chrono::duration<double>(std::chrono::steady_clock::now() - loaded).count(),
            int(outcome.failures.size()));
    }
    const auto end = std::chrono::steady_clock::now();
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("scan %.3f compare %.3f ",
                std::chrono::duration<double>(view.compareBegins - begin).count(),
                std::chrono::duration<double>(end - view.compareBegins).count());
    std::printf("seconds %.3f start %zu target %zu copy %zu delete %zu peak_kib %ld\n",
                std::chrono::duration<double>(end - begin).count(), session.StartFileCount,
                session.TargetFileCount, session.CopyList.size(), session.DeleteList.size(),
                usage.ru_maxrss);
    return result.compared ? 0 : 1;
}
