#pragma once

#include "child_process.h"
#include "temp_home.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

// Every folder and file below `root` by its relative path, a file with its content and time:
// two snapshots are equal only when nothing was changed.
std::map<std::string, std::string> Snapshot(const std::string& root);

// The value on the summary's line `label` ("Kopiert:"), or "(fehlt)".
std::string SummaryValue(const std::string& out, const std::string& label);

// A start and a target tree that differ in every way a rule looks at:
//   start/neu.txt              only in the start tree
//   start/sub/geaendert.txt    newer than its target file
//   start/gleich.txt           the same in both
//   target/nur_im_ziel.txt     only in the target tree
struct SyncTrees {
    SyncTrees();
    // The arguments for a run of `rule` on the two trees, after `options`.
    std::vector<std::string> parts(const std::string& rule,
                                   std::vector<std::string> options = {}) const;

    TreeBuilder tree;
    std::string start;
    std::string target;
};

// Each test has a home of its own with the rules "Aktualisieren" (copies only),
// "Endgültig" (deletes for good), "Papierkorb" (into the trash) and "Spiegel" (deletes for
// good, hidden files included).
class SyncProgramTest : public ::testing::Test {
protected:
    SyncProgramTest();

    TempHome home;
};
