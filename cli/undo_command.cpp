#include "undo_command.h"

#include "engine/undo_plan.h"
#include "platform/file_ops.h"
#include "status_line.h"
#include "stop_signals.h"
#include "sync_options.h"
#include "terminal_question.h"

#include <cstdio>
#include <unistd.h>

namespace {

// Progress on one line of the error stream where that is a terminal, as a run's; a stop signal
// ends the undo after the entry at hand.
class TerminalUndoView final : public UndoView {
public:
    explicit TerminalUndoView(bool quiet)
        : quiet_(quiet || ::isatty(STDERR_FILENO) != 1), line_(stderr) {}
    ~TerminalUndoView() override { line_.end(quiet_ ? std::string() : shown_); }

    void StatusText(const std::string&) override {}
    void Progress(std::int64_t done, std::int64_t total) override {
        if (quiet_ || !line_.due())
            return;
        shown_ = std::to_string(done) + " von " + std::to_string(total) + " Einträgen";
        line_.show(shown_);
    }
    void PumpEvents() override {}
    bool StopRequested() override { return StopSignalled(); }

private:
    bool quiet_;
    StatusLine line_;
    std::string shown_;
};

constexpr std::size_t kLabelWidth = 34; // "Entfernte Ordner wieder angelegt:"

std::size_t Characters(const std::string& text) {
    std::size_t n = 0;
    for (const char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

void PrintPlan(const UndoPlan& plan) {
    for (const std::string& line : PlanHeading(plan))
        std::printf("%s\n", line.c_str());
    for (const UndoGroup& g : PlanGroups(plan))
        std::printf("  %s\n", g.line.c_str());
    std::fflush(stdout);
}

void PrintResult(const UndoResult& r, bool quiet) {
    if (!quiet) {
        std::printf("%s\n", r.onlyChecked ? "Rückgängig machen würde:"
                            : r.stopped   ? "Rückgängig machen abgebrochen"
                                          : "Letzter Abgleich rückgängig gemacht");
        for (const UndoSummaryLine& l : UndoSummary(r))
            std::printf(
                "  %s%s %lld\n", l.label.c_str(),
                std::string(kLabelWidth - std::min(kLabelWidth, Characters(l.label)), ' ').c_str(),
                static_cast<long long>(l.count));
        std::fflush(stdout);
    }
    if (!r.left.empty()) {
        std::fprintf(stderr, "%s\n",
                     r.onlyChecked ? "Folgendes würde nicht zurückgelegt:"
                                   : "Folgendes wurde nicht zurückgelegt:");
        for (const UndoLeft& l : r.left)
            std::fprintf(stderr, "  %s: %s\n", l.path.c_str(), l.reason.c_str());
    }
    if (!r.onlyChecked && !r.stopped && !r.markedUndone)
        std::fprintf(stderr, "Das Protokoll des Abgleichs konnte nicht als rückgängig gemacht "
                             "vermerkt werden; ein zweiter Aufruf findet nichts mehr zu tun.\n");
    std::fflush(stderr);
}

} // namespace

int RunUndoCommand(const SyncOptions& options) {
    InstallStopSignals();
    if (!options.commandLine.empty() || options.rule || options.ruleText) {
        std::fprintf(stderr, "--rueckgaengig nimmt keine Ordner und keine Regel: rückgängig "
                             "gemacht wird der letzte Abgleich. (--help zeigt mehr)\n");
        return kExitWrongCall;
    }
    platform::FileOps& ops = platform::RealFileOps();
    std::string why;
    const std::optional<UndoPlan> plan = FindUndoableRun(ops, why);
    if (!plan) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return kExitWrongCall;
    }
    if (!options.quiet)
        PrintPlan(*plan);
    if (!options.dryRun && !options.yes) {
        if (::isatty(STDIN_FILENO) != 1) {
            std::fprintf(stderr, "Es wurde nichts rückgängig gemacht: Ohne --ja wird nur an "
                                 "einem Terminal nachgefragt.\n");
            return kExitSomeFailed;
        }
        if (!AskYes("Diesen Abgleich rückgängig machen?")) {
            if (StopSignalled())
                return kExitStopped;
            std::printf("Es wurde nichts rückgängig gemacht.\n");
            return kExitDone; // the user's choice, as a declined deletion of a run
        }
    }
    UndoResult result;
    {
        TerminalUndoView view(options.quiet);
        result = RunUndo(*plan, ops, view, options.dryRun);
    }
    if (!result.refused.empty()) {
        std::fprintf(stderr, "%s\n", result.refused.c_str());
        return kExitWrongCall;
    }
    PrintResult(result, options.quiet);
    if (result.stopped)
        return kExitStopped;
    return result.left.empty() && (result.onlyChecked || result.markedUndone) ? kExitDone
                                                                              : kExitSomeFailed;
}
