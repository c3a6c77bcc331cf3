#include "scan_order.h"

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
