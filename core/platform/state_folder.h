#pragma once

#include <string>

namespace platform {

class FileOps;

// Where the program keeps the journals of its runs: $XDG_STATE_HOME/gleichwart when that is
// set and absolute, else $HOME/.local/state/gleichwart; empty when neither is known.
std::string JournalFolder();

// Opens the folder `path` (absolute), making what is missing of it, private to the user.
// 0 or the errno.
int OpenOrMakeFolder(FileOps& ops, const std::string& path, int& fd);

} // namespace platform
