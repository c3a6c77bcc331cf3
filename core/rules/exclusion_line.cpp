#include "exclusion_line.h"

#include <algorithm>

namespace {

// The line without its trailing spaces; an escaped one ("\ ") stays, with all before it.
std::string_view WithoutTrailingSpaces(std::string_view line) {
    std::size_t keep = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const bool escaped = line[i] == '\\';
        if (escaped && ++i == line.size())
            return line; // a lone "\" at the end: the pattern matches nothing anyway
        if (escaped || line[i] != ' ')
            keep = i + 1;
    }
    return line.substr(0, keep);
}

// The pieces of a pattern between its slashes. An escaped slash ("\/") separates too, a
// slash inside a character class does not. Empty when a class is not closed.
std::optional<std::vector<std::string_view>> Pieces(std::string_view pattern) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i < pattern.size();) {
        if (pattern[i] == '[') {
            const std::optional<ByteClass> set = ParseByteClass(pattern, i);
            if (!set)
                return std::nullopt;
            i = set->end;
        } else if (pattern[i] == '/' || pattern.substr(i, 2) == "\\/") {
            pieces.push_back(pattern.substr(start, i - start));
            i += pattern[i] == '/' ? 1 : 2;
            start = i;
        } else {
            i += pattern[i] == '\\' ? 2 : 1;
        }
    }
    pieces.push_back(pattern.substr(start));
    return pieces;
}

bool IsDoubleStar(std::string_view piece) {
    return piece.size() >= 2 && piece.find_first_not_of('*') == std::string_view::npos;
}

} // namespace

std::optional<ExclusionLine> ExclusionLine::Compile(std::string_view line) {
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    if (line.starts_with('#'))
        return std::nullopt;
    line = WithoutTrailingSpaces(line);
    ExclusionLine result;
    result.negated_ = line.starts_with('!');
    if (result.negated_)
        line.remove_prefix(1);
    result.folderOnly_ = line.ends_with('/');
    if (result.folderOnly_)
        line.remove_suffix(1);
    if (line.empty())
        return std::nullopt;
    if (line.find('/') == std::string_view::npos) {
        std::optional<NameGlob> glob = NameGlob::Compile(line);
        if (!glob)
            return std::nullopt;
        result.name_ = std::move(*glob);
        return result;
    }
    if (line.starts_with('/'))
        line.remove_prefix(1);
    const auto pieces = Pieces(line);
    if (!pieces || !result.AddSteps(*pieces))
        return std::nullopt;
    return result;
}

// "**/name" is the same as "name" alone, and is matched as that.
bool ExclusionLine::AddSteps(const std::vector<std::string_view>& pieces) {
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        if (IsDoubleStar(pieces[k])) {
            if (k + 1 == pieces.size()) // "/**" at the end takes one name at least
                steps_.push_back({false, *NameGlob::Compile("*")});
            steps_.push_back({true, {}});
            continue;
        }
        std::optional<NameGlob> glob = NameGlob::Compile(pieces[k]);
        if (!glob)
            return false;
        steps_.push_back({false, std::move(*glob)});
    }
    if (steps_.size() == 2 && steps_[0].anyFolders && !steps_[1].anyFolders) {
        name_ = std::move(steps_[1].glob);
        steps_.clear();
    }
    names_ =
        std::count_if(steps_.begin(), steps_.end(), [](const Step& s) { return !s.anyFolders; });
    deep_ = names_ != steps_.size();
    return true;
}

// Name by name, left to right, the way NameGlob goes byte by byte: each step takes one name,
// a "**" step any number of them; on a mismatch the last "**" takes one name more and the
// steps behind it start over. The name and the first folder are tried first, as they decide
// most questions.
bool ExclusionLine::PathMatches(std::string_view folder, std::string_view name) const {
    const Step &first = steps_.front(), &last = steps_.back();
    if (!last.anyFolders && !last.glob.Matches(name))
        return false;
    const std::string_view firstName = folder.empty() ? name : folder.substr(0, folder.find('/'));
    if (!first.anyFolders && !first.glob.Matches(firstName))
        return false;
    const bool closed = folder.empty() || folder.back() == '/';
    const auto names =
        static_cast<std::size_t>(std::count(folder.begin(), folder.end(), '/')) + (closed ? 1 : 2);
    if (names < names_ || (!deep_ && names != names_))
        return false;
    // A position is the offset of a folder's name in `folder`, folder.size() for `name`.
    const std::size_t end = folder.size() + 1;
    auto next = [&](std::size_t at) {
        if (at >= folder.size())
            return end;
        const std::size_t slash = folder.find('/', at);
        return slash == std::string_view::npos ? folder.size() : slash + 1;
    };
    auto nameAt = [&](std::size_t at) {
        return at < folder.size() ? folder.substr(at, folder.find('/', at) - at) : name;
    };
    std::size_t s = 0, at = 0, starStep = std::string_view::npos, starEnd = 0;
    while (at != end) {
        if (s < steps_.size() && steps_[s].anyFolders) {
            starStep = s++;
            starEnd = at;
        } else if (s < steps_.size() && steps_[s].glob.Matches(nameAt(at))) {
            ++s;
            at = next(at);
        } else if (starStep != std::string_view::npos) {
            s = starStep + 1;
            at = starEnd = next(starEnd);
        } else {
            return false;
        }
    }
    while (s < steps_.size() && steps_[s].anyFolders)
        ++s;
    return s == steps_.size();
}
