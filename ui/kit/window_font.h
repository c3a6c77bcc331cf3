#pragma once

#include <QString>

class QWidget;

// Gives the window and each of its controls the face "Tahoma", keeping size and weight.
void ApplyTahomaFont(QWidget* window);

// True while a top-level window of that name (compared in lower case) exists.
bool IsFormLoaded(const QString& fName);
