// Times the engine's load and comparison of two trees, as "Ordner laden" does it, with the
// target tree made to answer like a network share: every folder listing and every entry
// examined below it waits a fixed delay first. The start tree stays as fast as the disk.
//
//   gleichwart_latency_bench START TARGET RULE [--delay-us N] [--listings N]
//                            [--start-listings N] [--serial]
//
// --delay-us: the wait per listing and per examined entry (default 200 microseconds);
// --listings: listings under way at once in the target tree (default 8, as on a share);
// --start-listings: the same for the start tree (default 1, as on a local disk);
// --serial: one listing at a time in both trees.
#include "engine/folder_loading.h"
#include "engine/load_view.h"
#include "engine/sync_session.h"
#include "platform/fake_file_system.h"
#include "rules/rule_store.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class SilentView final : public LoadView {
public:
    Clock::time_point compareBegins;
    void StatusText(const std::string& text) override {
        if (text.rfind("Vergleiche", 0) == 0)
            compareBegins = Clock::now();
    }
    void ActivityStep() override {}
    void ShowComparisonProgress(std::int64_t) override {}
    void ComparisonProgress(std::int64_t) override {}
    void PumpEvents() override {}
    bool StopRequested() override { return false; }
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: %s START TARGET RULE [--delay-us N] [--listings N] "
                     "[--start-listings N] [--serial]\n",
                     argv[0]);
        return 2;
    }
    long delayUs = 200;
    int listings = 8;
    int startListings = 1;
    for (int i = 4; i < argc; ++i) {
        const std::string option = argv[i];
        const bool valued = i + 1 < argc;
        if (option == "--delay-us" && valued)
            delayUs = std::atol(argv[++i]);
        else if (option == "--listings" && valued)
            listings = std::atoi(argv[++i]);
        else if (option == "--start-listings" && valued)
            startListings = std::atoi(argv[++i]);
        else if (option == "--serial")
            listings = startListings = 1;
        else {
            std::fprintf(stderr, "unknown option %s\n", option.c_str());
            return 2;
        }
    }
    SyncSession session;
    session.StartPath = argv[1];
    session.TargetPath = argv[2];
    session.CurrentRule = ParseRuleText("Bench", argv[3], '.');
    // Below the target every listing waits the delay once and once more per entry it examines,
    // and every other question there waits it once.
    SlowDevice fs;
    fs.slowBelow = session.TargetPath;
    fs.listingWait = fs.entryWait = fs.examineWait = fs.questionWait =
        std::chrono::microseconds(delayUs);
    fs.inFlight = listings;
    fs.inFlightElsewhere = startListings;
    SilentView view;
    const auto begin = Clock::now();
    const LoadResult result = LoadFolders(session, fs, view);
    const auto end = Clock::now();
    std::printf("load %.3f scan %.3f compare %.3f start %zu target %zu copy %zu delete %zu\n",
                Seconds(end - begin), Seconds(view.compareBegins - begin),
                Seconds(end - view.compareBegins), session.StartFileCount, session.TargetFileCount,
                session.CopyList.size(), session.DeleteList.size());
    return result.compared ? 0 : 1;
}
