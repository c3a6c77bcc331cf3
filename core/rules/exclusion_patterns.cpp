#include "exclusion_patterns.h"

ExclusionPatterns ExclusionPatterns::Compile(const std::vector<std::string>& lines) {
    ExclusionPatterns patterns;
    for (const std::string& line : lines)
        patterns.Add(line);
    return patterns;
}

ExclusionPatterns ExclusionPatterns::FromText(std::string_view text) {
    ExclusionPatterns patterns;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        patterns.Add(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return patterns;
}

// A "!" line before any other re-includes nothing and is left out.
void ExclusionPatterns::Add(std::string_view line) {
    std::optional<ExclusionLine> compiled = ExclusionLine::Compile(line);
    if (compiled && !(compiled->Negated() && lines_.empty()))
        lines_.push_back(std::move(*compiled));
}

bool ExclusionPatterns::Excluded(std::string_view relativeFolder, std::string_view name,
                                 bool isFolder) const {
    for (auto line = lines_.rbegin(); line != lines_.rend(); ++line)
        if (line->Matches(relativeFolder, name, isFolder))
            return !line->Negated();
    return false;
}
