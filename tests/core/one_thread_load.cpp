#include "one_thread_load.h"

#include "engine/compare_trees.h"
#include "engine/event_throttle.h"
#include "engine/tree_comparison.h"
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
    out.push_back("S " + std::to_string(s.StartFileCount));
    out.push_back("T " + std::to_string(s.TargetFileCount));
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
    FolderHandover handover; // holds both trees whole until they are compared
    handover.Unbound();
    TreeScan start(fs, one.CurrentRule, one.StartPath, true, stop, handover, &exclusions);
    start.run(&throttle);
    one.StartFileCount = start.found();
    loaded.problems = std::move(start.problems);
    if (one.CurrentRule.scansTarget()) {
        TreeScan target(fs, one.CurrentRule, one.TargetPath, false, stop, handover, &exclusions);
        target.run(&throttle);
        one.TargetFileCount = target.found();
        loaded.problems.insert(loaded.problems.end(), target.problems.begin(),
                               target.problems.end());
    }
    TreeComparison comparison(one, fs, view, throttle, handover);
    if (comparison.Finish(0))
        CompleteLists(one, fs, view, loaded.problems,
                      std::int64_t(one.StartFileCount + one.TargetFileCount),
                      comparison.StartBytes());
    return loaded;
}
