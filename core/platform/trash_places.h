#pragma once

#include <string>
#include <sys/types.h>

namespace platform {

// Where the trash folders of the desktop are looked for.
struct TrashPlaces {
    // $XDG_DATA_HOME when it is set and absolute, else $HOME/.local/share; empty when neither
    // is known, and then only the trash folders at the top of each file system are used.
    std::string dataHome;
    uid_t uid = 0;
};

TrashPlaces CurrentTrashPlaces();

} // namespace platform
