#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

// Writes `content` as the file `path`, which is then either its old version or the whole
// new text, flushed to the disk, also when the machine stops half way: the text goes to a
// temporary file in the same folder first and replaces the name in one step. Returns 0 or
// the errno of the failure, after which no temporary file is left.
int WriteWholeFile(const std::string& path, std::string_view content, mode_t mode);
