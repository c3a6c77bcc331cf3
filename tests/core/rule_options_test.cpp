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
constexpr RuleOptions kOff{}, kLinks{true, false}, kFolders{false, true}, kBoth{true, true};

TEST(RuleOptionsText, OnlyKnownNamesWithOneSwitchOnAndWhatALaterVersionStoredIsKept) {
    const std::pair<std::string, RuleOptions> rows[] = {
        {"", kOff},
        {"links=1", kLinks},
        {"ordner=1\nmuster=*.tmp\nlinks=1", kBoth},
        {"links=1\nlinks=0\nordner=1", kFolders},
        {"Links=1\nordner= 1\nlinks=ja", kOff},
        // Damage: no name, no "=", control bytes, a NUL inside the value.
        {"=1\nlinks\n\x01\xfe=links=1\n\n", kOff},
        {std::string("links=1\0ordner=1", 16), kOff}};
    for (const auto& [text, options] : rows)
        EXPECT_EQ(ParseRuleOptions(text), options) << text;
    // Exclusion patterns, one a line, keep their order and every byte but the line break.
    const RuleOptions patterns{false, false, {"*.tmp", "/build/", "!a=b#c"}};
    EXPECT_EQ(ParseRuleOptions("ausschliessen=*.tmp\nlinks=0\nausschliessen=/build/\n"
                               "ausschliessen=!a=b#c"),
              patterns);
    EXPECT_EQ(FormatRuleOptions(patterns, "ausschliessen=alt\nmuster=x"),
              "ausschliessen=*.tmp\nausschliessen=/build/\nausschliessen=!a=b#c\nmuster=x");
    EXPECT_EQ(FormatRuleOptions(kOff), "");
    EXPECT_EQ(FormatRuleOptions(kBoth), "links=1\nordner=1");
    // A value holds any character but the line break, a name may come again; damage goes.
    EXPECT_EQ(FormatRuleOptions(kFolders, "links=1\nmuster=*.tmp\nmuster=a=b;c|d\n=x\nkaputt"),
              "ordner=1\nmuster=*.tmp\nmuster=a=b;c|d");
}

const std::string kNone = "(nichts)";
using Values = std::pair<std::string, std::string>; // a rule's text and its options text

class StoredRule : public ::testing::Test {
protected:
    TempHome home;
    clsRegistry reg;

    // What a fresh reader of the file finds for the rule `name`.
    Values stored(const std::string& name) {
        win::Hive fresh(home.hivePath());
        auto value = [&](const std::string& key) {
            const win::HiveKey* k = fresh.read().findKey("HKEY_CURRENT_USER\\" + key);
            const win::HiveValue* v = k != nullptr ? k->findValue(name) : nullptr;
            return v != nullptr ? v->data.substr(0, v->data.size() - 1) : kNone;
        };
        return {value(kRulesKey), value(kRuleOptionsKey)};
    }
};

TEST_F(StoredRule, ARuleWithoutOptionsLoadsAsBeforeAndIsWrittenBackByteForByte) {
    // As the program wrote its file before rules had options.
    const std::string file = "Windows Registry Editor Version 5.00\n\n"
                             "[HKEY_CURRENT_USER\\Software]\n\n"
                             "[HKEY_CURRENT_USER\\Software\\Halvorn Soft]\n\n"
                             "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart]\n"
                             "\"LastRegel\"=\"Alt\"\n\n"
                             "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart\\Regeln]\n"
                             "\"Alt\"=\"1|4|1|3\"\n\"Zweite\"=\"0|0|0|0\"\n\n";
    WriteFile(home.hivePath(), file);
    const SyncRule rule = LoadRule("alt");
    EXPECT_EQ(rule, (SyncRule{"alt", 4, 1, true, true, true, true, kOff}));
    ASSERT_EQ(SaveRule("Alt", "Alt", RuleText(rule), rule.Options), 0);
    EXPECT_EQ(ReadFile(home.hivePath()), file);
    EXPECT_FALSE(FileExists(home.hivePath() + ".bak"));
    // Renamed, it makes no options key either.
    ASSERT_EQ(RuleStore(reg).Rename("Zweite", "Dritte"), 0);
    std::string renamed = file;
    EXPECT_EQ(ReadFile(home.hivePath()), renamed.replace(renamed.find("Zweite"), 6, "Dritte"));
}

TEST_F(StoredRule, OptionsAreSavedRenamedAndRemovedTogetherWithTheirRule) {
    ASSERT_EQ(SaveRule("", "Fotos", "0|4|1|2", kBoth), 0);
    EXPECT_EQ(stored("Fotos"), Values("0|4|1|2", "links=1\nordner=1"));
    EXPECT_EQ(LoadRule("fotos").Options, kBoth);
    // Lines of a later version survive this one saving the rule, also under a new name.
    reg.SetStringValue(HKCU, kRuleOptionsKey, "Fotos", "links=1\nmuster=*.tmp\nmuster=C;D=x");
    ASSERT_EQ(SaveRule("Fotos", "Bilder", "0|5|1|2", kFolders), 0);
    const Values kept("0|5|1|2", "ordner=1\nmuster=*.tmp\nmuster=C;D=x");
    EXPECT_EQ(stored("Bilder"), kept);
    EXPECT_EQ(stored("Fotos"), Values(kNone, kNone));

    RuleStore store(reg);
    ASSERT_EQ(store.Rename("bilder", "Archiv"), 0);
    EXPECT_EQ(stored("Archiv"), kept);
    EXPECT_EQ(stored("Bilder"), Values(kNone, kNone));
    {
        FullHiveDisk full; // the longer name does not fit: neither value moves
        EXPECT_EQ(store.Rename("Archiv", "Archiv mit langem Namen"), win::ERROR_DISK_FULL);
    }
    EXPECT_EQ(stored("Archiv"), kept);
    ASSERT_EQ(store.Remove("ARCHIV"), 0);
    EXPECT_EQ(stored("Archiv"), Values(kNone, kNone));
    // Switched off with nothing else to keep, the options value goes.
    ASSERT_EQ(SaveRule("", "Klein", "0|0|0|0", kLinks), 0);
    ASSERT_EQ(SaveRule("Klein", "Klein", "0|0|0|0", kOff), 0);
    EXPECT_EQ(stored("Klein"), Values("0|0|0|0", kNone));
}

TEST_F(StoredRule, OptionsWithoutTheirRuleOrDamagedLoadAsAllOff) {
    // Left behind by a program that removed the rule without knowing its options.
    reg.SetStringValue(HKCU, kRuleOptionsKey, "Waise", "links=1");
    EXPECT_EQ(LoadRule("Waise").Options, kOff);
    ASSERT_EQ(SaveRule("", "Waise", "0|0|1|1", kOff), 0); // a new rule starts afresh
    EXPECT_EQ(stored("Waise"), Values("0|0|1|1", kNone));
    // No text at all.
    reg.SetNumericValue(HKCU, kRuleOptionsKey, "Waise", 0x31);
    EXPECT_EQ(LoadRule("Waise").Options, kOff);
}

} // namespace
