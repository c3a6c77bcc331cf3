#pragma once

// What the tests of the files' context menu share: an application database of their own,
// choosing in a menu without opening it, the menu's signals in order, and answering the
// dialogs its verbs open.
#include "ui_test_support.h"

#include <QVariant>

class clsShellMenu;

// A desktop application database of the test's own: two applications registered for
// text/plain, "Testeditor" (the default, started once with all files) and "Testbetrachter"
// (started once for each file), small scripts that record their arguments and their parent
// process. The machine's MIME types and icons stay visible, none of its applications, and no
// session bus is reached. Every menu is dismissed unless a case chooses in it: no case may open
// a real menu, which would wait for a person. GIO reads the database once per process: call
// this in main().
void UseTestApplications();
// What the application "editor" or "viewer" was started with, each argument whole; waits up
// to `waitMs` for it. Empty when it was not started; forgotten once read.
struct StartedApplication {
    QStringList arguments;
    qint64 parentProcess = 0;
};
StartedApplication TakeStartedApplication(const QString& which, int waitMs = 5000);

// How many menus were chosen in, and the texts of the last one's ticked entries, submenus'
// too.
struct MenuSeen {
    int opened = 0;
    QStringList ticked;
};
// Every menu from now on chooses the entry `text` instead of opening, or none when `text` is
// empty. The entry must be enabled and stand at `place` (from 1, separators counted) in the
// menu or submenu that holds it; otherwise the running case fails and nothing is chosen.
void Choose(const QString& text, int place, MenuSeen* seen = nullptr);
// Every menu from now on is dismissed without a choice.
void Dismiss(MenuSeen* seen = nullptr);

// Every signal of a menu in the order it came ("vorher:", "nachher:" with the caption,
// "extra:" with the index), with " (da)" or " (weg)" for whether `file` existed then, and
// the files of the last one. Setting `cancel` cancels every command.
struct MenuSignals {
    QStringList events;
    QVariant files;
    bool cancel = false;
    std::string watched;

    explicit MenuSignals(clsShellMenu& s, const std::string& file = {});
    QString exists() const {
        return watched.empty() ? "" : FileExists(watched) ? " (da)" : " (weg)";
    }
};

// Runs `action` and answers each message box it opens: "Ja" where one asks, else closed.
// Returns their texts in order.
QStringList Messages(const std::function<void()>& action);
// Types `name` into the rename dialog that opens next and presses OK; the dialog is then
// closed, also when it refused the name.
void AnswerRename(const QString& name);
