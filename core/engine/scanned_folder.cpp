#include "scanned_folder.h"

#include "platform/name_order.h"

#include <algorithm>

const ScannedFile* ScannedFolder::Unreported(std::string_view name) const {
    // The listing is in name order, so a halving search finds it.
    const auto at = std::lower_bound(unreported.begin(), unreported.end(), name,
                                     [this](const ScannedFile& f, std::string_view n) {
                                         return platform::CompareNames(Name(f), n) < 0;
                                     });
    if (at == unreported.end() || platform::CompareNames(Name(*at), name) != 0)
        return nullptr;
    return &*at;
}
