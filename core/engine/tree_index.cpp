#include "tree_index.h"

namespace {

std::uint64_t Fnv(std::uint64_t h, std::string_view s) {
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}

std::string_view Relative(std::string_view folder, std::size_t rootLength) {
    return rootLength <= folder.size() ? folder.substr(rootLength) : std::string_view();
}

} // namespace

std::uint64_t TreeIndex::hash(std::string_view folder, std::string_view name) const {
    // A name never holds "/", so folder and name split one relative path in one way only.
    return Fnv(Fnv(14695981039346656037ULL, folder), name);
}

TreeIndex::TreeIndex(const FileList& files, std::size_t rootLength)
    : files_(files), rootLength_(rootLength) {
    std::size_t capacity = 16;
    while (capacity < files.size() * 2)
        capacity *= 2;
    slots_.assign(capacity, 0);
    mask_ = capacity - 1;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const MyFile* f = files[i];
        std::size_t slot = hash(Relative(f->FolderView(), rootLength_), f->Name) & mask_;
        while (slots_[slot] != 0)
            slot = (slot + 1) & mask_;
        slots_[slot] = static_cast<std::uint32_t>(i + 1);
    }
}

const MyFile* TreeIndex::find(std::string_view relativeFolder, std::string_view name) const {
    std::size_t slot = hash(relativeFolder, name) & mask_;
    while (slots_[slot] != 0) {
        const MyFile* f = files_[slots_[slot] - 1];
        if (name == f->Name && relativeFolder == Relative(f->FolderView(), rootLength_))
            return f;
        slot = (slot + 1) & mask_;
    }
    return nullptr;
}
