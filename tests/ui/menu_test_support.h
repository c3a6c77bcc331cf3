#pragma once

// What the tests of the context menu share: choosing in a menu without opening it, the
// menu's signals in order, and answering the dialogs its verbs open.
#include <QString>
#include <QStringList>
#include <QVariant>

#include <string>

class QAction;
class QMenu;
class clsShellMenu;

// The action of a menu or of one of its submenus by its text; nullptr when there is none.
QAction* MenuAction(QMenu& menu, const QString& text);
// The texts of the menu's own actions in order, "-" for a separator.
QStringList MenuTexts(const QMenu& menu);

// What the next menu showed.
struct MenuSeen {
    int opened = 0; // menus opened so far
    QStringList texts;
    QList<bool> checked;
    QStringList openWith;
    QList<int> numbers; // of the shell commands, in menu order
};

// The next menu chooses the entry `text` (none when empty) and tells what it held in `seen`.
void Choose(const QString& text, MenuSeen* seen = nullptr);

// Every signal of a menu in the order it came ("vorher:", "nachher:" with the caption,
// "extra:" with the index), with " (da)" or " (weg)" for whether `file` existed then.
// Setting `cancel` cancels every command.
struct MenuSignals {
    QStringList events;
    QVariant files;
    bool cancel = false;
    std::string watched;

    explicit MenuSignals(clsShellMenu& s, const std::string& file = {});
    QString exists() const;
};

// Answers the next message box with OK and keeps its text.
void CatchMessage(QString& text);

// Types `name` into the rename dialog that opens next and confirms it; a refusal's message
// lands in `refusal`, and the dialog is then closed unchanged.
void AnswerRename(const QString& name, QString* refusal = nullptr);
