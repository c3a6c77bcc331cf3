#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <initializer_list>

class QWidget;

// Centres a window over its owner and keeps it on the screen, as far as its size allows.
void PlaceCentredOver(QWidget* window, const QWidget* owner);

// Where the main window opens: the stored geometry (twips, 0 for none) held to the screen by
// the start-up rules, and moved onto a screen when too little of it would be seen.
QRect StartupWindowRect(int left, int top, int width, int height, QSize designed);

// True while a top-level window of that name (compared in lower case) exists.
bool IsFormLoaded(const QString& fName);

// Closes every open top-level window whose name is one of `names`, in any letter case.
void CloseOpenWindows(std::initializer_list<const char*> names);
