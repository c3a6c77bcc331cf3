#pragma once

#include "my_file.h"

#include <cstddef>
#include <string>
#include <string_view>

// How far the scanner's paths reach into a root: the root with one trailing "/".
inline std::size_t RootPrefixLength(const std::string& root) {
    return root.empty() || root.back() != '/' ? root.size() + 1 : root.size();
}

// The part of a folder path (ending in "/") below its root: "" for the root itself, else
// components each ending in "/", as the folder chains and tree readers take it.
inline std::string_view RelativeFolder(std::string_view folder, std::size_t rootLength) {
    return rootLength < folder.size() ? folder.substr(rootLength) : std::string_view();
}

// The same for a record's folder.
inline std::string_view RelativeFolderOf(const MyFile& f, std::size_t rootLength) {
    return RelativeFolder(f.FolderView(), rootLength);
}
