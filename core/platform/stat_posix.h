#pragma once

#include "file_info.h"

struct stat;

namespace platform {

// The program's record of what the system's examination of an entry found.
FileInfo InfoFromStat(const struct stat& st);

} // namespace platform
