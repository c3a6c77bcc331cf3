#include "find_file.h"

#include "maybe_do_events.h"
#include "platform/file_system.h"

#include <exception>

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*" || pattern == "*")
        return true;
    // Iterative match with one backtracking point per star.
    std::size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::optional<FindFileError> FindFile::sStartSearch() {
    try {
        searchFolder();
        return std::nullopt;
    } catch (const std::exception&) {
        return FindFileError{9999, "cFindFile:sStartSearch Method", "Fehler bei sStartSearch"};
    }
}

// Walks one folder and the folders below it. A cancel ends this level; each level above asks
// its listener again before its next subfolder.
void FindFile::searchFolder() {
    const std::string pattern = fileToFind_;
    const auto mask = static_cast<std::uint32_t>(fileFlag_);
    std::string folder = searchpath_;
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    const bool subfolders = inclSubfolders_;

    // One listing serves both passes; a folder that cannot be listed reports nothing.
    std::vector<platform::DirEntry> entries;
    fs_.ListDirectory(folder, entries);

    std::vector<std::string> subfolderNames;
    for (const auto& e : entries) {
        if (e.attributes & platform::kAttrDirectory)
            subfolderNames.push_back(e.name);
        MaybeDoEvents();
    }
    for (const auto& e : entries) {
        if ((e.attributes | mask) == mask && WildcardMatch(pattern, e.name)) {
            std::int64_t size = e.size;
            auto attributes = static_cast<std::int32_t>(e.attributes);
            events_.MatchFound(e.name, folder, e.lastWrite, size, attributes);
        }
        MaybeDoEvents();
    }
    entries = {};

    if (!subfolders)
        return;
    bool cancel = false;
    for (const auto& name : subfolderNames) {
        events_.StopSearch(cancel);
        if (cancel)
            return;
        searchpath_ = folder + name;
        searchFolder();
    }
}
