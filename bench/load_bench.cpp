// Times the engine's load and comparison of two trees without a window, as "Ordner laden"
// does it, and reports the peak memory of the process.
#include "engine/folder_loading.h"
#include "engine/load_view.h"
#include "engine/sync_session.h"
#include "platform/file_system.h"
#include "rules/rule_store.h"

#include <chrono>
#include <cstdio>
#include <sys/resource.h>

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
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s START TARGET [RULE]\n", argv[0]);
        return 2;
    }
    SyncSession session;
    session.StartPath = argv[1];
    session.TargetPath = argv[2];
    session.CurrentRule = ParseRuleText("Bench", argc > 3 ? argv[3] : "0|4|1|1", '.');
    SilentView view;
    const auto begin = std::chrono::steady_clock::now();
    const LoadResult result = LoadFolders(session, platform::RealFileSystem(), view);
    const auto end = std::chrono::steady_clock::now();
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("scan %.3f compare %.3f ",
                std::chrono::duration<double>(view.compareBegins - begin).count(),
                std::chrono::duration<double>(end - view.compareBegins).count());
    std::printf("seconds %.3f start %zu target %zu copy %zu delete %zu peak_kib %ld\n",
                std::chrono::duration<double>(end - begin).count(), session.StartFiles.size(),
                session.TargetFiles.size(), session.CopyList.size(), session.DeleteList.size(),
                usage.ru_maxrss);
    return result.compared ? 0 : 1;
}
