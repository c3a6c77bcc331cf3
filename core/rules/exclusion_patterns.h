#pragma once

#include "exclusion_line.h"

#include <string>
#include <string_view>
#include <vector>

// Which entries of a tree a list of exclusion patterns leaves out. The patterns are those of
// ignore files (see ExclusionLine): one a line, blank lines and "#" comments skipped, paths
// relative to the tree's root, names compared byte for byte. The last pattern that matches
// an entry decides: excluded, unless it starts with "!".
//
// A scanner asks top-down and never enters an excluded folder, so it never asks about what
// lies below one. What Excluded() answers for such an entry is of no meaning: as in ignore
// files, a "!" cannot bring back an entry whose folder is excluded.
//
// Compiled once; a question allocates nothing and is answered mostly by comparing the name.
class ExclusionPatterns {
public:
    static ExclusionPatterns Compile(const std::vector<std::string>& lines);
    // The lines of `text`, separated by "\n" (or "\r\n").
    static ExclusionPatterns FromText(std::string_view text);

    // Whether no line excludes anything, so that every entry is taken.
    bool empty() const { return lines_.empty(); }

    // Whether the entry `name` in `relativeFolder` is left out. `relativeFolder` is its
    // folder below the root with a trailing "/" ("" for the root itself, "a/b/" below).
    bool Excluded(std::string_view relativeFolder, std::string_view name, bool isFolder) const;

private:
    void Add(std::string_view line);

    std::vector<ExclusionLine> lines_;
};
