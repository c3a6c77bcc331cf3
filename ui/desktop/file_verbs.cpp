#include "file_verbs.h"

#include "platform/file_ops.h"
#include "platform/trash.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>

namespace {

// The folder, open for the calls relative to it; closed again when it goes.
class OpenFolder {
public:
    OpenFolder(platform::FileOps& ops, const std::string& path) : ops_(ops) {
        error_ = ops_.Open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0, fd_);
    }
    ~OpenFolder() {
        if (fd_ >= 0)
            ops_.Close(fd_);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    int error() const { return error_; }
    int fd() const { return fd_; }

private:
    platform::FileOps& ops_;
    int fd_ = -1;
    int error_ = 0;
};

bool IsOneComponent(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

} // namespace

int RenameEntry(platform::FileOps& ops, const std::string& folder, const std::string& name,
                const std::string& newName) {
    if (!IsOneComponent(name) || !IsOneComponent(newName))
        return EINVAL;
    const OpenFolder dir(ops, folder);
    if (dir.error() != 0)
        return dir.error();
    return ops.RenameAt(dir.fd(), name, dir.fd(), newName, RENAME_NOREPLACE);
}

void TrashEntries(platform::FileOps& ops, const std::string& folder,
                  const std::vector<std::string>& names, std::vector<int>& errors) {
    errors.assign(names.size(), 0);
    const OpenFolder dir(ops, folder);
    if (dir.error() != 0) {
        errors.assign(names.size(), dir.error());
        return;
    }
    platform::MoveAllToTrash(ops, dir.fd(), folder, names, platform::CurrentTrashPlaces(), errors);
}

void DeleteEntries(platform::FileOps& ops, const std::string& folder,
                   const std::vector<std::string>& names, std::vector<int>& errors) {
    errors.assign(names.size(), 0);
    const OpenFolder dir(ops, folder);
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (dir.error() != 0)
            errors[k] = dir.error();
        else if (!IsOneComponent(names[k]))
            errors[k] = EINVAL;
        else
            errors[k] = ops.UnlinkAt(dir.fd(), names[k], 0);
    }
}
