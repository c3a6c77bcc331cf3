#pragma once

#include <QString>

#include <string>

// Shows the file selected in a window of the desktop's file manager, through the file
// manager's D-Bus service (org.freedesktop.FileManager1). Where no file manager answers, the
// file's folder is opened instead. Returns at once; the answer is awaited in the background.
void ShowInFileManager(const std::string& path);

// Opens a folder with the desktop's file manager; an empty text opens the home folder.
void OpenFolderInFileManager(const QString& folder);
