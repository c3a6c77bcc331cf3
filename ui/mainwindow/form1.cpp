#include "form1.h"

#include "background_panel.h"
#include "desktop/desktop_shell.h"
#include "dialogs/about_window.h"
#include "dialogs/handbook_window.h"
#include "dialogs/settings_window.h"
#include "file_lists_panel.h"
#include "input_panel.h"
#include "kit/activity_strip.h"
#include "kit/controls.h"
#include "kit/status_bar.h"
#include "main_menu.h"
#include "path_box_opener.h"
#include "progress_panel.h"
#include "run_summary_panel.h"
#include "settings/cls_registry.h"
#include "shortcut_offer.h"
#include "sync_presenter.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

Form1::Form1(QWidget* parent)
    : QMainWindow(parent), handbookFile_(HandbookWindow::InstalledFile()) {
    setObjectName("Form1");
    setWindowTitle("Gleichwart");
    createMenus();
    createControls();
    connectControls();
    Form_Load();
}

Form1::~Form1() {
    Form_Unload();
}

void Form1::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);
    // Made in this order, so each lies above the one before it.
    backgroundPanel_ = new BackgroundPanel(client);
    fileListsPanel_ = new FileListsPanel(client, session_);
    progressPanel_ = new ProgressPanel(client);
    summaryPanel_ = new RunSummaryPanel(client);
    inputPanel_ = new InputPanel(client);
    statusBar_ = MakeControl<StatusBar>(client, "StatusBar1", {0, 5955, 11670, 255});
    activityStrip_ = new ActivityStrip(client);
    SetTwips(activityStrip_, {120, 6000, 4455, 255});
    loadingBar_ = MakeBar(client, "ProgressBar1", {0, 6240, 4455, 255});
    PlaceInStatusPanel(activityStrip_, statusBar_, 2);
    PlaceInStatusPanel(loadingBar_, statusBar_, 2);
    presenter_ = new SyncPresenter(this, session_,
                                   {inputPanel_, fileListsPanel_, progressPanel_, backgroundPanel_,
                                    statusBar_, activityStrip_, loadingBar_, summaryPanel_});
}

void Form1::createMenus() {
    const MainMenu menu = BuildMainMenu(menuBar());
    undoAction_ = menu.undo;
    // The journals can change behind the window's back (the terminal program runs and undoes
    // too): the item is checked again whenever the menu opens.
    connect(menu.file, &QMenu::aboutToShow, this, &Form1::updateUndoItem);
    connect(menu.undo, &QAction::triggered, this, &Form1::mnuRueckgaengig_Click);
    connect(menu.settings, &QAction::triggered, this, &Form1::settings_Click);
    connect(menu.createLink, &QAction::triggered, this, &Form1::CreateLink_Click);
    connect(menu.exit, &QAction::triggered, this, &Form1::exit_Click);
    connect(menu.help, &QAction::triggered, this, &Form1::help_Click);
    connect(menu.about, &QAction::triggered, this, &Form1::about_Click);
}

void Form1::connectControls() {
    connect(inputPanel_->ruleList(), &QComboBox::activated, this, [this] { Combo1_Click(); });
    for (int i = 0; i < 3; ++i)
        connect(inputPanel_->browseButton(i), &QPushButton::clicked, this,
                [this, i] { Command5_Click(i); });
    connect(inputPanel_->loadButton(), &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(inputPanel_->abortButton(), &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(inputPanel_->syncButton(), &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(presenter_, &SyncPresenter::closeRequested, this, &Form1::close);
    // After a file verb of the context menu the folders have to be loaded again before a run.
    connect(fileListsPanel_, &FileListsPanel::entryRemoved, inputPanel_->syncButton(),
            [this] { inputPanel_->syncButton()->setEnabled(false); });
    PathBoxOpener::Install({inputPanel_->startPathBox(), inputPanel_->targetPathBox()});
}

void Form1::setFileSystem(platform::FileSystem& fs) {
    presenter_->setFileSystem(fs);
}

void Form1::setFileOps(platform::FileOps& ops) {
    presenter_->setFileOps(ops);
}

DesktopNotification& Form1::notification() {
    return presenter_->notification();
}

void Form1::Command1_Click() {
    undoAction_->setEnabled(false);
    presenter_->load(inputPanel_->startPathBox()->text().toUtf8().toStdString(),
                     inputPanel_->targetPathBox()->text().toUtf8().toStdString());
    updateUndoItem();
}

void Form1::Command2_Click() {
    presenter_->abort();
}

void Form1::Command3_Click() {
    undoAction_->setEnabled(false);
    presenter_->run();
    updateUndoItem();
}

void Form1::showComparedLists() {
    presenter_->showComparedLists();
}

void Form1::CreateLink_Click() {
    OfferShortcut(this, inputPanel_->startPathBox()->text(), inputPanel_->targetPathBox()->text(),
                  inputPanel_->ruleList()->currentText());
}

void Form1::exit_Click() {
    close();
}

// The background takes effect at the next start, the trash setting with the next run.
void Form1::settings_Click() {
    Form2 settings(*registry_, this);
    settings.exec();
}

void Form1::help_Click() {
    if (!HandbookWindow::Show(this, handbookFile_))
        ShowNoHelpMessage(this);
}

void Form1::about_Click() {
    Form5 about(this);
    about.exec();
}

void Form1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
    else if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Form1::Form_Activate() {
    if (inputPanel_->loadButton()->isEnabled())
        inputPanel_->loadButton()->setFocus();
}
