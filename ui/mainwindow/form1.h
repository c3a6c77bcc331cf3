#pragma once

#include "engine/load_view.h"
#include "engine/sync_run.h"
#include "engine/sync_session.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class ActivityStrip;
class FileListModel;
class Form4;
class PictureBox;
class StatusBar;
class clsRegistry;
namespace platform {
class FileSystem;
}
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;
class QTabBar;
class TabStrip;

// The main window: the program's start window, whose closing ends the program.
class Form1 : public QMainWindow, private LoadView, private RunView {
    Q_OBJECT
public:
    static constexpr const char* kRootKey = "Software\\Halvorn Soft\\Gleichwart";
    // The designed inner area, in twips.
    static constexpr int kDesignedScaleWidth = 11670;
    static constexpr int kDesignedScaleHeight = 6210;

    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The picture is stretched over the background panel (read by the soft frame).
    bool Stretch = false;
    // What a load found and a run works on, with the rule applied in the main window.
    SyncSession& session() { return session_; }
    const SyncRule& CurrentRule() const { return session_.CurrentRule; }

    clsRegistry& Reg() { return *Reg_; }
    // The file system loads read: the machine's own unless a test puts in one that fails.
    void setFileSystem(platform::FileSystem& fs) { fs_ = &fs; }

    void Form_Resize();
    void Regeln_Laden(const std::string& Regel = std::string());
    void Combo1_Click();
    void TabStrip1_Click();
    void Command5_Click(int Index);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // Shows what a file copy has reached.
    void ShowCopyProgress(const CopyProgressDisplay& display);
    void List1_Click();
    void List2_Click();
    void Check1_MouseUp();
    // Shows the copy and delete lists of the session, as the end of a load does.
    void showComparedLists();
    void DrawSoftFrame(PictureBox* P, int N);
    void BlendLine(PictureBox* P, int a, int alpha, bool vertical, int b, int length);

    // The inner area in twips, the measure of the resize rules.
    double ScaleWidth() const;
    double ScaleHeight() const;

public slots:
    void exit_Click();
    void help_Click();
    void about_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void createInputPanel();
    void createListPanel();
    void createProgressPanel();
    void createMenus();
    void connectControls();
    bool isFirstStart() const;
    void storeStarterRules();
    // The stored name of the rule chosen in the list, as its bytes; empty with no rule.
    std::string chosenRuleName() const;
    void Form_Load();
    void Form_Unload();
    void Form_Activate();
    void applyStoredGeometry(int left, int top, int width, int height);
    void loadBackground(const std::string& picturePath);
    void paintBackground();
    QSize designedWindowSize() const;
    void listClick(QListView* list, FileListModel* model, bool copyList);
    void setTotalsText(const QString& text);

    // What loading shows while it works.
    void StatusText(const std::string& text) override;
    void ActivityStep() override;
    void ShowComparisonProgress(std::int64_t maximum) override;
    void ComparisonProgress(std::int64_t value) override;

    // What a run shows and asks.
    void PlannedCopies(const std::string& files, const std::string& size) override;
    void FilesLeft(const std::string& files) override;
    void CurrentFile(const std::string& name, const std::string& from,
                     const std::string& to) override;
    void CopyProgress(const CopyProgressDisplay& display) override;
    void CopyFailed(const std::string& source, const std::string& destination,
                    const std::string& reason) override;
    void PumpEvents() override;
    bool StopRequested() override;
    bool ConfirmDelete(std::size_t count, bool toRecycleBin) override;
    void DeleteFailed(const std::vector<DeleteFailure>& failures) override;
    void setRunControlsEnabled(bool enabled);

    SyncSession session_;
    platform::FileSystem* fs_ = nullptr; // none set: the machine's own
    // A load or a run is under way; closing then waits for its end.
    bool busy_ = false;
    bool closeWhenIdle_ = false;
    QPointer<Form4> form4_;
    FileListModel* copyModel_ = nullptr;
    FileListModel* deleteModel_ = nullptr;

    std::unique_ptr<clsRegistry> Reg_;
    bool unloaded_ = false;

    // Fields of the window's state.
    bool NoBackGround = false;
    bool BackGroundSoft = false;
    bool BackgroundShown = false;
    int SoftWidth = 20;

    QWidget* client_ = nullptr;
    // Input panel.
    QWidget* Picture6 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* Combo1 = nullptr;
    std::array<QPushButton*, 3> Command5{};
    QPushButton* Command1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command2 = nullptr;
    std::array<QFrame*, 2> Line1{};
    // File-list panel.
    QWidget* Picture2 = nullptr;
    TabStrip* TabStrip1 = nullptr;
    QListView* List1 = nullptr;
    QListView* List2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    PictureBox* Picture4 = nullptr;
    QLabel* Label10 = nullptr;
    // Background, buffers and the hidden totals label.
    PictureBox* Picture5 = nullptr;
    PictureBox* PicBuf = nullptr;
    PictureBox* DrawTextContainer = nullptr;
    QLabel* Label6 = nullptr;
    // Progress panel.
    QWidget* Picture3 = nullptr;
    QLabel* Label4 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QProgressBar* ProgressBar3 = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    std::array<QLabel*, 3> Label8{};
    std::array<QLabel*, 6> Label9{};
    QLabel* SpeedValue = nullptr;
    // Status bar.
    StatusBar* StatusBar1 = nullptr;
    ActivityStrip* Picture1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    // Menus.
    QAction* settingsAction = nullptr;
    QAction* createLinkAction = nullptr;
    QAction* exitAction = nullptr;
    QAction* helpAction = nullptr;
    QAction* aboutAction = nullptr;
};
