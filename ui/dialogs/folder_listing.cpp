#include "folder_listing.h"

#include "platform/folder_names.h"

#include <QCollator>
#include <QFile>
#include <QLocale>

#include <algorithm>
#include <numeric>

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
    platform::FolderNames found =
        platform::ListFolderNames(QFile::encodeName(path).toStdString(), includeFiles);
    FolderListing out;
    out.error = found.error;
    out.entries.reserve(found.entries.size());
    for (const platform::FolderName& e : found.entries) {
        FolderEntry entry;
        entry.name = QFile::decodeName(QByteArray::fromStdString(e.name));
        entry.isFolder = e.isFolder;
        entry.hidden = e.name.front() == '.';
        entry.readable = e.readable;
        out.entries.push_back(std::move(entry));
    }
    SortEntries(out.entries);
    return out;
}

QString ChildPath(const QString& folder, const QString& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}
