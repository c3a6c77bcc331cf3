#include "command_line.h"

#include <array>
#include <locale.h>
#include <wctype.h>

namespace {

constexpr std::array<std::string_view, 3> kKeys = {"startordner", "zielordner", "regel"};

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsKey(std::string_view text, std::string_view key) {
    if (text.size() != key.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i)
        if (LowerAscii(text[i]) != key[i])
            return false;
    return true;
}

// Which of the keys `text` names, blanks around it allowed.
std::optional<std::size_t> KeyIndex(std::string_view text) {
    text = TrimBlanks(text);
    for (std::size_t k = 0; k < kKeys.size(); ++k)
        if (EqualsKey(text, kKeys[k]))
            return k;
    return std::nullopt;
}

// Whether a part begins at `pos`, which holds a "/": a key follows, blanks allowed before and
// after it, and then "|".
bool PartBeginsAt(std::string_view line, std::size_t pos) {
    if (pos > 0 && line[pos - 1] != ' ')
        return false;
    const std::string_view rest = line.substr(pos + 1);
    const std::size_t bar = rest.find('|');
    return bar != std::string_view::npos && KeyIndex(rest.substr(0, bar)).has_value();
}

// The code points of valid UTF-8; false for anything else (overlong forms, surrogates, values
// beyond Unicode, cut sequences).
bool DecodeUtf8(std::string_view s, std::u32string& out) {
    static constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t length = b < 0x80                ? 1
                                   : b >= 0xC2 && b < 0xE0 ? 2
                                   : b >= 0xE0 && b < 0xF0 ? 3
                                   : b >= 0xF0 && b < 0xF5 ? 4
                                                           : 0;
        if (length == 0 || i + length > s.size())
            return false;
        char32_t c = length == 1 ? b : b & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        if (c < kSmallest[length] || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF)
            return false;
        out += c;
        i += length;
    }
    return true;
}

// The code points of a name: UTF-8 when the whole name is valid UTF-8, else Latin-1.
std::u32string CodePoints(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    if (DecodeUtf8(s, out))
        return out;
    out.clear();
    for (char c : s)
        out += static_cast<char32_t>(static_cast<unsigned char>(c));
    return out;
}

// Lower case after Unicode's table, taken from the C.UTF-8 locale without touching the
// process's locale; ASCII and Latin-1 letters are lowered also where that locale is missing.
char32_t LowerLetter(char32_t c) {
    static const locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    if (utf8 != locale_t(0))
        return static_cast<char32_t>(::towlower_l(static_cast<wint_t>(c), utf8));
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    return c;
}

std::u32string Lowered(std::string_view name) {
    std::u32string text = CodePoints(name);
    for (char32_t& c : text)
        c = LowerLetter(c);
    return text;
}

} // namespace

std::string JoinArguments(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        line += argv[i];
    }
    return line;
}

CommandLine ParseCommandLine(std::string_view line) {
    CommandLine result;
    if (TrimBlanks(line).empty())
        return result;
    result.given = true;
    std::vector<std::size_t> starts;
    for (std::size_t pos = line.find('/'); pos != std::string_view::npos;
         pos = line.find('/', pos + 1))
        if (PartBeginsAt(line, pos))
            starts.push_back(pos);
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : line.size();
        const std::string_view part = line.substr(starts[k] + 1, end - starts[k] - 1);
        const std::size_t bar = part.find('|');
        std::string_view value = part.substr(bar + 1);
        value = TrimBlanks(value.substr(0, value.find('|')));
        const std::size_t key = KeyIndex(part.substr(0, bar)).value_or(2);
        if (key == 0)
            result.startFolder = std::string(value);
        else if (key == 1)
            result.targetFolder = std::string(value);
        else
            result.ruleNames.emplace_back(value);
    }
    return result;
}

std::size_t FirstPartPosition(std::string_view line) {
    for (std::size_t pos = line.find('/'); pos != std::string_view::npos;
         pos = line.find('/', pos + 1))
        if (PartBeginsAt(line, pos))
            return pos;
    return std::string_view::npos;
}

std::vector<std::string> CommandLineArguments(const std::string& startFolder,
                                              const std::string& targetFolder,
                                              const std::string& rule) {
    return {"/Startordner|" + startFolder, "/Zielordner|" + targetFolder, "/Regel|" + rule};
}

CommandLineValue FirstValueNotCarried(const std::string& startFolder,
                                      const std::string& targetFolder, const std::string& rule) {
    const std::vector<std::string> arguments =
        CommandLineArguments(startFolder, targetFolder, rule);
    const CommandLine read =
        ParseCommandLine(arguments[0] + ' ' + arguments[1] + ' ' + arguments[2]);
    if (read.startFolder != startFolder)
        return CommandLineValue::kStartFolder;
    if (read.targetFolder != targetFolder)
        return CommandLineValue::kTargetFolder;
    if (read.ruleNames != std::vector<std::string>{rule})
        return CommandLineValue::kRule;
    return CommandLineValue::kNone;
}

RuleChoice ChooseRule(const CommandLine& commandLine, const std::vector<std::string>& storedNames) {
    RuleChoice choice;
    if (!commandLine.given)
        return choice;
    for (const std::string& name : commandLine.ruleNames) {
        const std::u32string wanted = Lowered(name);
        for (std::size_t k = 0; k < storedNames.size(); ++k)
            if (Lowered(storedNames[k]) == wanted)
                choice.index = k;
    }
    if (choice.index)
        return choice;
    const std::string last = commandLine.ruleGiven() ? commandLine.ruleNames.back() : "";
    choice.message = last.empty() ? "Es wurde keine Regel angegeben !!"
                                  : "Die Regel: " + last + "\r\n" + "existiert nicht !!";
    return choice;
}
