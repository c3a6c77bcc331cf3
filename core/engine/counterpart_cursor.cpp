#include "counterpart_cursor.h"

#include "platform/name_order.h"

int CompareFolders(std::string_view a, std::string_view b) {
    while (true) {
        if (a.empty() || b.empty())
            return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
        const std::size_t endA = a.find('/');
        const std::size_t endB = b.find('/');
        if (const int c = platform::CompareNames(a.substr(0, endA), b.substr(0, endB)); c != 0)
            return c;
        a.remove_prefix(endA == std::string_view::npos ? a.size() : endA + 1);
        b.remove_prefix(endB == std::string_view::npos ? b.size() : endB + 1);
    }
}

const MyFile* CounterpartCursor::find(std::string_view relativeFolder, std::string_view name,
                                      const void* folderKey) {
    for (; at_ != RecordStore::iterator(); ++at_) {
        const MyFile* other = *at_;
        const std::string_view otherFolder = other->FolderView();
        if (otherFolder.data() != otherKey_ || folderKey != mineKey_) {
            otherKey_ = otherFolder.data();
            mineKey_ = folderKey;
            const std::string_view otherRelative = rootLength_ <= otherFolder.size()
                                                       ? otherFolder.substr(rootLength_)
                                                       : std::string_view();
            folderOrder_ = CompareFolders(otherRelative, relativeFolder);
        }
        const int order =
            folderOrder_ != 0 ? folderOrder_ : platform::CompareNames(other->Name(), name);
        if (order == 0)
            return other;
        if (order > 0)
            return nullptr;
    }
    return nullptr;
}
