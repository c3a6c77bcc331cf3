#include "full_hive_disk.h"
#include "platform/registry/registry_api.h"
#include "platform/user_locale.h"
#include "rules/quick_sort.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;

SyncRule Rule(int copy, int reverse, bool sub, bool readOnly, bool hidden, bool system,
              std::string name = "R") {
    SyncRule r;
    r.Name = std::move(name);
    r.CopyCondition = copy;
    r.ReverseAction = reverse;
    r.IncludeSubfolders = sub;
    r.ReadOnlyFiles = readOnly;
    r.HiddenFiles = hidden;
    r.SystemFiles = system;
    return r;
}

const SyncRule kFallback = Rule(2, 0, true, true, false, false);

TEST(RuleText, TheDefaultAndAValidTextReadAsDesigned) {
    EXPECT_EQ(ParseRuleText("R", kDefaultRuleText, '.'), Rule(0, 3, true, true, false, false));
    EXPECT_EQ(ParseRuleText("R", "1|2|0|5", '.'), Rule(1, 2, false, false, true, true));
}

TEST(RuleText, EveryDamagedTextGivesTheFallbackRecord) {
    for (const char* text : {"0|3|1", "0|3|1|1|0", "3|0|1|1", "-1|0|1|1", "0|6|1|1", "0|0|1|8",
                             "x|0|1|1", "0|0||1", "", "0|0|1|1 x", "0|0|1|-1"})
        EXPECT_EQ(ParseRuleText("R", text, '.'), kFallback) << text;
}

TEST(RuleText, SubfolderFieldCountsAnyNonZeroNumber) {
    EXPECT_TRUE(ParseRuleText("R", "0|0|7|0", '.').IncludeSubfolders);
    EXPECT_TRUE(ParseRuleText("R", "0|0|-2|0", '.').IncludeSubfolders);
    EXPECT_FALSE(ParseRuleText("R", "0|0|0,0|0", ',').IncludeSubfolders);
}

TEST(RuleText, NumbersAreReadInTheUsersLocaleAndRoundedHalfToEven) {
    // Ranges are tested on the unrounded numbers: 2,5 is below 3 and rounds to 2.
    EXPECT_EQ(ParseRuleText("R", " 2,5 |+4,5|1| 0,5", ','), Rule(2, 4, true, false, false, false));
    EXPECT_EQ(ParseRuleText("R", "1,5|0|1|1", ','), Rule(2, 0, true, true, false, false));
    // A point is no decimal separator in a German locale.
    EXPECT_EQ(ParseRuleText("R", "0.5|0|1|1", ','), kFallback);
    EXPECT_EQ(ParseRuleText("R", "0.5|0|1|1", '.').CopyCondition, 0);
    EXPECT_EQ(ParseRuleText("R", "-0,9|5,4|1|7,4", ','), Rule(-1, 5, true, true, false, true));
}

TEST(RuleText, DecimalSeparatorFollowsTheLocaleVariables) {
    EXPECT_EQ(platform::DecimalSeparatorOf("de_DE.UTF-8"), ',');
    EXPECT_EQ(platform::DecimalSeparatorOf("en_US.UTF-8"), '.');
    EXPECT_EQ(platform::DecimalSeparatorOf("C"), '.');
    EXPECT_EQ(platform::DecimalSeparatorOf("fr_FR"), ',');
}

TEST(AttributeCode, IsAFixedTableNotABitMask) {
    EXPECT_EQ(AttributesToCode(true, false, true), 7);
    EXPECT_EQ(AttributesToCode(true, true, true), 3);
    for (int code = 0; code <= 7; ++code) {
        const AttributeFlags f = CodeToAttributes(code);
        EXPECT_EQ(AttributesToCode(f.ReadOnlyFiles, f.HiddenFiles, f.SystemFiles), code);
    }
    const AttributeFlags seven = CodeToAttributes(7);
    EXPECT_TRUE(seven.ReadOnlyFiles && seven.SystemFiles && !seven.HiddenFiles);
    const AttributeFlags outside = CodeToAttributes(8);
    EXPECT_FALSE(outside.ReadOnlyFiles || outside.SystemFiles || outside.HiddenFiles);
    EXPECT_EQ(RuleText(Rule(1, 5, false, true, false, true)), "1|5|0|7");
}

TEST(RuleStore, LoadingCreatesTheRulesKeyButNoValue) {
    TempHome home;
    const SyncRule r = LoadRule("Fehlt");
    EXPECT_EQ(r, Rule(0, 3, true, true, false, false, "Fehlt"));
    win::HKEY key = 0;
    ASSERT_EQ(win::RegOpenKeyExA(win::HKEY_CURRENT_USER, kRulesKey, 0, win::KEY_ALL_ACCESS, &key),
              win::ERROR_SUCCESS);
    win::RegCloseKey(key);
    clsRegistry reg;
    EXPECT_FALSE(clsRegistry::IsFullArray(reg.EnumValues(HKCU, kRulesKey, true)));
}

TEST(RuleStore, StoredTextsAreReadBackAndAnEmptyValueIsDamaged) {
    TempHome home;
    clsRegistry reg;
    reg.SetStringValue(HKCU, kRulesKey, "Spiegeln", "0|4|1|1");
    reg.SetStringValue(HKCU, kRulesKey, "Leer", "");
    EXPECT_EQ(LoadRule("Spiegeln"), Rule(0, 4, true, true, false, false, "Spiegeln"));
    EXPECT_EQ(LoadRule("spiegeln").ReverseAction, 4); // names compare without case
    EXPECT_EQ(LoadRule("Leer"), Rule(2, 0, true, true, false, false, "Leer"));
}

TEST(RuleStore, SavingUnderAnotherNameReplacesTheOldRuleInOneWrite) {
    TempHome home;
    clsRegistry reg;
    reg.SetStringValue(HKCU, kRulesKey, "Alt", "1|2|1|3");
    reg.SetStringValue(HKCU, kRulesKey, "Ziel", "2|5|1|0");
    auto names = [&] { return reg.EnumValues(HKCU, kRulesKey, true); };
    {
        // The renamed rule makes the file larger: on a full disk nothing may be lost.
        FullHiveDisk full;
        EXPECT_EQ(SaveRule("Alt", "Neu2", "1|2|1|3"), win::ERROR_DISK_FULL);
    }
    EXPECT_EQ(reg.GetStringValue(HKCU, kRulesKey, "Alt"), "1|2|1|3");
    EXPECT_EQ(names(), (std::vector<std::string>{"Alt", "Ziel"}));

    EXPECT_EQ(SaveRule("Alt", "Neu2", "1|2|1|3"), win::ERROR_SUCCESS);
    EXPECT_EQ(names(), (std::vector<std::string>{"Ziel", "Neu2"}));
    // A change of case is the same value with a new spelling.
    EXPECT_EQ(SaveRule("Neu2", "NEU2", "0|0|1|1"), win::ERROR_SUCCESS);
    EXPECT_EQ(names(), (std::vector<std::string>{"Ziel", "NEU2"}));
    EXPECT_EQ(LoadRule("NEU2"), Rule(0, 0, true, true, false, false, "NEU2"));
    // Onto another stored rule: that one takes the text, the old name goes.
    EXPECT_EQ(SaveRule("neu2", "Ziel", "1|1|0|3"), win::ERROR_SUCCESS);
    EXPECT_EQ(names(), std::vector<std::string>{"Ziel"});
    EXPECT_EQ(reg.GetStringValue(HKCU, kRulesKey, "Ziel"), "1|1|0|3");
    // A new rule (no previous name) only adds.
    EXPECT_EQ(SaveRule("", "Frisch", "0|3|1|1"), win::ERROR_SUCCESS);
    EXPECT_EQ(names(), (std::vector<std::string>{"Ziel", "Frisch"}));
}

TEST(QuickSortTest, OrdersByUtf16CodeUnits) {
    std::vector<std::string> names = {"b", "A", "Ä", "a"};
    QuickSort(names, 0, names.size() - 1);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "a", "b", "Ä"}));
    // Beyond the basic plane (surrogates) sorts before U+FFxx, unlike a code point order.
    std::vector<std::string> wide = {"\xEF\xBC\xA1", "\xF0\x9F\x98\x80", "z"};
    QuickSort(wide);
    EXPECT_EQ(wide, (std::vector<std::string>{"z", "\xF0\x9F\x98\x80", "\xEF\xBC\xA1"}));
}

TEST(QuickSortTest, SortsEveryOrderOfRepeatedNamesAndPartialRanges) {
    std::vector<std::string> base = {"d", "a", "c", "a", "b", "e", "b"};
    std::sort(base.begin(), base.end());
    std::vector<std::string> perm = base;
    int checked = 0;
    do {
        std::vector<std::string> v = perm;
        QuickSort(v);
        ASSERT_EQ(v, base);
        ++checked;
    } while (std::next_permutation(perm.begin(), perm.end()) && checked < 2000);
    std::vector<std::string> part = {"z", "c", "b", "a", "y"};
    QuickSort(part, 1, 3);
    EXPECT_EQ(part, (std::vector<std::string>{"z", "a", "b", "c", "y"}));
    std::vector<std::string> one = {"x"};
    QuickSort(one);
    EXPECT_EQ(one, std::vector<std::string>{"x"});
}

} // namespace
