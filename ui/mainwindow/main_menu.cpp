#include "main_menu.h"

#include <QMenuBar>

namespace {
QAction* Item(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}
} // namespace

MainMenu BuildMainMenu(QMenuBar* bar) {
    MainMenu m;
    QMenu* datei = bar->addMenu("Datei");
    datei->setObjectName("mnuDatei");
    m.file = datei;
    m.undo = Item(datei, "mnuRueckgaengig", "Letzten Abgleich rückgängig machen...");
    datei->addSeparator();
    m.settings = Item(datei, "settings", "Einstellungen");
    m.createLink = Item(datei, "CreateLink", "Verknüpfung erstellen");
    datei->addSeparator();
    m.exit = Item(datei, "exit", "Beenden");
    QMenu* hilfe = bar->addMenu("Hilfe");
    hilfe->setObjectName("mnuHilfe");
    m.help = Item(hilfe, "help", "Hilfethemen");
    hilfe->addSeparator();
    m.about = Item(hilfe, "about", "Über...");
    return m;
}
