#pragma once

#include "failed_item.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// The relative paths of the start tree that could not be read: below them nothing is known,
// so nothing on the target side may be deleted for their sake.
class UnreadableStart {
public:
    UnreadableStart(const std::vector<FailedItem>& problems, std::size_t startRoot) {
        for (const FailedItem& p : problems)
            if (p.inStartTree && p.path.size() >= startRoot)
                paths_.insert(p.path.substr(startRoot));
    }
    // True when `relativeFolder` + `name`, or a folder above it, could not be read.
    bool covers(std::string_view relativeFolder, std::string_view name) const {
        if (paths_.empty())
            return false;
        if (paths_.count(std::string(relativeFolder) + std::string(name)) != 0)
            return true;
        if (paths_.count("") != 0)
            return true;
        for (auto slash = relativeFolder.find('/'); slash != std::string_view::npos;
             slash = relativeFolder.find('/', slash + 1))
            if (paths_.count(std::string(relativeFolder.substr(0, slash + 1))) != 0)
                return true;
        return false;
    }

private:
    std::unordered_set<std::string> paths_;
};
