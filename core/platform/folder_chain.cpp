#include "folder_chain.h"

#include "file_ops.h"

#include <cerrno>
#include <fcntl.h>

namespace platform {

OpenFolder::~OpenFolder() {
    if (fd >= 0)
        ops.Close(fd);
}

int FolderChain::OpenRoot(const std::string& root, FileIdentity* identity) {
    chain_.clear();
    names_.clear();
    int fd = -1;
    if (int err = ops_.Open(root.empty() ? std::string("/") : root, O_RDONLY | O_DIRECTORY, 0, fd);
        err != 0)
        return err;
    auto ref = std::make_shared<OpenFolder>(ops_, fd);
    if (identity != nullptr) {
        FileInfo st;
        if (int err = ops_.Fstat(fd, st); err != 0)
            return err;
        *identity = {st.device, st.inode, BirthOf(fd)};
    }
    chain_.push_back(std::move(ref));
    return 0;
}

int FolderChain::openComponent(int parent, const std::string& name, std::string_view upTo,
                               bool create, int& fd, bool& made) {
    made = false;
    int err = ops_.OpenAt(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW, 0, fd);
    if (err == ENOENT && create) {
        if (making_ != nullptr)
            making_->BeforeMaking(upTo);
        err = ops_.MkdirAt(parent, name, 0777);
        if (err != 0 && err != EEXIST)
            return err;
        made = err == 0;
        err = ops_.OpenAt(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW, 0, fd);
    }
    if (err == ELOOP || err == ENOTDIR) {
        // Tell a link (never followed) from a file standing where a folder should be.
        FileInfo st;
        if (ops_.StatAt(parent, name, st) == 0)
            err = st.type == FileInfo::Type::Link ? ELOOP : ENOTDIR;
    }
    return err;
}

int FolderChain::Resolve(std::string_view relative, bool create, FolderRef& folder, bool* created) {
    folder.reset();
    if (created != nullptr)
        *created = false;
    if (chain_.empty())
        return EBADF;
    // Keep the open folders the new path shares with the last one.
    std::size_t depth = 0;
    std::size_t pos = 0;
    while (depth < names_.size()) {
        const auto slash = relative.find('/', pos);
        if (slash == std::string_view::npos || relative.substr(pos, slash - pos) != names_[depth])
            break;
        pos = slash + 1;
        ++depth;
    }
    chain_.resize(depth + 1);
    names_.resize(depth);
    while (pos < relative.size()) {
        auto slash = relative.find('/', pos);
        if (slash == std::string_view::npos)
            slash = relative.size();
        std::string name(relative.substr(pos, slash - pos));
        pos = slash + 1;
        if (name.empty() || name == ".")
            continue;
        if (name == "..")
            return EINVAL; // never climbs out of the tree
        int fd = -1;
        bool made = false;
        if (int err =
                openComponent(chain_.back()->fd, name, relative.substr(0, pos), create, fd, made);
            err != 0)
            return err;
        if (created != nullptr)
            *created = made;
        chain_.push_back(std::make_shared<OpenFolder>(ops_, fd));
        names_.push_back(std::move(name));
    }
    folder = chain_.back();
    return 0;
}

} // namespace platform
