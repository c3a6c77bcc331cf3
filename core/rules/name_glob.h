#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A wildcard pattern for one name (no "/" in it), as exclusion patterns write them: "*" any
// run of bytes, "?" one byte, "[abc]", "[a-z]", "[!abc]" or "[^abc]" one byte of a class
// (also "[[:digit:]]" and the other POSIX classes, for ASCII), "\" takes the next byte as it
// is. A run of asterisks acts as one. Names are bytes: nothing is decoded or folded.
//
// The common shapes are recognised when compiled and matched without the general matcher: a
// plain name, "*suffix", "prefix*" and "*".
class NameGlob {
public:
    // Empty when the pattern can never match: a class without its "]", a "\" at the end.
    static std::optional<NameGlob> Compile(std::string_view pattern);

    // Most names fail on their last byte, where the pattern ends with a fixed one.
    bool Matches(std::string_view name) const {
        if (lastByte_ >= 0 &&
            (name.empty() || static_cast<unsigned char>(name.back()) != lastByte_))
            return false;
        return MatchesRest(name);
    }

private:
    enum class Kind : std::uint8_t { Literal, Suffix, Prefix, Everything, General };
    enum class Op : std::uint8_t { Byte, AnyByte, Class, Star };
    struct Token {
        Op op;
        unsigned char byte; // for Byte
        std::uint16_t set;  // for Class: the index into classes_
    };

    bool MatchesRest(std::string_view name) const;
    bool MatchesGeneral(std::string_view name) const;
    bool TailMatches(std::string_view name) const;
    bool TokenTakes(const Token& token, unsigned char byte) const;
    void Classify();

    Kind kind_ = Kind::General;
    int lastByte_ = -1;         // the byte every name must end with, -1 for any
    std::size_t tailStart_ = 0; // the tokens behind the last "*", which take the name's end
    std::string literal_;       // the bytes a Literal, Suffix or Prefix pattern compares
    std::vector<Token> tokens_;
    std::vector<std::bitset<256>> classes_;
};

// A character class starting at `pattern[open]` == '[': the bytes it takes and the index just
// after its closing "]"; empty when it is not closed. A "]" right after "[" (or after "[!")
// belongs to the class.
struct ByteClass {
    std::bitset<256> bytes;
    std::size_t end = 0;
};
std::optional<ByteClass> ParseByteClass(std::string_view pattern, std::size_t open);
