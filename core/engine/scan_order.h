#pragma once

#include <string_view>

// Scan order: -1, 0 or 1 as the files of relative folder `a` come before, with or after those
// of `b` in a scan (all files of a folder before its subfolders, subfolders in listing order).
// Relative folders are "" or components each ending in "/". Both trees' scans report in this
// order, so the comparison meets each folder of both at the same point.
int CompareFolders(std::string_view a, std::string_view b);
