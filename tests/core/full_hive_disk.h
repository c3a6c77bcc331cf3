#pragma once

#include "platform/registry/registry_hive.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>

// While it lives, the hive's disk is full: a rewrite that makes the file larger fails with
// ENOSPC, one that keeps or shrinks its size still succeeds. Works the same for root.
class FullHiveDisk {
public:
    FullHiveDisk() { win::SetHiveWriteFaultForTests(&Refuse); }
    ~FullHiveDisk() { win::SetHiveWriteFaultForTests(nullptr); }
    FullHiveDisk(const FullHiveDisk&) = delete;
    FullHiveDisk& operator=(const FullHiveDisk&) = delete;

private:
    static int Refuse(const std::string& target, std::size_t newSize) {
        struct stat st {};
        const std::size_t now = ::stat(target.c_str(), &st) == 0 ? st.st_size : 0;
        return newSize > now ? ENOSPC : 0;
    }
};
