#include "locale_number.h"

#include <charconv>
#include <string>

std::optional<double> ParseLocaleNumber(std::string_view s, char decimalSeparator) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    std::string normal;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        normal += s[i++];
    bool digits = false, separator = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            normal += c;
        } else if (c == decimalSeparator && !separator) {
            separator = true;
            normal += '.';
        } else {
            break;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            normal += s[i++];
        bool expDigits = false;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            expDigits = true;
            normal += s[i];
        }
        if (!expDigits)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    double value = 0;
    const char* begin = normal.data() + (normal.front() == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(begin, normal.data() + normal.size(), value);
    if (ec != std::errc() || end != normal.data() + normal.size())
        return std::nullopt;
    return value;
}
