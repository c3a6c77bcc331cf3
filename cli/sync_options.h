#pragma once

#include <optional>
#include <string>
#include <vector>

// The program's own options, picked out of its arguments; the rest is the command line with
// the folders and the rule.
struct SyncOptions {
    bool dryRun = false;                     // --vorschau, --dry-run, -n: only show the lists
    bool yes = false;                        // --ja, --yes: delete without asking
    bool quiet = false;                      // --leise, --quiet, -q: only errors
    bool listActions = false;                // --liste, --verbose, -v: each action as done
    bool nullEnds = false;                   // --null, -0: listed paths end with NUL
    bool help = false;                       // --help, -h
    bool version = false;                    // --version
    bool listRules = false;                  // --regeln: the stored rules in words
    bool copyConflicts = false;              // --konflikte-kopieren: same time, other size too
    bool links = false;                      // --verknuepfungen: the rule takes links
    bool folders = false;                    // --ordner-angleichen: the rule matches folders
    bool undo = false;                       // --rueckgaengig, --undo: undo the last run
    std::optional<std::string> ruleText;     // --regel-text 0|5|1|2: an unnamed rule
    std::optional<std::string> rule;         // --regel NAME: the rule for START ZIEL
    std::vector<std::string> exclusions;     // --ausschliessen MUSTER, in their order
    std::vector<std::string> exclusionFiles; // --ausschliessen-aus DATEI: a pattern a line
    std::vector<std::string> commandLine;    // the arguments that are no options, in order
    std::string error;                       // an option not known or without its value
};

// Options may stand anywhere among the arguments; after "--" every argument belongs to the
// command line, for a folder name that looks like an option.
SyncOptions ParseSyncOptions(int argc, const char* const* argv);

// The German help: how to call the program, its options, an example and the exit codes.
std::string UsageText();

// The exit codes, as the help names them.
enum ExitCode : int {
    kExitDone = 0,
    kExitSomeFailed = 1,
    kExitWrongCall = 2,
    kExitStopped = 3,
};
