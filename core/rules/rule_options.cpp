#include "rule_options.h"

#include <vector>

namespace {

constexpr std::string_view kLinksName = "links";
constexpr std::string_view kFoldersName = "ordner";
constexpr std::string_view kExclusionName = "ausschliessen";

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
    return name == kLinksName || name == kFoldersName || name == kExclusionName;
}

} // namespace

RuleOptions ParseRuleOptions(std::string_view text) {
    RuleOptions options;
    for (const OptionLine& line : OptionLines(text)) {
        if (line.name == kLinksName)
            options.SymbolicLinks = line.value == "1";
        else if (line.name == kFoldersName)
            options.MatchFolders = line.value == "1";
        else if (line.name == kExclusionName)
            options.Exclusions.emplace_back(line.value);
    }
    return options;
}

std::string FormatRuleOptions(const RuleOptions& options, std::string_view stored) {
    std::vector<std::string> lines;
    if (options.SymbolicLinks)
        lines.emplace_back("links=1");
    if (options.MatchFolders)
        lines.emplace_back("ordner=1");
    for (const std::string& pattern : options.Exclusions)
        if (!pattern.empty() && pattern.find('\n') == std::string::npos)
            lines.push_back(std::string(kExclusionName) + '=' + pattern);
    for (const OptionLine& line : OptionLines(stored))
        if (!IsKnownName(line.name))
            lines.emplace_back(line.whole);
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    return text;
}
