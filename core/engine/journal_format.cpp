#include "journal_format.h"

#include <charconv>
#include <cstdio>

namespace journal {
namespace {

constexpr std::string_view kPrefix = "abgleich-";
constexpr std::string_view kSuffix = ".journal";

bool Plain(unsigned char c) {
    return c > ' ' && c < 0x7F && c != '%';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

template <class Number> bool ReadDecimal(std::string_view field, Number& n) {
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, n);
    return !field.empty() && ec == std::errc() && ptr == end;
}

} // namespace

void AddName(std::string& line, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    line += ' ';
    if (bytes.empty())
        line += '%';
    for (const unsigned char c : bytes) {
        if (Plain(c)) {
            line += static_cast<char>(c);
        } else {
            line += '%';
            line += kHex[c >> 4];
            line += kHex[c & 15];
        }
    }
}

void AddNumber(std::string& line, std::int64_t n) {
    char text[24];
    const auto [ptr, ec] = std::to_chars(text, text + sizeof text, n);
    line += ' ';
    line.append(text, ptr);
}

void AddNumber(std::string& line, std::uint64_t n) {
    char text[24];
    const auto [ptr, ec] = std::to_chars(text, text + sizeof text, n);
    line += ' ';
    line.append(text, ptr);
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos <= line.size()) {
        const std::size_t blank = line.find(' ', pos);
        const std::size_t end = blank == std::string_view::npos ? line.size() : blank;
        fields.push_back(line.substr(pos, end - pos));
        pos = end + 1;
    }
    return fields;
}

bool ReadName(std::string_view field, std::string& out) {
    out.clear();
    if (field == "%")
        return true;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(field[i]);
        if (c != '%') {
            if (!Plain(c))
                return false;
            out += static_cast<char>(c);
            continue;
        }
        if (i + 2 >= field.size())
            return false;
        const int high = HexValue(field[i + 1]);
        const int low = HexValue(field[i + 2]);
        if (high < 0 || low < 0)
            return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return !field.empty();
}

bool ReadNumber(std::string_view field, std::int64_t& n) {
    return ReadDecimal(field, n);
}

bool ReadNumber(std::string_view field, std::uint64_t& n) {
    return ReadDecimal(field, n);
}

std::string FileName(std::uint64_t number) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%010llu", static_cast<unsigned long long>(number));
    return std::string(kPrefix) + digits + std::string(kSuffix);
}

bool FileNumber(std::string_view name, std::uint64_t& number) {
    if (name.size() != kPrefix.size() + 10 + kSuffix.size() || !name.starts_with(kPrefix) ||
        !name.ends_with(kSuffix))
        return false;
    return ReadDecimal(name.substr(kPrefix.size(), 10), number);
}

} // namespace journal
