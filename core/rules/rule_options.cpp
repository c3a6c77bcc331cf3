#include "rule_options.h"

#include <vector>

namespace {

constexpr std::string_view kLinksName = "links";
constexpr std::string_view kFoldersName = "ordner";

struct OptionLine {
    std::string_view name, value, whole;
};

// The lines of `text` that have a name; empty and damaged lines are left out.
std::vector<OptionLine> OptionLines(std::string_view text) {
    std::vector<OptionLine> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const auto equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0)
            continue;
        lines.push_back({line.substr(0, equals), line.substr(equals + 1), line});
    }
    return lines;
}

bool IsKnownName(std::string_view name) {
    return name == kLinksName || name == kFoldersName;
}

} // namespace

RuleOptions ParseRuleOptions(std::string_view text) {
    RuleOptions options;
    for (const OptionLine& line : OptionLines(text)) {
        if (line.name == kLinksName)
            options.SymbolicLinks = line.value == "1";
        else if (line.name == kFoldersName)
            options.MatchFolders = line.value == "1";
    }
    return options;
}

std::string FormatRuleOptions(const RuleOptions& options, std::string_view stored) {
    std::vector<std::string_view> lines;
    if (options.SymbolicLinks)
        lines.push_back("links=1");
    if (options.MatchFolders)
        lines.push_back("ordner=1");
    for (const OptionLine& line : OptionLines(stored))
        if (!IsKnownName(line.name))
            lines.push_back(line.whole);
    std::string text;
    for (const std::string_view line : lines) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    return text;
}
