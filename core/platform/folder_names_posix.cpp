#include "folder_names.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Reads the open folder `dir` (of descriptor `fd`) to its end into `out`.
void ReadEntries(DIR* dir, int fd, bool includeFiles, FolderNames& out) {
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (e == nullptr) {
            out.error = errno;
            return;
        }
        const char* name = e->d_name;
        if (IsDotOrDotDot(name))
            continue;
        bool isFolder = e->d_type == DT_DIR;
        bool isFile = e->d_type == DT_REG;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(fd, name, &st, 0) != 0)
                continue;
            isFolder = S_ISDIR(st.st_mode);
            isFile = S_ISREG(st.st_mode);
        }
        if (!isFolder && !(includeFiles && isFile))
            continue;
        const bool readable = !isFolder || ::faccessat(fd, name, R_OK | X_OK, AT_EACCESS) == 0;
        out.entries.push_back({name, isFolder, readable});
    }
}

} // namespace

FolderNames ListFolderNames(const std::string& folder, bool includeFiles) {
    FolderNames out;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        out.error = errno;
        return out;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        out.error = errno;
        ::close(fd);
        return out;
    }
    ReadEntries(dir, fd, includeFiles, out);
    ::closedir(dir);
    return out;
}

int MakeFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
}

int GroupOf(const std::string& path, std::uint32_t& group) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno;
    group = st.st_gid;
    return 0;
}

std::string UserName(std::uint32_t user) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return found->pw_name;
    return {};
}

std::string GroupName(std::uint32_t group) {
    std::vector<char> buffer(16384);
    struct group entry {};
    struct group* found = nullptr;
    if (::getgrgid_r(group, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return found->gr_name;
    return {};
}

} // namespace platform
