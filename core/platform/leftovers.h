#pragma once

#include <string_view>

namespace platform {

// The process ID in the name of a copy's temporary file (kTemporaryPrefix, the ID, "-", a
// number, ".tmp"); 0 when the name is not one. Such files are the program's own and never
// taken for the user's.
long CopyTemporaryOwner(std::string_view name);

// True when no process has this ID any more, so that what it left behind can go. A process
// of another user is not gone.
bool ProcessGone(long pid);

} // namespace platform
