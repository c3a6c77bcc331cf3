#pragma once

#include <string>
#include <vector>

class QWidget;
namespace platform {
class FileOps;
}

// The file verbs of the context menu as the user meets them: each asks what it has to ask,
// carries the verb out and says in German why it failed, leaving the file as it was. The
// files are the entries `names` of the folder `folder` (absolute, ending in "/").

// Asks for the new name and renames the file; nothing is ever overwritten.
void RenameVerb(QWidget* owner, platform::FileOps& ops, const std::string& folder,
                const std::string& name);
// Moves the files into the desktop's trash.
void TrashVerb(QWidget* owner, platform::FileOps& ops, const std::string& folder,
               const std::vector<std::string>& names);
// Asks first, then deletes the files for good.
void DeleteVerb(QWidget* owner, platform::FileOps& ops, const std::string& folder,
                const std::vector<std::string>& names);
// Shows the file's properties in a window of their own.
void PropertiesVerb(QWidget* owner, const std::string& path);
