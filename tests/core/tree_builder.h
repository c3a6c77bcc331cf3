#pragma once

#include "platform/date_time.h"

#include <cstdint>
#include <string>

// Builds a folder tree for a test inside a temporary folder that is removed afterwards.
class TreeBuilder {
public:
    TreeBuilder();
    ~TreeBuilder();
    TreeBuilder(const TreeBuilder&) = delete;
    TreeBuilder& operator=(const TreeBuilder&) = delete;

    const std::string& root() const { return root_; }
    std::string path(const std::string& relative) const { return root_ + "/" + relative; }

    // A file with `size` bytes of content (made sparse when `sparse`), written at `unixTime`
    // seconds plus `nanoseconds` (0: left as created).
    std::string file(const std::string& relative, std::int64_t size = 0, std::int64_t unixTime = 0,
                     long nanoseconds = 0, bool sparse = false);
    std::string text(const std::string& relative, const std::string& content,
                     std::int64_t unixTime = 0);
    std::string folder(const std::string& relative);
    std::string link(const std::string& relative, const std::string& target);

private:
    std::string root_;
};

// 2024-05-17 and a time of day, as Unix seconds (UTC).
std::int64_t UnixTime(int hour, int minute, int second);
// The same moment as a date-time of the scanner.
DateTime At(int hour, int minute, int second);
