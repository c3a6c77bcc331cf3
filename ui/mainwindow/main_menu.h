#pragma once

class QAction;
class QMenu;
class QMenuBar;

// The main window's menus "Datei" and "Hilfe" with their items, named as designed, and
// "Letzten Abgleich rückgängig machen..." at the top of "Datei".
struct MainMenu {
    QMenu* file = nullptr;         // "Datei"
    QAction* undo = nullptr;       // "Letzten Abgleich rückgängig machen..."
    QAction* settings = nullptr;   // "Einstellungen"
    QAction* createLink = nullptr; // "Verknüpfung erstellen"
    QAction* exit = nullptr;       // "Beenden"
    QAction* help = nullptr;       // "Hilfethemen"
    QAction* about = nullptr;      // "Über..."
};

MainMenu BuildMainMenu(QMenuBar* bar);
