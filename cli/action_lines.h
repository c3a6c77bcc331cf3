#pragma once

#include <cstdio>
#include <string_view>

// One line of the lists a script reads: the mark, a blank and the path, ended by a newline,
// or with `nullEnds` by a NUL, so that any name reads back exactly. A failure's reason
// follows its path as ": reason" on the line, or with `nullEnds` as a field of its own, NUL
// ended too.
void PrintActionLine(std::FILE* out, char mark, std::string_view folder, std::string_view name,
                     bool nullEnds, std::string_view reason = {});
