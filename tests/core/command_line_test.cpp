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
        {"/Startordner|/home/anna/Fotos /Zielordner|/media/stick/Fotos /Regel|Spiegeln",
         "/home/anna/Fotos",
         "/media/stick/Fotos",
         {"Spiegeln"}},
        // Blanks around values go, blanks inside stay.
        {"  /Startordner|  /home/anna/Meine Fotos   /Zielordner|/media/Neue  Fotos "
         "/Regel|  Beide Richtungen  ",
         "/home/anna/Meine Fotos",
         "/media/Neue  Fotos",
         {"Beide Richtungen"}},
        {"/STARTORDNER|/a /zielOrdner|/b /rEGEL|x", "/a", "/b", {"x"}},
        {"/Startordner|/home/jürgen/Übersicht /Regel|Größe",
         "/home/jürgen/Übersicht",
         kNone,
         {"Größe"}},
        // A key without "|" starts no part: it is part of the value before it.
        {"/Startordner|/a /Regel /Zielordner|/b", "/a /Regel", "/b", {}},
        {"/Regel|x /Regel", kNone, kNone, {"x /Regel"}},
        // Text before the first part, other keys among it, is ignored.
        {"/usr/bin/gleichwart /Foo|bar /Regel|Standard", kNone, kNone, {"Standard"}},
        {"/home/anna/datei.txt", kNone, kNone, {}},
        // A " /x" inside a value is no key, nor is a "/" that follows no blank.
        {"/Startordner|/home/anna /x /Zielordner|/b /Regel|r", "/home/anna /x", "/b", {"r"}},
        {"/Startordner|/a/Regel|x", "/a/Regel", kNone, {}},
        {"/Startordner|/daten /Regelwerk|alt /Regel|r", "/daten /Regelwerk", kNone, {"r"}},
        // Pieces after a second "|" are dropped.
        {"/Regel|a|b", kNone, kNone, {"a"}},
        {"/Regel|", kNone, kNone, {""}},
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

TEST(CommandLineTest, BlanksOnlyAskForNothing) {
    for (const char* line : {"", " ", "    "}) {
        const CommandLine parsed = ParseCommandLine(line);
        EXPECT_EQ(parsed, CommandLine{});
        EXPECT_EQ(ChooseRule(parsed, {"Standard"}).message, "");
        EXPECT_FALSE(ChooseRule(parsed, {"Standard"}).index);
    }
}

TEST(CommandLineTest, ArgumentsInPiecesReadAsOneQuotedArgument) {
    const char* const pieces[] = {"gleichwart-sync", "/Startordner|/home/anna/Meine", "Fotos",
                                  "/Zielordner|/media/stick/Fotos", "/Regel|Spiegeln"};
    const char* const quoted[] = {
        "gleichwart-sync",
        "/Startordner|/home/anna/Meine Fotos /Zielordner|/media/stick/Fotos /Regel|Spiegeln"};
    const CommandLine fromPieces = ParseCommandLine(JoinArguments(5, pieces));
    EXPECT_EQ(fromPieces, ParseCommandLine(JoinArguments(2, quoted)));
    EXPECT_EQ(fromPieces.startFolder, "/home/anna/Meine Fotos");
    EXPECT_EQ(fromPieces.targetFolder, "/media/stick/Fotos");
    EXPECT_EQ(fromPieces.ruleNames, Names{"Spiegeln"});
    EXPECT_EQ(JoinArguments(1, pieces), "");
}

struct ChoiceCase {
    const char* line;
    std::optional<std::size_t> index;
    const char* message;
};

TEST(CommandLineTest, TheRuleIsFoundInAnyLetterCase) {
    // In the order of the rule list.
    const Names stored = {
        "Aktualisieren", "Beide Richtungen", "GROẞ", "Spiegeln", "a", "\xC4nderungen" /* Latin-1 */,
        "Übersicht"};
    const ChoiceCase cases[] = {
        {"/Regel|spiegeln", 3, ""},
        {"/REGEL|ÜBERSICHT", 6, ""},
        {"/Regel|beide richtungen", 1, ""},
        {"/Regel|groß", 2, ""},
        {"/Regel|ÄNDERUNGEN", 5, ""},
        {"/Regel|A|b", 4, ""},
        // A rule found stays chosen when a later rule part names none.
        {"/Regel|Spiegeln /Regel|Gibtsnicht", 3, ""},
        {"/Regel|Gibtsnicht /Regel|a", 4, ""},
        {"/Regel|Gibtsnicht", kNone, "Die Regel: Gibtsnicht\r\nexistiert nicht !!"},
        {"/Regel|Beide  Richtungen", kNone, "Die Regel: Beide  Richtungen\r\nexistiert nicht !!"},
        {"/Regel|Spiegeln /Regel|", 3, ""},
        {"/Regel|Gibtsnicht /Regel|", kNone, "Es wurde keine Regel angegeben !!"},
        {"/Startordner|/a /Zielordner|/b", kNone, "Es wurde keine Regel angegeben !!"},
        {"/Regel|", kNone, "Es wurde keine Regel angegeben !!"},
        {"/home/anna/datei.txt", kNone, "Es wurde keine Regel angegeben !!"},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.line);
        const RuleChoice choice = ChooseRule(ParseCommandLine(c.line), stored);
        EXPECT_EQ(choice.index, c.index);
        EXPECT_EQ(choice.message, c.message);
    }
}

TEST(CommandLineTest, OfNamesThatDifferOnlyInCaseTheLastWins) {
    const Names stored = {"SICHERUNG", "Sicherung", "sicherung"};
    EXPECT_EQ(ChooseRule(ParseCommandLine("/Regel|Sicherung"), stored).index, 2u);
    EXPECT_EQ(ChooseRule(ParseCommandLine("/Regel|x"), {}).message,
              "Die Regel: x\r\nexistiert nicht !!");
}

TEST(CommandLineTest, NamesMatchOnlyAsWholeLoweredTexts) {
    EXPECT_TRUE(RuleNamesMatch("ÄÖÜ äöü", "äöü ÄÖÜ"));
    EXPECT_TRUE(RuleNamesMatch("\xC9t\xE9", "été")); // Latin-1 against UTF-8
    EXPECT_FALSE(RuleNamesMatch("Spiegeln", "Spiegeln "));
    EXPECT_FALSE(RuleNamesMatch("Straße", "STRASSE"));
    EXPECT_FALSE(RuleNamesMatch("a", "ä"));
    // A cut UTF-8 sequence reads as its Latin-1 letter, the one the rule list shows.
    EXPECT_TRUE(RuleNamesMatch("\xC3", "ã"));
    EXPECT_TRUE(RuleNamesMatch("\xC3\xA4", "\xC4")); // "ä" in UTF-8, "Ä" in Latin-1
    EXPECT_FALSE(RuleNamesMatch("\xC3\xA4", "\xC3"));
}

} // namespace
