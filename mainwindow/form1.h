#pragma once

#include "rules/sync_rule.h"

#include <QMainWindow>

#include <array>
#include <memory>

class ActivityStrip;
class PictureBox;
class StatusBar;
class clsRegistry;
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
class Form1 : public QMainWindow {
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
    // The rule applied in the main window: it drives loading, comparison and the run.
    SyncRule CurrentRule;

    clsRegistry& Reg() { return *Reg_; }

    void Form_Resize();
    void Regeln_Laden(const std::string& Regel = std::string());
    void Combo1_Click();
    void TabStrip1_Click();
    void Command5_Click(int Index);
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
    void Form_Load();
    void Form_Unload();
    void Form_Activate();
    void applyStoredGeometry(int left, int top, int width, int height);
    void loadBackground();
    void paintBackground();
    QSize designedWindowSize() const;

    std::unique_ptr<clsRegistry> Reg_;
    bool unloaded_ = false;

    // Fields of the window's state.
    bool AbortRequested = false;
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
