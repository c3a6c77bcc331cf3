#pragma once

#include "platform/win32_types.h"
#include "registry_hive_format.h"

#include <cstddef>
#include <functional>
#include <string>

namespace win {

// Points at which a rewrite of the hive can be interrupted in tests, to show that a
// process killed there leaves the old or the new hive, never a mix.
enum class HiveWriteStage { TemporaryHalfWritten, TemporaryComplete, Renamed };
using HiveWriteHook = void (*)(HiveWriteStage);
void SetHiveWriteHookForTests(HiveWriteHook hook);

// Lets a test fail a rewrite as a full disk would: called with the file about to be replaced
// and the size of its new text, it returns the errno to fail with, or 0 to write.
using HiveWriteFault = int (*)(const std::string& target, std::size_t newSize);
void SetHiveWriteFaultForTests(HiveWriteFault fault);

// Where a rewrite of `target` puts its new text first: a name of this process, and another
// one for each further attempt when a name is taken.
std::string HiveTemporaryPath(const std::string& target, int attempt);

// $XDG_CONFIG_HOME/gleichwart/registry.reg, ~/.config/gleichwart/registry.reg when unset.
std::string HivePathFromEnvironment();

// The registry file of the current user. Readers see the file as it is on disk now; every
// change locks the hive, reads it again, applies that one change and replaces the file
// atomically, so two running copies never lose each other's values. A hive that is a symbolic
// link (kept in a dotfiles folder) stays one: the file it points at is replaced. The lock
// stays beside the path the program knows, where every running copy looks for it.
class Hive {
public:
    explicit Hive(std::string path);

    // The hive at the path the environment names now (tests switch XDG_CONFIG_HOME).
    static Hive& Current();

    const std::string& path() const { return path_; }
    const HiveData& read();
    // `change` returns a Win32 code; the file is rewritten only when it returns 0 and the
    // hive's text differs. Returns the change's code or the code of a failed write.
    LONG modify(const std::function<LONG(HiveData&)>& change);

private:
    struct Identity {
        unsigned long long dev = 0, ino = 0, size = 0;
        long long mtimeSec = 0, mtimeNsec = 0, ctimeNsec = 0;
        bool exists = false;
        bool operator==(const Identity&) const = default;
    };
    Identity statFile() const;
    // Replaces the file at `path`, or the one its symbolic links lead to, with `text`.
    LONG writeFile(const std::string& path, const std::string& text);

    std::string path_;
    HiveData cache_;
    Identity cachedIdentity_;
    bool cacheValid_ = false;
};

} // namespace win
