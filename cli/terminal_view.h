#pragma once

#include "engine/load_view.h"
#include "engine/sync_run.h"
#include "status_line.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SyncSession;

// How the terminal front end shows and asks.
struct TerminalSettings {
    bool quiet = false;          // no progress at all
    bool assumeYes = false;      // deleting needs no answer
    bool stderrTerminal = false; // progress is drawn, in place; never into a log or a pipe
    bool stdoutTerminal = false; // listed actions share the terminal with the progress
    bool stdinTerminal = false;  // the delete question can be answered
    bool listActions = false;    // each action done is listed on standard output
    bool nullEnds = false;       // listed paths end with NUL; other texts go to standard error
};

// The load's and the run's view in a terminal: one line of progress on standard error, the
// delete question on the terminal, and every failure kept for the summary.
class TerminalView final : public LoadView, public RunView {
public:
    TerminalView(SyncSession& session, const TerminalSettings& settings);

    // LoadView (and PumpEvents and StopRequested below, which both views have)
    void StatusText(const std::string& text) override;
    void ActivityStep() override;
    void ShowComparisonProgress(std::int64_t maximum) override;
    void ComparisonProgress(std::int64_t value) override;

    // RunView
    void PlannedCopies(const std::string& files, const std::string& size) override;
    void FilesLeft(const std::string& files) override;
    void CurrentFile(const std::string& name, const std::string& from,
                     const std::string& to) override;
    void CopyProgress(const CopyProgressDisplay& display) override;
    void PumpEvents() override {}
    bool StopRequested() override;
    bool ConfirmDelete(std::size_t count, bool toRecycleBin) override;
    void ActionDone(RunAction action, const std::string& path, const std::string& reason) override;
    bool ListsActions() const override { return settings_.listActions; }
    // A conflict left as it is, listed with "=".
    void ConflictLeft(const std::string& path);
    // Where the texts that are not listed actions go.
    std::FILE* textOut() const { return settings_.nullEnds ? stderr : stdout; }

    // The load is over: its line ends (or is wiped), and texts from now on are the run's.
    void beginRun(bool keepLoadLine);
    // Shows the last state of the progress line and ends it, or wipes it; it stays ended
    // until the next phase of the load or the run begins.
    void endProgress(bool keep = true);

    std::int64_t filesStarted() const { return filesStarted_; }
    // Deleting was due but left out, as nobody could be asked.
    bool deleteRefused() const { return deleteRefused_; }
    // A stop was asked for and seen by the load or the run.
    bool stopSeen() const { return stopSeen_; }

private:
    enum class Phase { Idle, Scanning, Comparing, Copying };
    std::string progressText() const;
    bool showsLine() const;
    void refresh();

    SyncSession& session_;
    TerminalSettings settings_;
    StatusLine line_;
    Phase phase_ = Phase::Idle;
    std::int64_t found_ = 0;
    std::int64_t compareMaximum_ = 0;
    std::int64_t compareValue_ = 0;
    std::int64_t plannedFiles_ = 0;
    std::int64_t filesStarted_ = 0;
    std::string currentName_;
    CopyProgressDisplay progress_;
    bool running_ = false;
    bool deleteRefused_ = false;
    bool stopSeen_ = false;
    std::chrono::steady_clock::time_point lastListFlush_{};
};
