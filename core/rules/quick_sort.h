#pragma once

#include <string>
#include <string_view>
#include <vector>

// Orders two UTF-8 texts as their UTF-16 code units compare: case-sensitive, capitals
// first, umlauts after "z".
bool Utf16Less(std::string_view a, std::string_view b);

// Sorts list[lo..hi] ascending in place; 0 for lo or hi stands for the list's own bound.
void QuickSort(std::vector<std::string>& list, std::size_t lo = 0, std::size_t hi = 0);
