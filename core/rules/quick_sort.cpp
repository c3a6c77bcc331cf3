#include "quick_sort.h"

#include <algorithm>

namespace {

// The next code point of a UTF-8 text; a byte that starts no valid sequence stands for itself.
char32_t NextCodePoint(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    auto cont = [&](std::size_t k) {
        return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
    };
    auto bits = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]) & 0x3Fu; };
    if (b0 >= 0xC2 && b0 < 0xE0 && cont(1)) {
        char32_t cp = ((b0 & 0x1Fu) << 6) | bits(1);
        i += 2;
        return cp;
    }
    if (b0 >= 0xE0 && b0 < 0xF0 && cont(1) && cont(2)) {
        char32_t cp = ((b0 & 0x0Fu) << 12) | (bits(1) << 6) | bits(2);
        i += 3;
        return cp;
    }
    if (b0 >= 0xF0 && b0 < 0xF5 && cont(1) && cont(2) && cont(3)) {
        char32_t cp = ((b0 & 0x07u) << 18) | (bits(1) << 12) | (bits(2) << 6) | bits(3);
        i += 4;
        return cp;
    }
    ++i;
    return b0;
}

// Code points beyond the basic plane travel as surrogates (D800..DFFF) in UTF-16, so they
// sort before U+E000..U+FFFF.
char32_t Utf16Weight(char32_t cp) {
    if (cp >= 0x10000)
        return 0xD800 + ((cp - 0x10000) >> 10);
    return cp;
}

} // namespace

bool Utf16Less(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t ca = NextCodePoint(a, i);
        const char32_t cb = NextCodePoint(b, j);
        if (ca == cb)
            continue;
        const char32_t wa = Utf16Weight(ca), wb = Utf16Weight(cb);
        if (wa != wb)
            return wa < wb;
        return ca < cb; // two code points behind the same high surrogate
    }
    return i == a.size() && j < b.size();
}

void QuickSort(std::vector<std::string>& list, std::size_t lo, std::size_t hi) {
    if (list.empty())
        return;
    if (hi == 0)
        hi = list.size() - 1;
    if (lo >= hi)
        return;
    // Distinct names have one order, so any sort gives the same list; this one stays fast
    // also on names that arrive sorted.
    std::sort(list.begin() + std::ptrdiff_t(lo), list.begin() + std::ptrdiff_t(hi) + 1,
              [](const std::string& a, const std::string& b) { return Utf16Less(a, b); });
}
