#pragma once

#include <QString>

#include <vector>

// One entry of a folder as the folder browser shows it.
struct FolderEntry {
    QString name;
    bool isFolder = true;
    // Whether the entry can be opened and listed; always true for a file.
    bool readable = true;
    bool hidden = false;
};

// The listing of one folder: its subfolders (and files when asked for), folders first, each
// group in the order a person reads names (letter case ignored, numbers by value).
struct FolderListing {
    std::vector<FolderEntry> entries;
    // errno of the failure to list the folder, 0 when it was listed in full.
    int error = 0;
};

// Lists `path` with one system call per entry at most; meant for a worker thread, as a slow
// or hanging mount may keep it waiting. Links to folders count as folders; special files and
// broken links are left out.
FolderListing ListFolder(const QString& path, bool includeFiles);

// The path of the entry `name` in the folder `folder`.
QString ChildPath(const QString& folder, const QString& name);
