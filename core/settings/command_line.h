#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a command line such as
//   /Startordner|/home/anna/Fotos /Zielordner|/media/stick/Fotos /Regel|Spiegeln
// asks for. Values are the bytes as given, without the blanks around them.
struct CommandLine {
    bool given = false; // false for a command line of blanks only: nothing is asked for
    std::optional<std::string> startFolder;
    std::optional<std::string> targetFolder;
    // The name of every rule part, in order; a rule part without a name gives "".
    std::vector<std::string> ruleNames;

    bool ruleGiven() const { return !ruleNames.empty(); }
    bool operator==(const CommandLine&) const = default;
};

// The program's arguments (after its own name) as one command line, joined by single blanks:
// a path with blanks typed without quotes arrives in pieces and is whole again.
std::string JoinArguments(int argc, const char* const* argv);

// A part begins at a "/" at the start of the line or after a blank, followed by one of the
// keys "startordner", "zielordner" or "regel" in any letter case and "|", with or without
// blanks before and after the key. Every other "/" belongs to a value, so folder paths need no
// quoting. A part's value ends where the next part begins or at a second "|"; text before the
// first part is ignored.
CommandLine ParseCommandLine(std::string_view line);

// Where the first part of `line` begins, or npos when it holds none.
std::size_t FirstPartPosition(std::string_view line);

// The arguments that ask for these folders and this rule, one part each.
std::vector<std::string> CommandLineArguments(const std::string& startFolder,
                                              const std::string& targetFolder,
                                              const std::string& rule);

enum class CommandLineValue { kNone, kStartFolder, kTargetFolder, kRule };

// The first of the three values that reading CommandLineArguments, joined by blanks, does not
// give back byte for byte (blanks at either end, a "|", a key after a blank inside); kNone
// when all three come back. A shortcut with such a value would open other folders.
CommandLineValue FirstValueNotCarried(const std::string& startFolder,
                                      const std::string& targetFolder, const std::string& rule);

struct RuleChoice {
    std::optional<std::size_t> index; // the chosen entry of the stored names
    std::string message;              // when none was chosen, why (empty for no command line)
};

// Goes through the rule parts in order and, for each, through the stored names (in the order
// the rule list shows them) from the first to the last: every match is chosen in turn, so the
// last match wins. When none matches, the message names the last rule part's name:
// "Es wurde keine Regel angegeben !!" for none or an empty one, else
// "Die Regel: " + name + CR LF + "existiert nicht !!".
RuleChoice ChooseRule(const CommandLine& commandLine, const std::vector<std::string>& storedNames);
