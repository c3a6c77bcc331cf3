// "Synchronisieren": the run's frame around the engine's copy and delete phases, and what
// the run asks the user.
#include "sync_presenter.h"

#include "background_panel.h"
#include "desktop/desktop_shell.h"
#include "dialogs/copy_errors_window.h"
#include "file_lists_panel.h"
#include "input_panel.h"
#include "kit/error_message.h"
#include "kit/status_bar.h"
#include "kit/text_bytes.h"
#include "platform/file_ops.h"
#include "progress_panel.h"

#include <QCoreApplication>
#include <QPushButton>

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
    const RunResult result =
        RunSynchronisation(session_, ops_ != nullptr ? *ops_ : platform::RealFileOps(), *this);
    showPending(true);
    if (!result.refused.empty() && !closeWhenIdle_)
        ShowErrorMessage(window_, Text(result.refused));

    panels_.statusBar->setPanelText(1, !result.refused.empty() ? "Synchronisierung nicht ausgeführt"
                                       : result.stoppedEarly   ? "Synchronisierung abgebrochen"
                                                               : "Synchronisierung beendet");
    if (result.anyCopyFailed && copyErrors_ && !closeWhenIdle_)
        copyErrors_->exec(); // the window deletes itself when it is closed
    window_->setWindowTitle("Gleichwart");
    panels_.input->setRunControlsEnabled(true);
    // "Synchronisieren" stays off: a new run needs a new load.
    panels_.lists->hide();
    panels_.lists->setEnabled(true);
    panels_.progress->hide();
    panels_.background->setShown(true);
    panels_.background->paintBackground();
    endBusy();
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

void SyncPresenter::CopyFailed(const std::string& source, const std::string& destination,
                               const std::string& reason) {
    if (!copyErrors_)
        copyErrors_ = new Form4(window_); // made on the first failure, shown at the end
    copyErrors_->AddCopyError(Text(source), Text(destination), Text(reason));
}

bool SyncPresenter::StopRequested() {
    return closeWhenIdle_ || session_.AbortRequested;
}

bool SyncPresenter::ConfirmDelete(std::size_t count, bool toRecycleBin) {
    showPending(true);
    return AskDeleteQuestion(window_, count, toRecycleBin);
}

void SyncPresenter::DeleteFailed(const std::vector<DeleteFailure>& failures) {
    if (closeWhenIdle_)
        return;
    QStringList lines;
    lines.reserve(qsizetype(failures.size()));
    for (const DeleteFailure& f : failures)
        lines << Text(f.path) + " (" + Text(f.reason) + ")";
    ShowDeleteFailures(window_, lines);
}
