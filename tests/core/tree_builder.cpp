#include "tree_builder.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

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
    for (auto it = fs::recursive_directory_iterator(
             root_, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            ::chmod(it->path().c_str(), 0755);
    }
    ::chmod(root_.c_str(), 0755);
    fs::remove_all(root_, ec);
}

std::string TreeBuilder::folder(const std::string& relative) {
    fs::create_directories(path(relative));
    return path(relative);
}

std::string TreeBuilder::file(const std::string& relative, std::int64_t size, std::int64_t unixTime,
                              long nanoseconds, bool sparse) {
    const std::string p = path(relative);
    fs::create_directories(fs::path(p).parent_path());
    const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + p);
    if (sparse) {
        if (::ftruncate(fd, size) != 0)
            throw std::runtime_error("ftruncate failed");
    } else {
        std::string block(static_cast<std::size_t>(std::min<std::int64_t>(size, 65536)), 'x');
        for (std::int64_t left = size; left > 0;) {
            const auto n = static_cast<std::size_t>(std::min<std::int64_t>(left, 65536));
            if (::write(fd, block.data(), n) != static_cast<ssize_t>(n))
                throw std::runtime_error("write failed");
            left -= static_cast<std::int64_t>(n);
        }
    }
    if (unixTime != 0) {
        const timespec times[2] = {{unixTime, nanoseconds}, {unixTime, nanoseconds}};
        ::futimens(fd, times);
    }
    ::close(fd);
    return p;
}

std::string TreeBuilder::text(const std::string& relative, const std::string& content,
                              std::int64_t unixTime) {
    const std::string p = file(relative);
    const int fd = ::open(p.c_str(), O_WRONLY | O_TRUNC);
    if (::write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size()))
        throw std::runtime_error("write failed");
    if (unixTime != 0) {
        const timespec times[2] = {{unixTime, 0}, {unixTime, 0}};
        ::futimens(fd, times);
    }
    ::close(fd);
    return p;
}

std::string TreeBuilder::link(const std::string& relative, const std::string& target) {
    const std::string p = path(relative);
    fs::create_directories(fs::path(p).parent_path());
    fs::create_symlink(target, p);
    return p;
}

std::string TreeBuilder::fifo(const std::string& relative) {
    const std::string p = path(relative);
    fs::create_directories(fs::path(p).parent_path());
    if (::mkfifo(p.c_str(), 0644) != 0)
        throw std::runtime_error("mkfifo failed");
    return p;
}

std::int64_t UnixTime(int hour, int minute, int second) {
    constexpr std::int64_t kDay = 1715904000; // 2024-05-17 00:00:00 UTC
    return kDay + hour * 3600 + minute * 60 + second;
}

DateTime At(int hour, int minute, int second) {
    return DateTimeFromUnix(UnixTime(hour, minute, second));
}
