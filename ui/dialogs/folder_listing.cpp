#include "folder_listing.h"

#include <QCollator>
#include <QFile>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Folders first; within a group by the collation key, exact names breaking ties so that the
// order never depends on the order the file system returned.
void SortEntries(std::vector<FolderEntry>& entries) {
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    // Keys once per entry: comparing keys is a byte compare, comparing names a collation.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(entries.size());
    for (const FolderEntry& e : entries)
        keys.push_back(collator.sortKey(e.name));
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (entries[a].isFolder != entries[b].isFolder)
            return entries[a].isFolder;
        const int c = keys[a].compare(keys[b]);
        return c != 0 ? c < 0 : entries[a].name < entries[b].name;
    });
    std::vector<FolderEntry> sorted;
    sorted.reserve(entries.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(entries[i]));
    entries = std::move(sorted);
}

} // namespace

FolderListing ListFolder(const QString& path, bool includeFiles) {
    FolderListing out;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (e == nullptr) {
            // A folder that fails half-way keeps what was read, and says that it failed.
            out.error = errno;
            break;
        }
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
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
        FolderEntry entry;
        entry.name = QFile::decodeName(name);
        entry.isFolder = isFolder;
        entry.hidden = name[0] == '.';
        entry.readable = !isFolder || ::faccessat(fd, name, R_OK | X_OK, AT_EACCESS) == 0;
        out.entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    SortEntries(out.entries);
    return out;
}

QString ChildPath(const QString& folder, const QString& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}
