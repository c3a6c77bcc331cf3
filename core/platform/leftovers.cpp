#include "leftovers.h"

#include "file_copy.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace platform {
namespace {

// The digits at `pos`, as a number; `pos` moves past them. -1 when there are none.
long Digits(std::string_view s, std::size_t& pos) {
    long n = -1;
    for (; pos < s.size() && s[pos] >= '0' && s[pos] <= '9'; ++pos) {
        if (n > 99999999999L)
            return -1; // longer than any number this program writes
        n = (n < 0 ? 0 : n * 10) + (s[pos] - '0');
    }
    return n;
}

} // namespace

long CopyTemporaryOwner(std::string_view name) {
    const std::size_t prefix = std::strlen(kTemporaryPrefix);
    // Checked first and cheaply: the scanner asks about every name of every folder.
    if (name.size() < prefix + 7 || name[0] != '.' ||
        name.compare(0, prefix, kTemporaryPrefix) != 0)
        return 0;
    std::size_t pos = prefix;
    const long pid = Digits(name, pos);
    if (pid <= 0 || pos >= name.size() || name[pos] != '-' || Digits(name, ++pos) < 0)
        return 0;
    return name.substr(pos) == ".tmp" ? pid : 0;
}

bool ProcessGone(long pid) {
    return pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 &&
           errno == ESRCH;
}

} // namespace platform
