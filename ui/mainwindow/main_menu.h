#pragma once

class QAction;
class QMenuBar;

// The main window's menus "Datei" and "Hilfe" with their items, named as designed.
struct MainMenu {
    QAction* settings = nullptr;   // "Einstellungen"
    QAction* createLink = nullptr; // "Verknüpfung erstellen"
    QAction* exit = nullptr;       // "Beenden"
    QAction* help = nullptr;       // "Hilfethemen"
    QAction* about = nullptr;      // "Über..."
};

MainMenu BuildMainMenu(QMenuBar* bar);
