#pragma once

#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kTrashInfoSuffix = ".trashinfo";

// The bytes of `path` as a trash description holds them: every byte but letters, digits,
// "-._~" and "/" as %XX.
std::string TrashPathEncode(const std::string& path);
// Appends TrashPathEncode(bytes) to `out`.
void AppendTrashPathEncoded(std::string& out, std::string_view bytes);

// The name under which the `variant`th entry called `name` lies in the trash: `name` itself
// for 1, else a number before the extension ("Brief 2.txt"); cut so that the name of its
// description fits into a folder entry.
std::string TrashVariantName(const std::string& name, unsigned variant);

} // namespace platform
