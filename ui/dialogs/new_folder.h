#pragma once

#include <QString>

class QWidget;

// Why `name` cannot be the name of a new folder in `parent`, in German; empty when it can.
QString NewFolderNameProblem(const QString& name, const QString& parent);

// Asks for the name of a new folder in `parent` until the folder is made or the user gives
// up, saying why each name that cannot be used was refused. The new folder's name, or empty.
QString AskAndMakeFolder(QWidget* owner, const QString& parent);
