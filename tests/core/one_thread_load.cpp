#include "one_thread_load.h"

#include "engine/compare_trees.h"
#include "engine/event_throttle.h"
#include "engine/tree_scan.h"
#include "rules/exclusion_patterns.h"
#include "run_test_support.h"

std::vector<std::string> Described(const SyncSession& s, const std::vector<FailedItem>& problems) {
    std::vector<std::string> out;
    auto add = [&](const char* list, const MyFile* f) {
        out.push_back(std::string(list) + " " + f->Path() + " " + std::to_string(f->Size) + " " +
                      std::to_string(f->LastWrite) + " " + std::to_string(f->Attributes) +
                      (f->IsStart ? " start" : ""));
    };
    for (const MyFile* f : s.StartFiles)
        add("S", f);
    for (const MyFile* f : s.TargetFiles)
        add("T", f);
    for (const MyFile* f : s.CopyList)
        add("C", f);
    for (const MyFile* f : s.DeleteList)
        add("D", f);
    for (const FailedItem& p : problems)
        out.push_back("P " + p.path + " " + std::to_string(p.error));
    return out;
}

LoadedTrees LoadOnOneThread(const SyncSession& like, platform::FileSystem& fs) {
    LoadedTrees loaded;
    SyncSession& one = loaded.session;
    RecordingLoad view; // what it shows goes nowhere
    EventThrottle throttle(view);
    one.StartPath = like.StartPath;
    one.TargetPath = like.TargetPath;
    one.CurrentRule = like.CurrentRule;
    const std::atomic<bool> stop{false};
    const ExclusionPatterns exclusions =
        ExclusionPatterns::Compile(one.CurrentRule.Options.Exclusions);
    TreeScan start(fs, one.CurrentRule, one.StartPath, true, stop, &exclusions);
    start.run(&throttle);
    one.StartFiles = std::move(start.files);
    loaded.problems = std::move(start.problems);
    if (one.CurrentRule.scansTarget()) {
        TreeScan target(fs, one.CurrentRule, one.TargetPath, false, stop, &exclusions);
        target.run(&throttle);
        one.TargetFiles = std::move(target.files);
        loaded.problems.insert(loaded.problems.end(), target.problems.begin(),
                               target.problems.end());
    }
    CompareTrees(one, fs, view, throttle, loaded.problems);
    return loaded;
}
