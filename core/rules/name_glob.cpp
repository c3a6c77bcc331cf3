#include "name_glob.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}
bool IsAlpha(int c) {
    return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}
bool IsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsPrint(int c) {
    return c >= 0x20 && c <= 0x7e;
}
bool IsGraph(int c) {
    return IsPrint(c) && !IsSpace(c);
}

// The classes "[:name:]" inside a bracket expression, for ASCII bytes.
constexpr std::pair<std::string_view, bool (*)(int)> kPosixClasses[] = {
    {"alnum", [](int c) { return IsAlpha(c) || IsDigit(c); }},
    {"alpha", IsAlpha},
    {"blank", [](int c) { return c == ' ' || c == '\t'; }},
    {"cntrl", [](int c) { return c < 0x20 || c == 0x7f; }},
    {"digit", IsDigit},
    {"graph", IsGraph},
    {"lower", [](int c) { return c >= 'a' && c <= 'z'; }},
    {"print", IsPrint},
    {"punct", [](int c) { return IsGraph(c) && !IsAlpha(c) && !IsDigit(c); }},
    {"space", IsSpace},
    {"upper", [](int c) { return c >= 'A' && c <= 'Z'; }},
    {"xdigit", [](int c) { return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }},
};

// Adds the bytes of the class `name`; false for a name that is none.
bool AddPosixClass(std::string_view name, std::bitset<256>& bytes) {
    for (const auto& [className, test] : kPosixClasses) {
        if (name != className)
            continue;
        for (int c = 0; c < 0x80; ++c)
            if (test(c))
                bytes.set(c);
        return true;
    }
    return false;
}

} // namespace

std::optional<ByteClass> ParseByteClass(std::string_view p, std::size_t open) {
    ByteClass result;
    std::size_t i = open + 1;
    const bool negated = i < p.size() && (p[i] == '!' || p[i] == '^');
    if (negated)
        ++i;
    int previous = -1; // the last single byte, where a "-" starts a range
    for (bool first = true;; first = false) {
        if (i >= p.size())
            return std::nullopt;
        auto c = static_cast<unsigned char>(p[i]);
        if (c == ']' && !first)
            break;
        if (c == '\\' || (c == '-' && previous >= 0 && i + 1 < p.size() && p[i + 1] != ']')) {
            const bool range = c == '-';
            if (range && p[i + 1] == '\\')
                ++i;
            if (++i >= p.size())
                return std::nullopt;
            c = static_cast<unsigned char>(p[i++]);
            for (int b = range ? previous : c; b <= c; ++b)
                result.bytes.set(b);
            previous = range ? -1 : c;
        } else if (c == '[' && i + 1 < p.size() && p[i + 1] == ':') {
            const std::size_t close = p.find(']', i + 2);
            if (close == std::string_view::npos)
                return std::nullopt;
            if (close < i + 3 || p[close - 1] != ':') { // no "[:name:]": "[" stands for itself
                result.bytes.set('[');
                previous = '[';
                ++i;
                continue;
            }
            if (!AddPosixClass(p.substr(i + 2, close - 1 - (i + 2)), result.bytes))
                return std::nullopt;
            previous = -1;
            i = close + 1;
        } else {
            result.bytes.set(c);
            previous = c;
            ++i;
        }
    }
    if (negated)
        result.bytes.flip();
    result.bytes.reset('/');
    result.end = i + 1;
    return result;
}

std::optional<NameGlob> NameGlob::Compile(std::string_view p) {
    NameGlob glob;
    for (std::size_t i = 0; i < p.size();) {
        const auto c = static_cast<unsigned char>(p[i]);
        if (c == '*') {
            if (glob.tokens_.empty() || glob.tokens_.back().op != Op::Star)
                glob.tokens_.push_back({Op::Star, 0, 0});
            ++i;
        } else if (c == '?') {
            glob.tokens_.push_back({Op::AnyByte, 0, 0});
            ++i;
        } else if (c == '[') {
            const std::optional<ByteClass> set = ParseByteClass(p, i);
            if (!set || glob.classes_.size() >= std::numeric_limits<std::uint16_t>::max())
                return std::nullopt;
            glob.tokens_.push_back(
                {Op::Class, 0, static_cast<std::uint16_t>(glob.classes_.size())});
            glob.classes_.push_back(set->bytes);
            i = set->end;
        } else if (c == '\\') {
            if (i + 1 >= p.size())
                return std::nullopt;
            glob.tokens_.push_back({Op::Byte, static_cast<unsigned char>(p[i + 1]), 0});
            i += 2;
        } else {
            glob.tokens_.push_back({Op::Byte, c, 0});
            ++i;
        }
    }
    glob.Classify();
    return glob;
}

void NameGlob::Classify() {
    if (!tokens_.empty() && tokens_.back().op == Op::Byte)
        lastByte_ = tokens_.back().byte;
    for (std::size_t t = 0; t < tokens_.size(); ++t)
        if (tokens_[t].op == Op::Star)
            tailStart_ = t + 1;
    auto isByte = [](const Token& t) { return t.op == Op::Byte; };
    const auto stars = std::count_if(tokens_.begin(), tokens_.end(),
                                     [](const Token& t) { return t.op == Op::Star; });
    const auto bytes = std::count_if(tokens_.begin(), tokens_.end(), isByte);
    if (bytes + stars != static_cast<std::ptrdiff_t>(tokens_.size()) || stars > 1)
        return; // General
    if (stars == 0)
        kind_ = Kind::Literal;
    else if (tokens_.size() == 1)
        kind_ = Kind::Everything;
    else if (tokens_.front().op == Op::Star)
        kind_ = Kind::Suffix;
    else if (tokens_.back().op == Op::Star)
        kind_ = Kind::Prefix;
    else
        return;
    for (const Token& t : tokens_)
        if (isByte(t))
            literal_ += static_cast<char>(t.byte);
}

bool NameGlob::MatchesRest(std::string_view name) const {
    switch (kind_) {
    case Kind::Literal:
        return name == literal_;
    case Kind::Suffix:
        return name.ends_with(literal_);
    case Kind::Prefix:
        return name.starts_with(literal_);
    case Kind::Everything:
        return true;
    case Kind::General:
        break;
    }
    return MatchesGeneral(name);
}

bool NameGlob::TokenTakes(const Token& token, unsigned char byte) const {
    switch (token.op) {
    case Op::Byte:
        return byte == token.byte;
    case Op::AnyByte:
        return true;
    case Op::Class:
        return classes_[token.set].test(byte);
    case Op::Star:
        break;
    }
    return false;
}

// Whether the tokens behind the last "*" (all of them, without a "*") take the end of `name`,
// byte for byte; with a "*", the name may be longer.
bool NameGlob::TailMatches(std::string_view name) const {
    const std::size_t length = tokens_.size() - tailStart_;
    if (name.size() < length || (tailStart_ == 0 && name.size() != length))
        return false;
    const std::size_t from = name.size() - length;
    for (std::size_t k = 0; k < length; ++k)
        if (!TokenTakes(tokens_[tailStart_ + k], name[from + k]))
            return false;
    return true;
}

// The end first, as its length is fixed; then the rest left to right: on a mismatch the last
// "*" takes one byte more and the tokens behind it start over. Going back to an earlier "*"
// is never needed, as the last one can take whatever an earlier one would have: linear in
// practice and quadratic at worst.
bool NameGlob::MatchesGeneral(std::string_view name) const {
    if (!TailMatches(name))
        return false;
    name.remove_suffix(tokens_.size() - tailStart_);
    const std::size_t tokens = tailStart_;
    std::size_t t = 0, i = 0;
    std::size_t starToken = std::string_view::npos, starEnd = 0;
    while (i < name.size()) {
        if (t < tokens && tokens_[t].op == Op::Star) {
            starToken = t++;
            starEnd = i;
        } else if (t < tokens && TokenTakes(tokens_[t], name[i])) {
            ++t;
            ++i;
        } else if (starToken != std::string_view::npos) {
            t = starToken + 1;
            i = ++starEnd;
        } else {
            return false;
        }
    }
    while (t < tokens && tokens_[t].op == Op::Star)
        ++t;
    return t == tokens;
}
