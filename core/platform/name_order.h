#pragma once

#include <string_view>

namespace platform {

// The order in which a folder's entries are listed: without regard to the case of ASCII
// letters, a name that is the start of another first, ties by bytes. Below 0 when `a` comes
// first, 0 for the same name, above 0 when `b` comes first.
int CompareNames(std::string_view a, std::string_view b);

} // namespace platform
