// "Ordner laden" and what every view call of the engine shows on the panels.
#include "sync_presenter.h"

#include "background_panel.h"
#include "engine/folder_loading.h"
#include "engine/summary_texts.h"
#include "failure_display.h"
#include "file_lists_panel.h"
#include "input_panel.h"
#include "kit/activity_strip.h"
#include "kit/error_message.h"
#include "kit/event_pump.h"
#include "kit/file_list_model.h"
#include "kit/status_bar.h"
#include "kit/text_bytes.h"
#include "platform/file_system.h"
#include "platform/user_locale.h"
#include "progress_panel.h"
#include "run_summary_panel.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>

namespace {

constexpr qint64 kShowEveryMs = 50;

} // namespace

SyncPresenter::SyncPresenter(QWidget* window, SyncSession& session, const MainPanels& panels)
    : QObject(window), window_(window), session_(session), panels_(panels) {}

SyncPresenter::~SyncPresenter() = default;

void SyncPresenter::load(const std::string& startPath, const std::string& targetPath) {
    panels_.summary->hide(); // the last run's
    platform::FileSystem& fs = fs_ != nullptr ? *fs_ : platform::RealFileSystem();
    const std::string message = CheckPaths(fs, startPath, targetPath);
    if (!message.empty()) {
        ShowErrorMessage(window_, Text(message));
        return;
    }
    session_.StartPath = startPath;
    session_.TargetPath = targetPath;
    // The lists let go of the old records before the load releases them.
    panels_.lists->clearLists();
    panels_.lists->hideLists();
    panels_.input->setLoading(true);
    panels_.input->syncButton()->setEnabled(false);
    panels_.activity->resetImage();
    panels_.activity->raise();

    busy_ = true;
    QElapsedTimer took;
    took.start();
    const LoadResult result = LoadFolders(session_, fs, *this);
    showPending(true);
    busy_ = false;
    // Before any window that waits for the user.
    notifyLoadEnd(result, took.elapsed());
    if (result.error && !closeWhenIdle_) {
        ShowErrorMessage(window_, Text(result.error->Description));
    } else if (!result.rootError.empty() && !closeWhenIdle_) {
        ShowErrorMessage(window_, DisplayPath(result.rootError));
    } else if (result.compared && !closeWhenIdle_) {
        showComparedLists();
        ShowFailures(window_, result.problems);
    }

    // Whatever happened, the window ends idle with its controls usable; only a root that could
    // not be read leaves nothing to synchronise.
    panels_.input->setLoading(false);
    panels_.input->syncButton()->setEnabled(result.rootError.empty());
    panels_.input->loadButton()->repaint();
    panels_.input->syncButton()->repaint();
    endBusy();
}

void SyncPresenter::showComparedLists() {
    panels_.summary->hide();
    panels_.background->setShown(false);
    panels_.progress->show();
    panels_.lists->showLists();
}

void SyncPresenter::notifyLoadEnd(const LoadResult& result, qint64 milliseconds) {
    if (closeWhenIdle_)
        return;
    QString summary, body;
    if (result.error) {
        summary = "Gleichwart: Laden fehlgeschlagen";
        body = Text(result.error->Description);
    } else if (!result.rootError.empty()) {
        summary = "Gleichwart: Laden fehlgeschlagen";
        body = DisplayPath(result.rootError);
    } else if (!result.compared) {
        summary = "Gleichwart: Laden abgebrochen";
        body = "Die Ordner wurden nicht vollständig geladen.";
    } else {
        const SelectionTotals copies = SelectedTotals(session_.CopyList);
        const SelectionTotals deletions = SelectedTotals(session_.DeleteList);
        summary = "Gleichwart: Ordner geladen";
        body = Text(LoadSummaryOneLine(copies.count, copies.bytes,
                                       session_.CurrentRule.deletesOnTarget(), deletions.count,
                                       deletions.bytes, platform::UserDecimalSeparator()));
    }
    notification_.notifyIfUnseen(window_, milliseconds, summary, body);
}

void SyncPresenter::abort() {
    session_.AbortRequested = true;
    panels_.loadingBar->setValue(0);
    // The window shows the file the run finishes before it stops.
    showPending(true);
}

void SyncPresenter::closeWhenIdle() {
    closeWhenIdle_ = true;
    session_.AbortRequested = true;
}

void SyncPresenter::endBusy() {
    busy_ = false;
    if (closeWhenIdle_)
        emit closeRequested();
}

void SyncPresenter::showPending(bool now) {
    if (!now && sinceShown_.isValid() && sinceShown_.elapsed() < kShowEveryMs)
        return;
    sinceShown_.start();
    if (activitySteps_ > 0) {
        // Whole periods of the strip's picture look the same as none.
        panels_.activity->Advance(int(activitySteps_ % ActivityStrip::kPeriodTwips));
        activitySteps_ = 0;
    }
    if (comparisonValue_) {
        panels_.loadingBar->setValue(int(qMin<std::int64_t>(*comparisonValue_, INT_MAX)));
        comparisonValue_.reset();
    }
    // The file first, so whoever watches the bars sees the file they belong to.
    if (currentFile_) {
        panels_.progress->setCurrentFile(Text(currentFile_->name), Text(currentFile_->from),
                                         Text(currentFile_->to));
        currentFile_.reset();
    }
    if (filesLeft_) {
        panels_.progress->setFilesLeft(Text(*filesLeft_));
        filesLeft_.reset();
    }
    if (progress_) {
        const QString caption =
            QString::number(panels_.progress->setProgress(*progress_)) + "% kopiert";
        window_->setWindowTitle(caption);
        panels_.statusBar->setPanelText(1, caption);
        progress_.reset();
    }
    // After the caption: the delete phase's text follows the last copy's percentage.
    if (statusText_) {
        panels_.statusBar->setPanelText(1, DisplayPath(*statusText_));
        statusText_.reset();
    }
}

void SyncPresenter::StatusText(const std::string& text) {
    statusText_ = text;
    showPending();
}

void SyncPresenter::ActivityStep() {
    ActivitySteps(1);
}

void SyncPresenter::ActivitySteps(std::size_t count) {
    activitySteps_ += count;
    showPending();
}

void SyncPresenter::ShowComparisonProgress(std::int64_t maximum) {
    showPending(true);
    panels_.loadingBar->setMaximum(int(qMin<std::int64_t>(maximum, INT_MAX)));
    panels_.loadingBar->setValue(0);
    panels_.loadingBar->raise();
}

void SyncPresenter::ComparisonProgress(std::int64_t value) {
    comparisonValue_ = value;
    // One call per file, hundreds of thousands a second: the clock is asked every 1024th;
    // the last value is shown when the load ends.
    if ((value & 1023) == 0)
        showPending();
}

void SyncPresenter::PumpEvents() {
    showPending();
    PumpPendingEvents();
}
