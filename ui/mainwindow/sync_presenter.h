#pragma once

#include "desktop/desktop_notification.h"
#include "engine/load_view.h"
#include "engine/sync_run.h"
#include "engine/sync_session.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class ActivityStrip;
class BackgroundPanel;
class FileListsPanel;
class InputPanel;
class ProgressPanel;
class QProgressBar;
class QWidget;
class RunSummaryPanel;
class StatusBar;
struct LoadResult;
namespace platform {
class FileOps;
class FileSystem;
} // namespace platform

// The controls the presenter drives; the main window makes them and lays them out.
struct MainPanels {
    InputPanel* input = nullptr;
    FileListsPanel* lists = nullptr;
    ProgressPanel* progress = nullptr;
    BackgroundPanel* background = nullptr;
    StatusBar* statusBar = nullptr;
    ActivityStrip* activity = nullptr;
    QProgressBar* loadingBar = nullptr;
    RunSummaryPanel* summary = nullptr;
};

// Runs "Ordner laden" and "Synchronisieren" for the main window: it shows what the engine
// reports on the panels and answers its questions. What changes many times a second (the
// current file, the bars, the activity strip, the status text) is shown at most every 50 ms,
// the last state always, so the window costs little on top of the engine.
class SyncPresenter : public QObject, private LoadView, private RunView {
    Q_OBJECT
public:
    SyncPresenter(QWidget* window, SyncSession& session, const MainPanels& panels);
    ~SyncPresenter() override;

    void setFileSystem(platform::FileSystem& fs) { fs_ = &fs; }
    void setFileOps(platform::FileOps& ops) { ops_ = &ops; }
    platform::FileOps& fileOps() const;
    // What tells the desktop that a long load or run ended unseen.
    DesktopNotification& notification() { return notification_; }
    // Checks the paths, scans both trees and shows the lists.
    void load(const std::string& startPath, const std::string& targetPath);
    // Copies and deletes what is ticked, then shows the background again with a summary of
    // what the run did.
    void run();
    // "Abbrechen": a load stops at once, a run after the file being copied.
    void abort();
    // Shows the copy and delete lists of the session, as the end of a load does.
    void showComparedLists();

    // The trees changed under the loaded lists (an undo): as after a run, the lists are put
    // away and a new run needs a new load; `status` goes into the status bar.
    void treesChanged(const QString& status);

    bool busy() const { return busy_; }
    // The window is being closed during a load or a run: stop it, and ask for the close
    // again once it has ended.
    void closeWhenIdle();

signals:
    void closeRequested();

private:
    // What loading shows while it works.
    void StatusText(const std::string& text) override;
    void ActivityStep() override;
    void ActivitySteps(std::size_t count) override;
    void ShowComparisonProgress(std::int64_t maximum) override;
    void ComparisonProgress(std::int64_t value) override;

    // What a run shows and asks.
    void PlannedCopies(const std::string& files, const std::string& size) override;
    void FilesLeft(const std::string& files) override;
    void CurrentFile(const std::string& name, const std::string& from,
                     const std::string& to) override;
    void CopyProgress(const CopyProgressDisplay& display) override;
    void PumpEvents() override;
    bool StopRequested() override;
    bool ConfirmDelete(std::size_t count, bool toRecycleBin) override;

    // Shows what is pending when the last showing is 50 ms ago, or always with `now`.
    void showPending(bool now = false);
    void endBusy();
    // Hides the lists and the progress panel and shows the background, as a run ends.
    void putListsAway();
    // A notification when the load or run that ends took long and the window is not on view.
    void notifyLoadEnd(const LoadResult& result, qint64 milliseconds);
    void notifyRunEnd(const RunResult& result);

    QWidget* window_;
    SyncSession& session_;
    MainPanels panels_;
    platform::FileSystem* fs_ = nullptr; // none set: the machine's own
    platform::FileOps* ops_ = nullptr;   // likewise
    bool busy_ = false;
    bool closeWhenIdle_ = false;
    DesktopNotification notification_;

    // What waits to be shown.
    QElapsedTimer sinceShown_;
    std::optional<std::string> statusText_;
    std::size_t activitySteps_ = 0;
    std::optional<std::int64_t> comparisonValue_;
    std::optional<std::string> filesLeft_;
    struct CurrentFileText {
        std::string name, from, to;
    };
    std::optional<CurrentFileText> currentFile_;
    std::optional<CopyProgressDisplay> progress_;
};
