#pragma once

#include "name_glob.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// One line of an exclusion list in the syntax of ignore files, compiled. A leading "!" turns
// it into a re-inclusion, a trailing "/" limits it to folders. A pattern without any other
// "/" is matched against an entry's name at every depth; one with a "/" at its start or
// inside against the whole path below the root, name by name: "*", "?" and classes stay
// within one name, "**" as a whole name between slashes stands for any number of folders
// (none too), "/**" at the end for everything inside. Any other "**" acts like "*": also
// right behind the plain start of a path pattern ("ab**/c"), where git, against its own
// documentation, lets it span folders.
class ExclusionLine {
public:
    // Empty for a line that excludes nothing: blank, a comment (a leading "#"), a pattern
    // that can never match (a "[" without "]", a lone "\" at the end). Spaces at the end are
    // dropped unless the last is escaped with "\"; a "\r" before the line's end is dropped.
    static std::optional<ExclusionLine> Compile(std::string_view line);

    bool Negated() const { return negated_; }
    // Whether the pattern takes the entry `name` inside `folder`, the path below the root
    // with a trailing "/" ("" for the root itself).
    bool Matches(std::string_view folder, std::string_view name, bool isFolder) const {
        if (folderOnly_ && !isFolder)
            return false;
        return steps_.empty() ? name_.Matches(name) : PathMatches(folder, name);
    }

private:
    // One name of the path, or any number of folders ("**").
    struct Step {
        bool anyFolders = false;
        NameGlob glob;
    };

    bool AddSteps(const std::vector<std::string_view>& pieces);
    bool PathMatches(std::string_view folder, std::string_view name) const;

    bool negated_ = false;
    bool folderOnly_ = false;
    NameGlob name_;           // a pattern for the name alone
    std::vector<Step> steps_; // or one for the whole path
    std::size_t names_ = 0;   // how many names of the path the steps take, besides "**"
    bool deep_ = false;       // whether a "**" lets the path be deeper than that
};
