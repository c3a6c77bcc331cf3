#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace win {

struct HiveValue {
    std::string name; // "" is the default value, written "@"
    std::uint32_t type = 0;
    std::string data; // raw bytes as stored by RegSetValueExA
};

struct HiveKey {
    std::string path; // full path with its root, spelled as created
    std::vector<HiveValue> values;

    HiveValue* findValue(std::string_view name);
    const HiveValue* findValue(std::string_view name) const;
};

// Key and value names compare case-insensitively (ASCII and the Latin-1 letters) but keep
// their spelling; `keys` is ordered by the folded path, so a parent comes before its children.
struct HiveData {
    std::map<std::string, HiveKey> keys;

    HiveKey* findKey(std::string_view path);
    const HiveKey* findKey(std::string_view path) const;
    HiveKey& ensureKey(std::string_view path); // with every missing parent
    std::vector<const HiveKey*> childrenOf(std::string_view path) const;
};

std::string FoldName(std::string_view name);
bool NamesEqual(std::string_view a, std::string_view b);

struct ParsedHive {
    HiveData data;
    bool damaged = false; // some line could not be read and was skipped
};

ParsedHive ParseHive(std::string_view text);
std::string SerializeHive(const HiveData& data);
bool IsValidHiveKeyPath(std::string_view path);

} // namespace win
