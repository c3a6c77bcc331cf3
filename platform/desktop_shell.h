#pragma once

#include <string>

class QWidget;

// The shell's delete of a double-NUL-terminated list of paths: one question for all files
// ("Dateien löschen", Ja/Nein), then each file into the desktop's trash or deleted for good;
// files that could not be deleted are listed in a message of its own, owned by `owner`.
// Returns 0 when everything asked for was deleted, 1 when the user said no, 2 otherwise.
int ShellDeleteFiles(QWidget* owner, const std::string& pathList, bool toRecycleBin, bool confirm);
