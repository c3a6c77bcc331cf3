#include "system_info.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef GLEICHWART_DATA_DIR
#define GLEICHWART_DATA_DIR "/usr/local/share/gleichwart"
#endif
// The share folder as seen from the bin folder of the same installation.
#ifndef GLEICHWART_DATA_FROM_BIN
#define GLEICHWART_DATA_FROM_BIN "../share/gleichwart"
#endif

namespace win {

std::uint32_t GetTickCount() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

std::string GetTempPathA() {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp";
    if (path.back() != '/')
        path += '/';
    return path;
}

} // namespace win

namespace platform {

std::string ExecutableFolder() {
    std::string buf(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n <= 0)
        return ".";
    buf.resize(static_cast<std::size_t>(n));
    const auto slash = buf.rfind('/');
    return slash == 0 ? "/" : buf.substr(0, slash);
}

namespace {

bool HoldsIcons(const std::string& folder) {
    struct stat st {};
    return ::stat((folder + "/Icons").c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string ProgramFolder() {
    return ProgramFolderFor(ExecutableFolder());
}

std::string ProgramFolderFor(const std::string& executableFolder) {
    if (HoldsIcons(executableFolder))
        return executableFolder;
    const std::string beside =
        (std::filesystem::path(executableFolder) / GLEICHWART_DATA_FROM_BIN).lexically_normal();
    if (HoldsIcons(beside))
        return beside;
    return InstalledProgramFolder();
}

std::string InstalledProgramFolder() {
    return GLEICHWART_DATA_DIR;
}

std::size_t OpenFilesAllowed() {
    static const std::size_t allowed = [] {
        rlimit limit{};
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
            return std::size_t(256);
        if (limit.rlim_cur < limit.rlim_max) {
            rlimit raised = limit;
            raised.rlim_cur = std::min<rlim_t>(limit.rlim_max, 1 << 16);
            if (raised.rlim_cur > limit.rlim_cur && ::setrlimit(RLIMIT_NOFILE, &raised) == 0)
                limit = raised;
        }
        return static_cast<std::size_t>(limit.rlim_cur);
    }();
    return allowed;
}

} // namespace platform
