// What the program keeps in its registry file: its own values through the registry class,
// and the rules with their stored text, attribute code, names and order: the starter rules of
// the first start, and a rule the editor deletes, read back by a fresh store. What the editor
// saves, the window tests of the rules read back.
#include "platform/registry/registry_api.h"
#include "rules/rule_store.h"
#include "settings/app_settings.h"
#include "settings/cls_registry.h"
#include "temp_home.h"

#include <gtest/gtest.h>

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;
const std::string kRoot = AppSettings::kRootKey;
using Lines = std::vector<std::string>;

class Registry : public ::testing::Test {
protected:
    TempHome home;
    clsRegistry reg;
};

TEST_F(Registry, AValueIsDeletedOnlyRightAfterTheLatchIsSet) {
    reg.SetStringValue(HKCU, kRoot, "A", "1");
    reg.SetStringValue(HKCU, kRoot, "B", "2");
    reg.DeleteValue(HKCU, kRoot, "A");
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "A"), "1");
    reg.setEnableDelete(true);
    reg.DeleteValue(HKCU, kRoot, "A");
    EXPECT_FALSE(reg.EnableDelete());
    reg.DeleteValue(HKCU, kRoot, "B"); // the latch fell with the first delete
    EXPECT_EQ(reg.EnumValues(HKCU, kRoot, true), Lines{"B"});
}

TEST_F(Registry, AppSettingsAreReadBackAndWhatIsLeftOutKeepsItsStoredValue) {
    // Nothing stored: empty texts, zeros, and old versions of replaced files kept.
    EXPECT_EQ(AppSettings::Load(reg), AppSettings());
    AppSettings written;
    written.lastRule = "L\xf6schen"; // stored bytes, not valid UTF-8
    written.lastStartDir = "/home/anna/Fotos";
    written.lastDestinationDir = "/media/stick/Fotos mit \"Anführung\"";
    written.syncMode = 2;
    written.left = -1200; // a monitor left of the main one
    written.top = 300;
    written.width = 0x7fff0;
    written.height = 6900;
    written.noBackground = written.backgroundResize = written.backgroundSoft = true;
    written.background = "/home/anna/Bilder/See.jpg";
    written.softWidth = 42;
    written.keepReplaced = false;
    written.SaveWindowState(reg, true);
    written.SaveBackground(reg, true);
    written.SaveKeepReplaced(reg);
    clsRegistry other; // a second reader sees the same file
    EXPECT_EQ(AppSettings::Load(other), written);
    AppSettings changed = written;
    changed.width = 1;
    changed.softWidth = 99;
    changed.lastRule = "Spiegeln";
    changed.SaveWindowState(reg, false); // a maximised window keeps its normal size
    changed.SaveBackground(reg, false);  // a width that was no number is not written
    changed.width = written.width;
    changed.softWidth = written.softWidth;
    EXPECT_EQ(AppSettings::Load(reg), changed);
    // Only a stored 1 switches the background and the frame on.
    reg.SetNumericValue(HKCU, kRoot, "NoBackGround", 2);
    reg.SetNumericValue(HKCU, kRoot, "BackGroundSoft", -1);
    const AppSettings read = AppSettings::Load(reg);
    EXPECT_TRUE(!read.noBackground && read.backgroundResize && !read.backgroundSoft);
}

// A rule as its fields are listed: what it copies, what it does on the target side, and which
// files take part.
SyncRule Rule(int copy, int reverse, bool sub, bool readOnly, bool hidden, bool system,
              std::string name = "R") {
    return {std::move(name), reverse, copy, sub, system, hidden, readOnly, {}};
}

const SyncRule kFallback = Rule(2, 0, true, true, false, false);

TEST(RuleText, NumbersAreReadInTheUsersLocaleRangeCheckedAndRoundedHalfToEven) {
    const std::vector<std::tuple<std::string, char, SyncRule>> rows = {
        {"1|2|0|5", '.', Rule(1, 2, false, false, true, true)},
        // Any number but zero includes the subfolders.
        {"0|0|-2|0", '.', Rule(0, 0, true, false, false, false)},
        // Ranges are tested on the unrounded numbers: 2,5 is below 3 and rounds to 2.
        {" 2,5 |+4,5|1| 0,5", ',', Rule(2, 4, true, false, false, false)},
        {"-0,9|5,4|1|7,4", ',', Rule(-1, 5, true, true, false, true)},
        // A point is no decimal separator in a German locale.
        {"0.5|0|1|1", ',', kFallback},
        {"0.5|0|1|1", '.', Rule(0, 0, true, true, false, false)},
    };
    for (const auto& [text, separator, rule] : rows)
        EXPECT_EQ(ParseRuleText("R", text, separator), rule) << text;
    for (const char* text : {"0|3|1", "3|0|1|1", "0|6|1|1", "0|0|1|8", "x|0|1|1", "", "0|0|1|1 x"})
        EXPECT_EQ(ParseRuleText("R", text, '.'), kFallback) << text;
}

TEST_F(Registry, LoadingARuleCreatesTheRulesKeyAndReadsStoredTextsWithoutCase) {
    EXPECT_EQ(LoadRule("Fehlt"), Rule(0, 3, true, true, false, false, "Fehlt"));
    win::HKEY key = 0;
    ASSERT_EQ(win::RegOpenKeyExA(win::HKEY_CURRENT_USER, kRulesKey, 0, win::KEY_ALL_ACCESS, &key),
              win::ERROR_SUCCESS);
    win::RegCloseKey(key);
    EXPECT_FALSE(clsRegistry::IsFullArray(reg.EnumValues(HKCU, kRulesKey, true)));
    reg.SetStringValue(HKCU, kRulesKey, "Spiegeln", "0|4|1|1");
    reg.SetStringValue(HKCU, kRulesKey, "Leer", ""); // stored as one blank: damaged
    EXPECT_EQ(LoadRule("spiegeln"), Rule(0, 4, true, true, false, false, "spiegeln"));
    EXPECT_EQ(LoadRule("Leer"), Rule(2, 0, true, true, false, false, "Leer"));
}

// On a full disk and onto another stored rule, the rules' window test renames through the
// editor.
TEST_F(Registry, SavingARuleUnderAnotherNameReplacesTheOldOneInOneWrite) {
    reg.SetStringValue(HKCU, kRulesKey, "Alt", "1|2|1|3");
    reg.SetStringValue(HKCU, kRulesKey, "Ziel", "2|5|1|0");
    auto names = [&] { return reg.EnumValues(HKCU, kRulesKey, true); };
    EXPECT_EQ(SaveRule("Alt", "Neu2", "1|2|1|3", {}), win::ERROR_SUCCESS);
    EXPECT_EQ(names(), (Lines{"Ziel", "Neu2"}));
    // A change of case is the same value with a new spelling.
    EXPECT_EQ(SaveRule("Neu2", "NEU2", "0|0|1|1", {}), win::ERROR_SUCCESS);
    EXPECT_EQ(names(), (Lines{"Ziel", "NEU2"}));
    EXPECT_EQ(LoadRule("NEU2"), Rule(0, 0, true, true, false, false, "NEU2"));
    // A new rule (no previous name) only adds.
    EXPECT_EQ(SaveRule("", "Frisch", "0|3|1|1", {}), win::ERROR_SUCCESS);
    EXPECT_EQ(names(), (Lines{"Ziel", "NEU2", "Frisch"}));
}

TEST_F(Registry, TheFirstStartStoresTheStarterRulesAndADeletedRuleIsGone) {
    EXPECT_TRUE(RuleStore::IsFirstStart());
    RuleStore store(reg);
    store.StoreStarterRules();
    EXPECT_FALSE(RuleStore::IsFirstStart());
    // Read-only and hidden files take part, system files do not; both options are on.
    for (const auto& [name, text] : {std::pair{"Aktualisieren", "0|0|1|2"},
                                     {"Spiegeln", "0|4|1|2"},
                                     {"Beide Richtungen", "0|3|1|2"}}) {
        EXPECT_EQ(reg.GetStringValue(HKCU, kRulesKey, name), text);
        EXPECT_EQ(reg.GetStringValue(HKCU, kRuleOptionsKey, name), "links=1\nordner=1");
    }
    EXPECT_TRUE(store.Load("Spiegeln").deletesOnTarget());
    store.Remove("Beide Richtungen");
    clsRegistry again;
    EXPECT_EQ(RuleStore(again).Names(), (std::vector<std::string>{"Aktualisieren", "Spiegeln"}));
}

} // namespace
