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
#include "platform/file_system.h"
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

// The real file system, slow below one root.
class SlowBelow final : public platform::FileSystem {
public:
    SlowBelow(std::string root, std::chrono::microseconds delay, int slowListings, int fastListings)
        : root_(std::move(root)), delay_(delay), slowListings_(slowListings),
          fastListings_(fastListings) {
        while (root_.size() > 1 && root_.back() == '/')
            root_.pop_back();
    }

    int ListDirectory(const std::string& folder, std::vector<platform::DirEntry>& e) override {
        const int err = real().ListDirectory(folder, e);
        if (slow(folder)) {
            // The real listing examines every entry but folders and links.
            std::size_t examined = 0;
            for (const platform::DirEntry& entry : e)
                examined += (entry.attributes &
                             (platform::kAttrDirectory | platform::kAttrReparsePoint)) == 0;
            std::this_thread::sleep_for(delay_ * (1 + examined));
        }
        return err;
    }
    platform::AttributeResult GetFileAttributes(const std::string& path) override {
        wait(path);
        return real().GetFileAttributes(path);
    }
    platform::AttributeResult GetTargetAttributes(const std::string& path) override {
        wait(path);
        return real().GetTargetAttributes(path);
    }
    int GetTargetId(const std::string& path, platform::FileId& id) override {
        wait(path);
        return real().GetTargetId(path, id);
    }
    DateTime GetFileLastWrite(const std::string& path) override {
        wait(path);
        return real().GetFileLastWrite(path);
    }
    std::string CanonicalPath(const std::string& path) override {
        wait(path);
        return real().CanonicalPath(path);
    }
    int ListingsInFlight(const std::string& root) override {
        return slow(root) ? slowListings_ : fastListings_;
    }
    std::unique_ptr<platform::TreeReader> OpenTree(const std::string& root) override {
        return std::make_unique<Reader>(real().OpenTree(root), slow(root) ? delay_ : delay_ * 0);
    }

private:
    class Reader final : public platform::TreeReader {
    public:
        Reader(std::unique_ptr<platform::TreeReader> real, std::chrono::microseconds delay)
            : real_(std::move(real)), delay_(delay) {}
        platform::FileState Examine(std::string_view folder, const std::string& name) override {
            if (delay_.count() > 0)
                std::this_thread::sleep_for(delay_);
            return real_->Examine(folder, name);
        }

    private:
        std::unique_ptr<platform::TreeReader> real_;
        std::chrono::microseconds delay_;
    };

    static platform::FileSystem& real() { return platform::RealFileSystem(); }
    bool slow(const std::string& path) const {
        return path.compare(0, root_.size(), root_) == 0 &&
               (path.size() == root_.size() || path[root_.size()] == '/');
    }
    void wait(const std::string& path) const {
        if (slow(path) && delay_.count() > 0)
            std::this_thread::sleep_for(delay_);
    }

    std::string root_;
    std::chrono::microseconds delay_;
    int slowListings_;
    int fastListings_;
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
    SlowBelow fs(session.TargetPath, std::chrono::microseconds(delayUs), listings, startListings);
    SilentView view;
    const auto begin = Clock::now();
    const LoadResult result = LoadFolders(session, fs, view);
    const auto end = Clock::now();
    std::printf("load %.3f scan %.3f compare %.3f start %zu target %zu copy %zu delete %zu\n",
                Seconds(end - begin), Seconds(view.compareBegins - begin),
                Seconds(end - view.compareBegins), session.StartFiles.size(),
                session.TargetFiles.size(), session.CopyList.size(), session.DeleteList.size());
    return result.compared ? 0 : 1;
}
