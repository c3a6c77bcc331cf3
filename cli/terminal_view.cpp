#include "terminal_view.h"

#include "action_lines.h"
#include "engine/sync_session.h"
#include "engine/texts.h"
#include "stop_signals.h"
#include "terminal_question.h"

#include <cstdio>

namespace {

std::string Percent(std::int64_t value, std::int64_t maximum) {
    return std::to_string(maximum > 0 ? value * 100 / maximum : 0) + "%";
}

} // namespace

TerminalView::TerminalView(SyncSession& session, const TerminalSettings& settings)
    : session_(session), settings_(settings), line_(stderr) {}

std::string TerminalView::progressText() const {
    switch (phase_) {
    case Phase::Idle:
        return {};
    case Phase::Scanning:
        return "Dateien gefunden: " + std::to_string(found_);
    case Phase::Comparing:
        return "Vergleiche " + std::to_string(compareMaximum_) +
               " Dateien: " + Percent(compareValue_, compareMaximum_);
    case Phase::Copying:
        break;
    }
    // Empty files move no bytes: then the files count.
    const std::string percent = session_.TotalSize > 0 ? std::to_string(progress_.totalBar) + "%"
                                                       : Percent(filesStarted_, plannedFiles_);
    std::string text = percent + " | " + std::to_string(filesStarted_) + " von " +
                       std::to_string(plannedFiles_) + " Dateien";
    if (progress_.megabytesLeft)
        text += " | noch " + *progress_.megabytesLeft;
    if (progress_.speed)
        text += " | " + *progress_.speed;
    if (progress_.timeLeft)
        text += " | fertig in ca. " + *progress_.timeLeft;
    if (!currentName_.empty())
        text += " | " + currentName_;
    return text;
}

// Progress is drawn in place on a terminal; a log or a pipe gets none.
bool TerminalView::showsLine() const {
    return !settings_.quiet && settings_.stderrTerminal;
}

void TerminalView::refresh() {
    if (showsLine() && line_.due())
        line_.show(progressText());
}

void TerminalView::endProgress(bool keep) {
    line_.end(keep && showsLine() ? progressText() : std::string());
    phase_ = Phase::Idle; // the line is not drawn again until a new phase begins
}

void TerminalView::beginRun(bool keepLoadLine) {
    endProgress(keepLoadLine);
    running_ = true;
}

void TerminalView::StatusText(const std::string& text) {
    if (!running_) {
        // The load's texts name the folder being read: the line shows the count instead, and
        // what could not be read is listed at the end.
        if (phase_ == Phase::Idle)
            phase_ = Phase::Scanning;
        return;
    }
    endProgress();
    if (!settings_.quiet)
        std::fprintf(textOut(), "%s\n", text.c_str());
}

void TerminalView::ActionDone(RunAction action, const std::string& path,
                              const std::string& reason) {
    if (!settings_.listActions)
        return;
    // The line being drawn is wiped first where both share the terminal; it comes back with
    // the next progress.
    if (settings_.stdoutTerminal)
        line_.end({});
    char mark = '+';
    const char* end = "";
    switch (action) {
    case RunAction::Copied:
        break;
    case RunAction::CopiedBack:
        mark = '<';
        break;
    case RunAction::Deleted:
        mark = '-';
        break;
    case RunAction::FolderMade:
        end = path.empty() || path.back() == '/' ? "" : "/";
        break;
    case RunAction::FolderMadeBack:
        mark = '<';
        end = path.empty() || path.back() == '/' ? "" : "/";
        break;
    case RunAction::Failed:
        mark = '!';
        break;
    }
    PrintActionLine(stdout, mark, path, end, settings_.nullEnds, reason);
    // A reader at the other end of a pipe sees the actions soon, not at the end.
    const auto now = std::chrono::steady_clock::now();
    if (settings_.stdoutTerminal || now - lastListFlush_ >= std::chrono::milliseconds(100)) {
        std::fflush(stdout);
        lastListFlush_ = now;
    }
}

void TerminalView::ConflictLeft(const std::string& path) {
    if (settings_.listActions)
        PrintActionLine(stdout, '=', path, "", settings_.nullEnds);
}

void TerminalView::ActivityStep() {
    ++found_;
    if (StopSignalled())
        session_.AbortRequested = true;
    if ((found_ & 63) == 0)
        refresh();
}

void TerminalView::ShowComparisonProgress(std::int64_t maximum) {
    phase_ = Phase::Comparing;
    compareMaximum_ = maximum;
    compareValue_ = 0;
    refresh();
}

void TerminalView::ComparisonProgress(std::int64_t value) {
    compareValue_ = value;
    if (StopSignalled())
        session_.AbortRequested = true;
    refresh();
}

void TerminalView::PlannedCopies(const std::string&, const std::string&) {
    phase_ = Phase::Copying;
    plannedFiles_ = SelectedTotals(session_.CopyList).count;
}

void TerminalView::FilesLeft(const std::string&) {
    refresh();
}

void TerminalView::CurrentFile(const std::string& name, const std::string&, const std::string&) {
    ++filesStarted_;
    currentName_ = name;
    refresh();
}

void TerminalView::CopyProgress(const CopyProgressDisplay& display) {
    // The texts are written only once there is something to say, as in the window.
    progress_.totalBar = display.totalBar;
    for (auto [mine, theirs] : {std::pair{&progress_.timeLeft, &display.timeLeft},
                                std::pair{&progress_.megabytesLeft, &display.megabytesLeft},
                                std::pair{&progress_.speed, &display.speed}})
        if (*theirs)
            *mine = *theirs;
    refresh();
}

bool TerminalView::StopRequested() {
    if (!StopSignalled())
        return false;
    if (!stopSeen_) {
        stopSeen_ = true;
        endProgress();
        if (!settings_.quiet)
            std::fprintf(stderr, "Abbruch: Die laufende Datei wird fertig kopiert, "
                                 "weiter wird nichts kopiert oder gelöscht.\n");
    }
    return true;
}

bool TerminalView::ConfirmDelete(std::size_t count, bool toRecycleBin) {
    endProgress();
    if (settings_.assumeYes)
        return true;
    if (!settings_.stdinTerminal) {
        deleteRefused_ = true;
        std::fprintf(stderr,
                     "Es wird nichts gelöscht (%zu %s): Ohne --ja wird nur an einem Terminal "
                     "nachgefragt.\n",
                     count, count == 1 ? "Datei" : "Dateien");
        return false;
    }
    const bool yes = AskYes(DeleteQuestion(count, toRecycleBin));
    if (StopSignalled())
        StopRequested(); // the note follows the question's line
    return yes;
}
