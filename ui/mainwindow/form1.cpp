#include "form1.h"

#include "dialogs/form5.h"
#include "settings/cls_registry.h"

#include <QAction>
#include <QEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle("Gleichwart");
    QFont designed("Tahoma");
    designed.setPointSizeF(8.25);
    setFont(designed);
    createMenus();
    createControls();
    connectControls();
    Form_Load();
}

Form1::~Form1() {
    Form_Unload();
}

void Form1::createMenus() {
    QMenu* datei = menuBar()->addMenu("Datei");
    datei->setObjectName("mnuDatei");
    settingsAction = datei->addAction("Einstellungen");
    settingsAction->setObjectName("settings");
    createLinkAction = datei->addAction("Verknüpfung erstellen");
    createLinkAction->setObjectName("CreateLink");
    // The settings window and shortcut creation come with their own windows; until then
    // their items are shown but cannot be chosen.
    settingsAction->setEnabled(false);
    createLinkAction->setEnabled(false);
    datei->addSeparator();
    exitAction = datei->addAction("Beenden");
    exitAction->setObjectName("exit");
    connect(exitAction, &QAction::triggered, this, &Form1::exit_Click);

    QMenu* hilfe = menuBar()->addMenu("Hilfe");
    hilfe->setObjectName("mnuHilfe");
    helpAction = hilfe->addAction("Hilfethemen");
    helpAction->setObjectName("help");
    connect(helpAction, &QAction::triggered, this, &Form1::help_Click);
    hilfe->addSeparator();
    aboutAction = hilfe->addAction("Über...");
    aboutAction->setObjectName("about");
    connect(aboutAction, &QAction::triggered, this, &Form1::about_Click);
}

void Form1::exit_Click() {
    close();
}

void Form1::help_Click() {
    QMessageBox box(QMessageBox::Warning, "Gleichwart",
                    "Es existiert momentan noch keine Programmhilfe.\n"
                    "Bei Fragen bitte dem Autor eine Mail schicken",
                    QMessageBox::Ok, this);
    box.setObjectName("HelpMessage");
    box.exec();
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
    if (Command1->isEnabled())
        Command1->setFocus();
}
