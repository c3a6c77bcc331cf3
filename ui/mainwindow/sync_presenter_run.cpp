// "Synchronisieren": the run's frame around the engine's copy and delete phases, what the
// run asks the user, and what it tells when it ends.
#include "sync_presenter.h"

#include "background_panel.h"
#include "desktop/desktop_shell.h"
#include "engine/summary_texts.h"
#include "failure_display.h"
#include "file_lists_panel.h"
#include "input_panel.h"
#include "kit/error_message.h"
#include "kit/status_bar.h"
#include "kit/text_bytes.h"
#include "platform/file_ops.h"
#include "platform/user_locale.h"
#include "progress_panel.h"
#include "run_summary_panel.h"

#include <QCoreApplication>
#include <QPushButton>

namespace {

// The status bar's text at the end of a run, and the heading of its notification.
QString EndText(const RunResult& result) {
    return !result.refused.empty() ? "Synchronisierung nicht ausgeführt"
           : result.stoppedEarly   ? "Synchronisierung abgebrochen"
                                   : "Synchronisierung beendet";
}

} // namespace

void SyncPresenter::run() {
    busy_ = true;
    panels_.statusBar->setPanelText(1, "Kopiervorgang...");
    // Disabled in this order: "Ordner laden", "Synchronisieren", the paths, "...", the rules.
    panels_.input->loadButton()->setEnabled(false);
    panels_.input->syncButton()->setEnabled(false);
    panels_.input->setRunControlsEnabled(false);
    // The lists lie below the progress panel: no key may reach them and no file verb may take
    // an entry off a list the run works through.
    panels_.lists->setEnabled(false);
    panels_.progress->raise();
    QCoreApplication::processEvents();

    session_.AbortRequested = false; // "Abbrechen" now stops the run
    const RunResult result = RunSynchronisation(session_, fileOps(), *this);
    showPending(true);
    // Before any window that waits for the user.
    notifyRunEnd(result);
    if (!result.refused.empty() && !closeWhenIdle_)
        ShowErrorMessage(window_, Text(result.refused));

    panels_.statusBar->setPanelText(1, EndText(result));
    window_->setWindowTitle("Gleichwart");
    panels_.input->setRunControlsEnabled(true);
    // "Synchronisieren" stays off: a new run needs a new load.
    putListsAway();
    panels_.lists->setEnabled(true);
    // What the run did lies over the background; a run that was refused did nothing.
    if (result.refused.empty())
        panels_.summary->showSummary(RunSummaryLines(result, platform::UserDecimalSeparator()));
    if (!closeWhenIdle_)
        ShowFailures(window_, result.failures);
    // Said once the run is over: the user must not count on undoing this one.
    if (!result.undoNote.empty() && !closeWhenIdle_)
        ShowWarning(window_, "Rückgängig machen nicht möglich", Text(result.undoNote), "UndoNote");
    endBusy();
}

void SyncPresenter::putListsAway() {
    panels_.lists->hide();
    panels_.progress->hide();
    panels_.background->setShown(true);
    panels_.background->paintBackground();
}

void SyncPresenter::treesChanged(const QString& status) {
    panels_.statusBar->setPanelText(1, status);
    panels_.input->syncButton()->setEnabled(false);
    panels_.summary->hide(); // it told of what may now be undone
    putListsAway();
}

platform::FileOps& SyncPresenter::fileOps() const {
    return ops_ != nullptr ? *ops_ : platform::RealFileOps();
}

void SyncPresenter::notifyRunEnd(const RunResult& result) {
    if (closeWhenIdle_)
        return;
    const QString body = !result.refused.empty()
                             ? Text(result.refused)
                             : Text(RunSummaryOneLine(result, platform::UserDecimalSeparator()));
    notification_.notifyIfUnseen(window_, result.milliseconds, "Gleichwart: " + EndText(result),
                                 body);
}

void SyncPresenter::PlannedCopies(const std::string& files, const std::string& size) {
    panels_.progress->setPlannedCopies(Text(files), Text(size));
}

void SyncPresenter::FilesLeft(const std::string& files) {
    filesLeft_ = files;
    showPending();
}

void SyncPresenter::CurrentFile(const std::string& name, const std::string& from,
                                const std::string& to) {
    currentFile_ = CurrentFileText{name, from, to};
    showPending();
}

void SyncPresenter::CopyProgress(const CopyProgressDisplay& display) {
    progress_ = display;
    showPending();
}

bool SyncPresenter::StopRequested() {
    return closeWhenIdle_ || session_.AbortRequested;
}

bool SyncPresenter::ConfirmDelete(std::size_t count, bool toRecycleBin) {
    showPending(true);
    return AskDeleteQuestion(window_, count, toRecycleBin);
}
