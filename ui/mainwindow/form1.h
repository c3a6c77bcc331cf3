#pragma once

#include "engine/sync_session.h"

#include <QMainWindow>

#include <memory>
#include <string>

class ActivityStrip;
class BackgroundPanel;
class DesktopNotification;
class FileListsPanel;
class InputPanel;
class ProgressPanel;
class QAction;
class QProgressBar;
class RunSummaryPanel;
class StatusBar;
class SyncPresenter;
class clsRegistry;
namespace platform {
class FileOps;
class FileSystem;
} // namespace platform

// The main window: the program's start window, whose closing ends the program. It makes the
// panels, lays them out, keeps the rule list and the stored settings, and hands loading and
// running to its presenter.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // The designed inner area, in twips.
    static constexpr int kDesignedScaleWidth = 11670;
    static constexpr int kDesignedScaleHeight = 6210;

    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // What a load found and a run works on, with the rule applied in the main window.
    SyncSession& session() { return session_; }
    const SyncRule& CurrentRule() const { return session_.CurrentRule; }
    // The file system loads read: the machine's own unless a test puts in one that fails.
    void setFileSystem(platform::FileSystem& fs);
    // The calls a run makes: the machine's own unless a test slows them down or fails them.
    void setFileOps(platform::FileOps& ops);
    // What tells the desktop that a long load or run ended while the window was not active.
    DesktopNotification& notification();
    // The handbook "Hilfethemen" shows: the installed one unless a test points elsewhere.
    void setHandbookFile(const QString& file) { handbookFile_ = file; }

    // The program's arguments joined into one line; read once, 500 ms after the start.
    void setCommandLine(const std::string& line) { commandLine_ = line; }
    bool ParseCommandLine();

    void Form_Resize();
    void Regeln_Laden(const std::string& Regel = std::string());
    void Combo1_Click();
    void Command5_Click(int Index);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // Shows the copy and delete lists of the session, as the end of a load does.
    void showComparedLists();

    // The inner area in twips, the measure of the resize rules.
    double ScaleWidth() const;
    double ScaleHeight() const;

public slots:
    void CreateLink_Click();
    void exit_Click();
    void settings_Click();
    void help_Click();
    void about_Click();
    // "Letzten Abgleich rückgängig machen...": the undo window for the newest run not undone.
    void mnuRueckgaengig_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void createMenus();
    void connectControls();
    // A rule the editor saved: the list follows a renamed current rule, else keeps its own.
    void ruleSaved(const std::string& previousName, const std::string& name);
    // The stored name of the rule chosen in the list, as its bytes; empty with no rule.
    std::string chosenRuleName() const;
    void Form_Load();
    void Form_Unload();
    void Form_Activate();
    void Timer2_Timer();
    QSize designedWindowSize() const;
    // The undo item is on while a run can be undone and no load or run works.
    void updateUndoItem();

    SyncSession session_;
    std::string commandLine_;
    QString handbookFile_;
    std::unique_ptr<clsRegistry> registry_;
    bool unloaded_ = false;
    QAction* undoAction_ = nullptr;

    InputPanel* inputPanel_ = nullptr;
    FileListsPanel* fileListsPanel_ = nullptr;
    ProgressPanel* progressPanel_ = nullptr;
    BackgroundPanel* backgroundPanel_ = nullptr;
    RunSummaryPanel* summaryPanel_ = nullptr;
    StatusBar* statusBar_ = nullptr;
    ActivityStrip* activityStrip_ = nullptr;
    QProgressBar* loadingBar_ = nullptr;
    SyncPresenter* presenter_ = nullptr;
};
