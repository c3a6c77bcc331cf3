// Keys and values of the hive found by name: names compare without regard to letter case,
// ASCII and the Latin-1 letters, and keep their spelling.
#include "registry_hive_format.h"

#include <utility>

namespace win {

std::string FoldName(std::string_view name) {
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < out.size()) {
            // Latin-1 capitals À..Þ (U+00C0..U+00DE) but the multiplication sign
            auto d = static_cast<unsigned char>(out[i + 1]);
            if (d >= 0x80 && d <= 0x9E && d != 0x97)
                out[i + 1] = static_cast<char>(d + 0x20);
            ++i;
        }
    }
    return out;
}

// FoldName(a) == FoldName(b), byte by byte without making either: a lookup among many values
// then costs no allocation.
bool NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    auto lowerAscii = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : int(c); };
    auto lowerLatin1 = [](unsigned char d) {
        return d >= 0x80 && d <= 0x9E && d != 0x97 ? d + 0x20 : int(d);
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (lowerAscii(ca) != lowerAscii(cb))
            return false;
        if (ca == 0xC3 && i + 1 < a.size()) {
            ++i;
            if (lowerLatin1(static_cast<unsigned char>(a[i])) !=
                lowerLatin1(static_cast<unsigned char>(b[i])))
                return false;
        }
    }
    return true;
}

const HiveValue* HiveKey::findValue(std::string_view name) const {
    for (const auto& v : values)
        if (NamesEqual(v.name, name))
            return &v;
    return nullptr;
}

HiveValue* HiveKey::findValue(std::string_view name) {
    return const_cast<HiveValue*>(std::as_const(*this).findValue(name));
}

HiveKey* HiveData::findKey(std::string_view path) {
    auto it = keys.find(FoldName(path));
    return it == keys.end() ? nullptr : &it->second;
}

const HiveKey* HiveData::findKey(std::string_view path) const {
    auto it = keys.find(FoldName(path));
    return it == keys.end() ? nullptr : &it->second;
}

HiveKey& HiveData::ensureKey(std::string_view path) {
    std::size_t sep = path.find('\\');
    while (sep != std::string_view::npos) {
        sep = path.find('\\', sep + 1);
        std::string_view prefix = path.substr(0, sep);
        auto [it, inserted] = keys.try_emplace(FoldName(prefix));
        if (inserted)
            it->second.path = std::string(prefix);
    }
    auto [it, inserted] = keys.try_emplace(FoldName(path));
    if (inserted)
        it->second.path = std::string(path);
    return it->second;
}

std::vector<const HiveKey*> HiveData::childrenOf(std::string_view path) const {
    std::vector<const HiveKey*> out;
    const std::string prefix = FoldName(path) + '\\';
    for (auto it = keys.lower_bound(prefix); it != keys.end(); ++it) {
        const std::string& k = it->first;
        if (k.compare(0, prefix.size(), prefix) != 0)
            break;
        if (k.find('\\', prefix.size()) == std::string::npos)
            out.push_back(&it->second);
    }
    return out;
}

} // namespace win
