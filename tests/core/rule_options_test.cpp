// A rule's options: their stored text, and how they are kept beside the rule's four numbers
// when it is loaded, saved, renamed and removed.
#include "full_hive_disk.h"
#include "platform/registry/registry_hive.h"
#include "rules/rule_options.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"
#include "temp_home.h"

#include <gtest/gtest.h>

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;
constexpr RuleOptions kOff{};
constexpr RuleOptions kLinks{.SymbolicLinks = true};
constexpr RuleOptions kFolders{.MatchFolders = true};
constexpr RuleOptions kBoth{.SymbolicLinks = true, .MatchFolders = true};

TEST(RuleOptionsText, OnlyTheKnownNamesWithOneSwitchAnOptionOn) {
    const std::vector<std::pair<std::string, RuleOptions>> rows = {
        {"", kOff},
        {"links=1", kLinks},
        {"ordner=1", kFolders},
        {"ordner=1\nmuster=*.tmp\nlinks=1", kBoth},
        {"links=0\nordner=1", kFolders},
        {"links=1\nlinks=0", kOff}, // the last line of a name counts
        {"Links=1\nORDNER=1", kOff},
        {"links=ja\nordner=1 \nordner= 1", kOff},
        // Damage: no name, no "=", control bytes, a NUL inside the value.
        {"=1\nlinks\n\x01\xfe=links=1\n\n", kOff},
        {std::string("links=1\0ordner=1", 16), kOff},
    };
    for (const auto& [text, options] : rows)
        EXPECT_EQ(ParseRuleOptions(text), options) << text;
}

TEST(RuleOptionsText, WritingKeepsTheLinesOfLaterVersionsAndDropsDamage) {
    EXPECT_EQ(FormatRuleOptions(kOff), "");
    EXPECT_EQ(FormatRuleOptions(kLinks), "links=1");
    EXPECT_EQ(FormatRuleOptions(kFolders), "ordner=1");
    EXPECT_EQ(FormatRuleOptions(kBoth), "links=1\nordner=1");
    // A value may hold any character but the line break, and a name may come again.
    EXPECT_EQ(FormatRuleOptions(kFolders, "links=1\nmuster=*.tmp\nmuster=a=b;c|d\nordner=0"),
              "ordner=1\nmuster=*.tmp\nmuster=a=b;c|d");
    EXPECT_EQ(FormatRuleOptions(kOff, "farbe=\nlinks=1"), "farbe=");
    EXPECT_EQ(FormatRuleOptions(kOff, "kaputt\n=1\n\nlinks=1\nordner=1"), "");
    for (const RuleOptions& options : {kOff, kLinks, kFolders, kBoth})
        EXPECT_EQ(ParseRuleOptions(FormatRuleOptions(options, "links=1\nx=ordner=1")), options);
}

const std::string kNone = "(nichts)";
// A rule's text and its options text, as stored.
using Values = std::pair<std::string, std::string>;

class StoredRule : public ::testing::Test {
protected:
    TempHome home;
    clsRegistry reg;

    // What a fresh reader of the file finds under `key` for `name`.
    std::string value(const std::string& key, const std::string& name) {
        win::Hive fresh(home.hivePath());
        const win::HiveKey* k = fresh.read().findKey("HKEY_CURRENT_USER\\" + key);
        const win::HiveValue* v = k != nullptr ? k->findValue(name) : nullptr;
        return v != nullptr ? v->data.substr(0, v->data.size() - 1) : kNone;
    }
    Values stored(const std::string& name) {
        return {value(kRulesKey, name), value(kRuleOptionsKey, name)};
    }
};

// A file as the program wrote it before rules had options.
const std::string kEarlierFile = "Windows Registry Editor Version 5.00\n\n"
                                 "[HKEY_CURRENT_USER\\Software]\n\n"
                                 "[HKEY_CURRENT_USER\\Software\\Halvorn Soft]\n\n"
                                 "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart]\n"
                                 "\"LastRegel\"=\"Alt\"\n\n"
                                 "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart\\Regeln]\n"
                                 "\"Alt\"=\"1|4|1|3\"\n"
                                 "\"Zweite\"=\"0|0|0|0\"\n\n";

TEST_F(StoredRule, ARuleWithoutOptionsLoadsAsBeforeAndIsWrittenBackByteForByte) {
    WriteFile(home.hivePath(), kEarlierFile);
    const SyncRule rule = LoadRule("alt");
    const SyncRule expected{.Name = "alt",
                            .ReverseAction = 4,
                            .CopyCondition = 1,
                            .IncludeSubfolders = true,
                            .SystemFiles = true,
                            .HiddenFiles = true,
                            .ReadOnlyFiles = true,
                            .Options = kOff};
    EXPECT_EQ(rule, expected);
    ASSERT_EQ(SaveRule("Alt", "Alt", RuleText(rule), rule.Options), 0);
    EXPECT_EQ(ReadFile(home.hivePath()), kEarlierFile);
    EXPECT_FALSE(FileExists(home.hivePath() + ".bak"));

    // Renaming and removing such a rule makes no options key either.
    RuleStore store(reg);
    ASSERT_EQ(store.Rename("Zweite", "Dritte"), 0);
    std::string renamed = kEarlierFile;
    renamed.replace(renamed.find("Zweite"), 6, "Dritte");
    EXPECT_EQ(ReadFile(home.hivePath()), renamed);
    ASSERT_EQ(store.Remove("dritte"), 0);
    std::string removed = kEarlierFile;
    removed.erase(removed.find("\"Zweite\""), 19);
    EXPECT_EQ(ReadFile(home.hivePath()), removed);
}

TEST_F(StoredRule, OptionsAreSavedRenamedAndRemovedTogetherWithTheirRule) {
    ASSERT_EQ(SaveRule("", "Fotos", "0|4|1|2", kBoth), 0);
    EXPECT_EQ(stored("Fotos"), Values("0|4|1|2", "links=1\nordner=1"));
    EXPECT_EQ(LoadRule("fotos").Options, kBoth);

    // Lines of a later version survive this one saving the rule, also under a new name.
    reg.SetStringValue(HKCU, kRuleOptionsKey, "Fotos", "links=1\nmuster=*.tmp\nmuster=C;D=x");
    ASSERT_EQ(SaveRule("Fotos", "Bilder", "0|5|1|2", kFolders), 0);
    const std::string kept = "ordner=1\nmuster=*.tmp\nmuster=C;D=x";
    EXPECT_EQ(stored("Bilder"), Values("0|5|1|2", kept));
    EXPECT_EQ(stored("Fotos"), Values(kNone, kNone));

    RuleStore store(reg);
    ASSERT_EQ(store.Rename("bilder", "Archiv"), 0);
    EXPECT_EQ(stored("Archiv"), Values("0|5|1|2", kept));
    EXPECT_EQ(stored("Bilder"), Values(kNone, kNone));
    {
        // The longer name does not fit: neither value moves.
        FullHiveDisk full;
        EXPECT_EQ(store.Rename("Archiv", "Archiv mit langem Namen"), win::ERROR_DISK_FULL);
    }
    EXPECT_EQ(stored("Archiv"), Values("0|5|1|2", kept));
    ASSERT_EQ(store.Remove("ARCHIV"), 0);
    EXPECT_EQ(stored("Archiv"), Values(kNone, kNone));

    // Switched off with nothing else to keep, the options value goes.
    ASSERT_EQ(SaveRule("", "Klein", "0|0|0|0", kLinks), 0);
    ASSERT_EQ(SaveRule("Klein", "Klein", "0|0|0|0", kOff), 0);
    EXPECT_EQ(stored("Klein"), Values("0|0|0|0", kNone));
}

TEST_F(StoredRule, OptionsWithoutTheirRuleOrDamagedLoadAsAllOff) {
    // Left behind by a program that removed the rule without knowing its options.
    reg.SetStringValue(HKCU, kRuleOptionsKey, "Waise", "links=1\nordner=1");
    EXPECT_EQ(LoadRule("Waise").Options, kOff);
    ASSERT_EQ(SaveRule("", "Waise", "0|0|1|1", kOff), 0); // a new rule starts afresh
    EXPECT_EQ(stored("Waise"), Values("0|0|1|1", kNone));

    reg.SetStringValue(HKCU, kRulesKey, "R", "0|0|1|1");
    reg.SetStringValue(HKCU, kRuleOptionsKey, "R", "\x01\xfe\n=links=1\nordner\nlinks=2");
    EXPECT_EQ(LoadRule("R").Options, kOff);
    reg.SetNumericValue(HKCU, kRuleOptionsKey, "R", 0x31); // no text at all
    EXPECT_EQ(LoadRule("R").Options, kOff);
}

} // namespace
