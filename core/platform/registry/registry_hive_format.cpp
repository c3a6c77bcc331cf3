#include "registry_hive_format.h"

#include "platform/win32_types.h"

#include <cstdio>
#include <unordered_map>
#include <utility>

namespace win {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

bool IsRootName(std::string_view root) {
    return NamesEqual(root, "HKEY_CURRENT_USER") || NamesEqual(root, "HKEY_CLASSES_ROOT");
}

// A key path is a known root followed by non-empty components without control characters.
bool IsValidKeyPath(std::string_view path) {
    const auto sep = path.find('\\');
    if (!IsRootName(path.substr(0, sep)))
        return false;
    if (sep == std::string_view::npos)
        return true;
    std::string_view rest = path.substr(sep + 1);
    if (rest.empty())
        return false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= rest.size(); ++i) {
        if (i == rest.size() || rest[i] == '\\') {
            if (i == start)
                return false;
            start = i + 1;
        } else if (static_cast<unsigned char>(rest[i]) < 0x20) {
            return false;
        }
    }
    return true;
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    out += '"';
}

// Reads a quoted text at `pos`; leaves `pos` after the closing quote.
bool ReadQuoted(std::string_view line, std::size_t& pos, std::string& out) {
    if (pos >= line.size() || line[pos] != '"')
        return false;
    ++pos;
    out.clear();
    while (pos < line.size()) {
        char c = line[pos++];
        if (c == '"')
            return true;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (pos >= line.size())
            return false;
        char e = line[pos++];
        switch (e) {
        case '"':
            out += '"';
            break;
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return false;
        }
    }
    return false;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseHexNumber(std::string_view s, std::uint32_t& out) {
    if (s.empty() || s.size() > 8)
        return false;
    out = 0;
    for (char c : s) {
        int d = HexDigit(c);
        if (d < 0)
            return false;
        out = out * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
}

bool ParseHexBytes(std::string_view s, std::string& out) {
    out.clear();
    if (s.empty())
        return true;
    std::size_t pos = 0;
    while (true) {
        if (pos + 2 > s.size())
            return false;
        int hi = HexDigit(s[pos]);
        int lo = HexDigit(s[pos + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char>(hi * 16 + lo);
        pos += 2;
        if (pos == s.size())
            return true;
        if (s[pos] != ',')
            return false;
        ++pos;
    }
}

bool ParseData(std::string_view s, HiveValue& value) {
    if (!s.empty() && s.front() == '"') {
        std::size_t pos = 0;
        std::string text;
        if (!ReadQuoted(s, pos, text) || pos != s.size())
            return false;
        value.type = REG_SZ;
        value.data = text + '\0';
        return true;
    }
    if (s.substr(0, 6) == "dword:") {
        std::uint32_t n = 0;
        if (s.size() != 14 || !ParseHexNumber(s.substr(6), n))
            return false;
        value.type = REG_DWORD;
        value.data.assign(4, '\0');
        for (int i = 0; i < 4; ++i)
            value.data[i] = static_cast<char>((n >> (8 * i)) & 0xFF);
        return true;
    }
    if (s.substr(0, 4) == "hex:") {
        value.type = REG_BINARY;
        return ParseHexBytes(s.substr(4), value.data);
    }
    if (s.substr(0, 4) == "hex(") {
        const auto close = s.find("):");
        if (close == std::string_view::npos || !ParseHexNumber(s.substr(4, close - 4), value.type))
            return false;
        return ParseHexBytes(s.substr(close + 2), value.data);
    }
    return false;
}

bool ParseValueLine(std::string_view line, HiveValue& value) {
    std::size_t pos = 0;
    if (line.substr(0, 2) == "@=") {
        value.name.clear();
        pos = 1;
    } else if (!ReadQuoted(line, pos, value.name) || pos >= line.size() || line[pos] != '=') {
        return false;
    }
    return ParseData(line.substr(pos + 1), value);
}

// A text is written in quotes when it is exactly one text with its closing NUL and without
// control characters other than the line breaks and tabs that the quoting can carry.
bool IsPlainText(const std::string& data) {
    if (data.empty() || data.back() != '\0')
        return false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        auto c = static_cast<unsigned char>(data[i]);
        if (c < 0x20 && c != '\n' && c != '\r' && c != '\t')
            return false;
    }
    return true;
}

void AppendHex(std::string& out, const std::string& bytes) {
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(bytes[i]));
        if (i > 0)
            out += ',';
        out += buf;
    }
}

void AppendValue(std::string& out, const HiveValue& v) {
    if (v.name.empty())
        out += '@';
    else
        AppendQuoted(out, v.name);
    out += '=';
    char buf[24];
    if (v.type == REG_SZ && IsPlainText(v.data)) {
        AppendQuoted(out, std::string_view(v.data).substr(0, v.data.size() - 1));
    } else if (v.type == REG_DWORD && v.data.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i)
            n = (n << 8) | static_cast<unsigned char>(v.data[i]);
        std::snprintf(buf, sizeof buf, "dword:%08x", n);
        out += buf;
    } else if (v.type == REG_BINARY) {
        out += "hex:";
        AppendHex(out, v.data);
    } else {
        std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
        out += buf;
        AppendHex(out, v.data);
    }
    out += '\n';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

ParsedHive ParseHive(std::string_view text) {
    ParsedHive result;
    HiveKey* current = nullptr;
    // Each key's values by folded name, so a file of many values reads in linear time; a key
    // may have more than one section.
    std::unordered_map<const HiveKey*, std::unordered_map<std::string, std::size_t>> positions;
    std::unordered_map<std::string, std::size_t>* currentPositions = nullptr;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3);
        if (line.empty() || line.front() == ';' || line == kHeader)
            continue;
        if (line.front() == '[') {
            current = nullptr;
            if (line.back() == ']' && line.size() > 2) {
                std::string_view path = line.substr(1, line.size() - 2);
                if (IsValidKeyPath(path)) {
                    current = &result.data.ensureKey(path);
                    currentPositions = &positions[current];
                }
            }
            if (current == nullptr)
                result.damaged = true;
            continue;
        }
        HiveValue value;
        if (current == nullptr || !ParseValueLine(line, value)) {
            result.damaged = true;
            continue;
        }
        const auto [it, added] =
            currentPositions->try_emplace(FoldName(value.name), current->values.size());
        if (added)
            current->values.push_back(std::move(value));
        else
            current->values[it->second] = std::move(value); // the later line wins
    }
    return result;
}

std::string SerializeHive(const HiveData& data) {
    std::string out(kHeader);
    out += "\n\n";
    for (const auto& [folded, key] : data.keys) {
        const bool isRoot = key.path.find('\\') == std::string::npos;
        if (isRoot && key.values.empty())
            continue;
        out += '[';
        out += key.path;
        out += "]\n";
        for (const auto& v : key.values)
            AppendValue(out, v);
        out += '\n';
    }
    return out;
}

bool IsValidHiveKeyPath(std::string_view path) {
    return IsValidKeyPath(path);
}

} // namespace win
