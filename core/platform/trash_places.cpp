#include "trash_places.h"

#include <cstdlib>
#include <unistd.h>

namespace platform {

TrashPlaces CurrentTrashPlaces() {
    TrashPlaces places;
    places.uid = ::geteuid();
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data != nullptr && data[0] == '/')
        places.dataHome = data;
    else if (home != nullptr && home[0] == '/')
        places.dataHome = std::string(home) + "/.local/share";
    while (places.dataHome.size() > 1 && places.dataHome.back() == '/')
        places.dataHome.pop_back();
    return places;
}

} // namespace platform
