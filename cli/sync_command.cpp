#include "sync_command.h"

#include "engine/copy_errors.h"
#include "engine/folder_loading.h"
#include "engine/sync_run.h"
#include "engine/sync_session.h"
#include "list_printer.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/registry/registry_api.h"
#include "rules/first_start.h"
#include "rules/quick_sort.h"
#include "rules/rule_store.h"
#include "run_summary.h"
#include "settings/cls_registry.h"
#include "settings/command_line.h"
#include "stop_signals.h"
#include "sync_options.h"
#include "terminal_view.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace {

void PrintError(std::string message) {
    // The window's messages break lines with CR LF; a terminal and a log want LF alone.
    for (auto pos = message.find("\r\n"); pos != std::string::npos; pos = message.find("\r\n"))
        message.erase(pos, 1);
    std::fprintf(stderr, "%s\n", message.c_str());
}

std::string JoinedCommandLine(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv{"gleichwart-sync"};
    for (const std::string& a : arguments)
        argv.push_back(a.c_str());
    return JoinArguments(static_cast<int>(argv.size()), argv.data());
}

// The stored rule names in the order of the window's rule list, where the last of several
// names that differ only in letter case wins. Where the window never stored any, nothing is
// created: the window gives a new user its first rules only while its key is missing.
std::vector<std::string> StoredRuleNames() {
    win::HKEY key = 0;
    if (win::RegOpenKeyExA(win::HKEY_CURRENT_USER, kRulesKey, 0, win::KEY_ALL_ACCESS, &key) !=
        win::ERROR_SUCCESS)
        return {};
    win::RegCloseKey(key);
    clsRegistry registry;
    std::vector<std::string> names =
        registry.EnumValues(clsRegistry::HKEY_CURRENT_USER, kRulesKey, true);
    if (names.size() >= 2)
        QuickSort(names, 0, names.size() - 1);
    return names;
}

std::int32_t SecondsSince(std::chrono::steady_clock::time_point began) {
    return static_cast<std::int32_t>(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - began)
            .count());
}

// What the arguments ask for, in either of the two forms: START ZIEL with --regel, taken
// byte for byte, or the window's command line with its keys.
CommandLine ReadRequest(const SyncOptions& options, std::string& error) {
    if (options.rule && options.ruleText) {
        error = "--regel und --regel-text schließen einander aus: es gilt eine Regel. "
                "(--help zeigt mehr)";
        return {};
    }
    const std::string joined = JoinedCommandLine(options.commandLine);
    const std::size_t firstPart = FirstPartPosition(joined);
    const std::size_t firstText = joined.find_first_not_of(' ');
    if (firstPart != std::string::npos) {
        // A folder before the first key, or --regel, would be silently dropped.
        if (options.rule || options.ruleText || firstText < firstPart)
            error = "START ZIEL und '/Startordner|…' '/Zielordner|…' '/Regel|…' lassen sich "
                    "nicht mischen; die Regel für START ZIEL wählt --regel NAME. "
                    "(--help zeigt mehr)";
        return ParseCommandLine(joined);
    }
    if (firstText == std::string::npos && !options.rule) {
        error = "Es wurde nichts angegeben. Aufruf: gleichwart-sync '/Startordner|ORDNER' "
                "'/Zielordner|ORDNER' '/Regel|NAME' (--help zeigt mehr)";
        return {};
    }
    if (options.commandLine.size() != 2) {
        error = "Erwartet werden genau zwei Ordner: gleichwart-sync [Optionen] START ZIEL "
                "(--help zeigt mehr)";
        return {};
    }
    CommandLine request;
    request.given = true;
    request.startFolder = options.commandLine[0];
    request.targetFolder = options.commandLine[1];
    request.ruleNames = {options.rule.value_or("Aktualisieren")};
    return request;
}

// The patterns of --ausschliessen and of the files of --ausschliessen-aus, after the rule's
// own; false, with the reason printed, when a file cannot be read.
bool AddExclusions(const SyncOptions& options, std::vector<std::string>& patterns) {
    patterns.insert(patterns.end(), options.exclusions.begin(), options.exclusions.end());
    for (const std::string& file : options.exclusionFiles) {
        std::FILE* in = std::fopen(file.c_str(), "rb");
        if (in == nullptr) {
            PrintError("Die Musterdatei \"" + file +
                       "\" kann nicht gelesen werden: " + ErrorDescription(errno));
            return false;
        }
        std::string line;
        for (int c = std::fgetc(in);; c = std::fgetc(in)) {
            if (c == EOF || c == '\n') {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                if (!line.empty())
                    patterns.push_back(line);
                line.clear();
                if (c == EOF)
                    break;
            } else {
                line += char(c);
            }
        }
        std::fclose(in);
    }
    return true;
}

// The session's folders and rule as the arguments ask for them, after the same checks as the
// window's; false, with the reason printed, when they cannot be loaded.
bool PrepareSession(const SyncOptions& options, platform::FileSystem& fs, SyncSession& session) {
    std::string error;
    const CommandLine commandLine = ReadRequest(options, error);
    if (!error.empty()) {
        PrintError(error);
        return false;
    }
    {
        // A first use from the terminal stores what the window's first start does.
        clsRegistry registry;
        StoreFirstStartSettings(registry);
    }
    if (options.ruleText) {
        // An unnamed rule, read as a stored one is; a text a stored rule could not be is
        // refused rather than run as the fallback a damaged stored rule reads as.
        session.CurrentRule = ParseRuleText("Befehlszeile", *options.ruleText, '.');
        if (RuleText(session.CurrentRule) != *options.ruleText) {
            PrintError("Der Regeltext \"" + *options.ruleText +
                       "\" ist keine Regel: erwartet werden vier Zahlen wie 0|5|1|2 "
                       "(kopieren|Zielseite|Unterordner|Attribute).");
            return false;
        }
    }
    const std::vector<std::string> ruleNames = StoredRuleNames();
    const RuleChoice choice =
        options.ruleText ? RuleChoice{std::size_t(0), {}} : ChooseRule(commandLine, ruleNames);
    if (!choice.index) {
        PrintError(choice.message);
        if (ruleNames.empty() && commandLine.ruleGiven())
            PrintError("Es sind keine Regeln gespeichert. Regeln werden im Fenster von "
                       "Gleichwart angelegt.");
        return false;
    }
    // The folders exactly as read: a neighbour with blanks less is no stand-in.
    session.StartPath = commandLine.startFolder.value_or("");
    session.TargetPath = commandLine.targetFolder.value_or("");
    if (const std::string message = CheckPaths(fs, session.StartPath, session.TargetPath);
        !message.empty()) {
        PrintError(message);
        return false;
    }
    if (!options.ruleText)
        session.CurrentRule = LoadRule(ruleNames[*choice.index]);
    session.CurrentRule.Options.SymbolicLinks |= options.links;
    session.CurrentRule.Options.MatchFolders |= options.folders;
    return AddExclusions(options, session.CurrentRule.Options.Exclusions);
}

// Conflicts are ticked when the user asked for them to be copied; otherwise each one is named
// on the error stream (and listed with "=" where actions are listed), and their number
// returned.
std::int64_t TakeConflicts(SyncSession& session, bool copy, bool quiet, TerminalView& view) {
    std::int64_t left = 0;
    for (MyFile* f : session.CopyList) {
        if (!f->IsConflict())
            continue;
        if (session.KindsClash(*f)) {
            ++left;
            view.ConflictLeft(f->Path());
            if (!quiet)
                std::fprintf(
                    stderr,
                    "Konflikt, nicht angetastet (Verknüpfung gegen Datei oder Ordner): %s\n",
                    f->Path().c_str());
            continue;
        }
        if (copy) {
            f->Selected = true;
            continue;
        }
        ++left;
        view.ConflictLeft(f->Path());
        if (!quiet)
            std::fprintf(stderr, "Konflikt, nicht kopiert (gleicher Zeitpunkt, andere Größe): %s\n",
                         f->Path().c_str());
    }
    return left;
}

TerminalSettings SettingsFor(const SyncOptions& options) {
    TerminalSettings settings;
    settings.quiet = options.quiet;
    settings.assumeYes = options.yes;
    settings.stderrTerminal = ::isatty(STDERR_FILENO) == 1;
    settings.stdoutTerminal = ::isatty(STDOUT_FILENO) == 1;
    settings.stdinTerminal = ::isatty(STDIN_FILENO) == 1;
    // A dry run lists the plan, not the actions.
    settings.listActions = options.listActions && !options.dryRun;
    settings.nullEnds = options.nullEnds;
    return settings;
}

} // namespace

int RunSyncCommand(const SyncOptions& options) {
    const auto began = std::chrono::steady_clock::now();
    InstallStopSignals();
    platform::FileSystem& fs = platform::RealFileSystem();
    SyncSession session;
    if (!PrepareSession(options, fs, session))
        return kExitWrongCall;

    TerminalView view(session, SettingsFor(options));
    if (!options.quiet && !options.dryRun)
        std::fprintf(view.textOut(), "Regel \"%s\": %s -> %s\n", session.CurrentRule.Name.c_str(),
                     session.StartPath.c_str(), session.TargetPath.c_str());
    const LoadResult load = LoadFolders(session, fs, view);
    // Only the lists are written in a dry run, so that they can be read by a script.
    view.beginRun(!options.dryRun);
    if (StopSignalled() || (!load.error && load.rootError.empty() && !load.compared)) {
        PrintError("Abgebrochen beim Laden der Ordner; nichts wurde verändert.");
        return kExitStopped;
    }
    if (load.error || !load.rootError.empty()) {
        PrintError(load.error ? load.error->Description : load.rootError);
        return kExitWrongCall;
    }
    const bool unreadable = !load.problems.empty();
    const std::int64_t conflictsLeft =
        TakeConflicts(session, options.copyConflicts, options.quiet, view);
    // On the error stream, so that the lists of a dry run stay as a script reads them.
    if (!load.leftOut.empty() && !options.quiet)
        std::fprintf(stderr, "%s\n", load.leftOut.c_str());
    if (options.dryRun) {
        PrintLists(session, stdout, options.nullEnds);
        std::fflush(stdout);
        PrintFailures(stderr, load.problems);
        return unreadable || conflictsLeft > 0 ? kExitSomeFailed : kExitDone;
    }

    const RunResult result = RunSynchronisation(session, platform::RealFileOps(), view);
    view.endProgress();
    if (!result.refused.empty()) {
        PrintError(result.refused);
        return kExitWrongCall;
    }
    const bool stopped = result.stoppedEarly || view.stopSeen();
    if (!options.quiet)
        PrintSummary(view.textOut(), result, stopped,
                     session.CurrentRule.ReverseAction == kMoveToTrash, SecondsSince(began));
    PrintFailures(stderr, load.problems);
    PrintFailures(stderr, result.failures);
    if (stopped)
        return kExitStopped;
    if (!result.failures.empty() || unreadable || conflictsLeft > 0 || view.deleteRefused())
        return kExitSomeFailed;
    return kExitDone;
}
