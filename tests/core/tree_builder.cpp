#include "tree_builder.h"

#include "temp_home.h"

#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

static void SetTime(const std::string& path, std::int64_t unixTime, long nanoseconds) {
    const timespec times[2] = {{unixTime, nanoseconds}, {unixTime, nanoseconds}};
    if (unixTime != 0 && ::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        throw std::runtime_error("cannot set the time of " + path);
}

TreeBuilder::TreeBuilder() {
    std::string templ = (fs::temp_directory_path() / "gleichwart-tree-XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    root_ = templ;
    ::chmod(root_.c_str(), 0755); // other users (a test's unprivileged child) may look in
}

TreeBuilder::~TreeBuilder() {
    // Give back every permission a test took away, so the tree can be removed.
    std::error_code ec;
    ::chmod(root_.c_str(), 0755);
    for (auto it = fs::recursive_directory_iterator(
             root_, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            ::chmod(it->path().c_str(), 0755);
    }
    fs::remove_all(root_, ec);
}

std::string TreeBuilder::folder(const std::string& relative) {
    fs::create_directories(path(relative));
    return path(relative);
}

std::string TreeBuilder::file(const std::string& relative, std::int64_t size, std::int64_t unixTime,
                              long nanoseconds, bool sparse) {
    const std::string p = text(relative, sparse ? "" : std::string(std::size_t(size), 'x'));
    if (sparse)
        fs::resize_file(p, std::uintmax_t(size));
    SetTime(p, unixTime, nanoseconds);
    return p;
}

std::string TreeBuilder::text(const std::string& relative, const std::string& content,
                              std::int64_t unixTime) {
    const std::string p = path(relative);
    WriteFile(p, content);
    SetTime(p, unixTime, 0);
    return p;
}

std::string TreeBuilder::link(const std::string& relative, const std::string& target) {
    fs::create_directories(fs::path(path(relative)).parent_path());
    fs::create_symlink(target, path(relative));
    return path(relative);
}

std::int64_t UnixTime(int hour, int minute, int second) {
    constexpr std::int64_t kDay = 1715904000; // 2024-05-17 00:00:00 UTC
    return kDay + hour * 3600 + minute * 60 + second;
}

DateTime At(int hour, int minute, int second) {
    return DateTimeFromUnix(UnixTime(hour, minute, second));
}
