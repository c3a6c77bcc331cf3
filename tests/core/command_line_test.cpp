#include "settings/command_line.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;
constexpr auto kNone = std::nullopt;

struct ParseCase {
    const char* line;
    std::optional<std::string> start;
    std::optional<std::string> target;
    Names rules;
};

TEST(CommandLineTest, PartsBeginOnlyAtAKeyAfterABlank) {
    const ParseCase cases[] = {
        // Blanks around values go, blanks inside stay.
        {"  /Startordner|  /home/anna/Meine Fotos   /Zielordner|/media/Neue  Fotos "
         "/Regel|  Beide Richtungen  ",
         "/home/anna/Meine Fotos",
         "/media/Neue  Fotos",
         {"Beide Richtungen"}},
        // A key without "|" starts no part: it is part of the value before it.
        {"/Startordner|/a /Regel /Zielordner|/b", "/a /Regel", "/b", {}},
        // Text before the first part, other keys among it, is ignored.
        {"/usr/bin/gleichwart /Foo|bar /Regel|Standard", kNone, kNone, {"Standard"}},
        // A " /x" inside a value is no key, nor is a "/" that follows no blank.
        {"/Startordner|/home/anna /x /Zielordner|/b /Regel|r", "/home/anna /x", "/b", {"r"}},
        {"/Startordner|/daten /Regelwerk|alt /Regel|r", "/daten /Regelwerk", kNone, {"r"}},
        // Blanks between "/", the key and "|"; keys in any letter case.
        {"/STARTORDNER|/a /ZIELORDNER  |/b /  REGEL|R", "/a", "/b", {"R"}},
        // Still only a "/" first or after a blank begins a part, and the key is a whole word.
        {"/Startordner|/a/ Regel |x", "/a/ Regel", kNone, {}},
        {"/Startordner|/a / Regel x|y", "/a / Regel x", kNone, {}},
        // Pieces after a second "|" are dropped.
        {"/Regel|a|b", kNone, kNone, {"a"}},
        {"/Startordner|/a /Startordner|/b /Regel|x /Regel|y", "/b", kNone, {"x", "y"}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.line);
        const CommandLine parsed = ParseCommandLine(c.line);
        EXPECT_TRUE(parsed.given);
        EXPECT_EQ(parsed.startFolder, c.start);
        EXPECT_EQ(parsed.targetFolder, c.target);
        EXPECT_EQ(parsed.ruleNames, c.rules);
    }
}

TEST(CommandLineTest, ValuesThatWouldNotComeBackUnchangedAreFound) {
    using V = CommandLineValue;
    const struct {
        const char *start, *target, *rule;
        CommandLineValue expected;
    } cases[] = {
        {"/home/anna/Meine Fotos /x", "/media/a /Regelwerk", "Beide Richtungen", V::kNone},
        {"/x/a|b", "/t", "Spiegeln", V::kStartFolder},
        {"/x/sp ", "/t", "Spiegeln", V::kStartFolder},
        {"/s", " /t", "Spiegeln", V::kTargetFolder},
        {"/s", "/t/a /Regel|x", "Spiegeln", V::kTargetFolder},
        {"/s", "/t", "Spiegeln ", V::kRule},
        {"/s", "/t", "A /Regel|B", V::kRule},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " " + c.target + " " + c.rule);
        EXPECT_EQ(FirstValueNotCarried(c.start, c.target, c.rule), c.expected);
    }
}

struct ChoiceCase {
    const char* line;
    std::optional<std::size_t> index;
    const char* message;
};

TEST(CommandLineTest, TheRuleIsFoundInAnyLetterCase) {
    // In the order of the rule list.
    const Names stored = {
        "Aktualisieren", "Beide Richtungen", "GROẞ", "Spiegeln", "\xC4nderungen" /* Latin-1 */,
        "Übersicht"};
    const ChoiceCase cases[] = {
        {"/Regel|spiegeln", 3, ""},
        {"/Regel|groß", 2, ""},
        {"/Regel|ÄNDERUNGEN", 4, ""},
        // A rule found stays chosen when a later rule part names none.
        {"/Regel|Spiegeln /Regel|Gibtsnicht", 3, ""},
        {"/Regel|Gibtsnicht", kNone, "Die Regel: Gibtsnicht\r\nexistiert nicht !!"},
        {"/Regel|Gibtsnicht /Regel|", kNone, "Es wurde keine Regel angegeben !!"},
        {"/Startordner|/a /Zielordner|/b", kNone, "Es wurde keine Regel angegeben !!"},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.line);
        const RuleChoice choice = ChooseRule(ParseCommandLine(c.line), stored);
        EXPECT_EQ(choice.index, c.index);
        EXPECT_EQ(choice.message, c.message);
    }
}

} // namespace
