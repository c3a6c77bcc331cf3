#pragma once

#include <QIcon>
#include <QString>

#include <string>
#include <vector>

// One application of the desktop that can open a file, as its desktop entry describes it.
struct DesktopApp {
    QString id;   // the desktop entry's id, "org.example.Editor.desktop"
    QString name; // its name in the user's language
    QIcon icon;
};

// The applications the desktop offers for a set of files.
struct FileApplications {
    bool hasDefault = false; // the first application is the default one of the files' type
    std::vector<DesktopApp> apps;
};

// The MIME type of a file from its name and, where the name leaves it open, its content; a
// link counts as a link. Empty when the file cannot be examined.
QString FileMimeType(const std::string& path);

// The applications registered for the types of all `paths` that can open every one of them:
// the default application of the first file's type first when it is among them, then the
// others in the order the desktop's database gives. Empty when a file cannot be examined.
FileApplications ApplicationsForFiles(const std::vector<std::string>& paths);

// Starts the application `appId` with exactly `paths` as its files, on its own, so that it
// lives on when the program ends. No command line is built from the names for a shell.
// Returns an empty text, or the German reason it could not be started.
QString LaunchApplication(const QString& appId, const std::vector<std::string>& paths);
