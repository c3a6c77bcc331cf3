// The rule store as the windows use it: first start, starter rules, and each change written
// to the hive and read back by a fresh store.
#include "rules/rule_store.h"
#include "settings/cls_registry.h"
#include "temp_home.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> NamesReadAfresh() {
    clsRegistry registry;
    return RuleStore(registry).Names();
}

} // namespace

TEST(RuleCatalog, EveryChangeIsStoredAndReadBack) {
    TempHome home;
    EXPECT_TRUE(RuleStore::IsFirstStart());
    clsRegistry registry;
    RuleStore store(registry);
    store.StoreStarterRules();
    EXPECT_FALSE(RuleStore::IsFirstStart());
    const std::vector<std::string> starters = {"Aktualisieren", "Beide Richtungen", "Spiegeln"};
    EXPECT_EQ(NamesReadAfresh(), starters);
    // Read-only and hidden files take part, system files do not; both options are on.
    for (const auto& [name, text] : {std::pair{"Aktualisieren", "0|0|1|2"},
                                     {"Spiegeln", "0|4|1|2"},
                                     {"Beide Richtungen", "0|3|1|2"}}) {
        EXPECT_EQ(registry.GetStringValue(clsRegistry::HKEY_CURRENT_USER, kRulesKey, name), text);
        EXPECT_EQ(store.Load(name).Options, (RuleOptions{true, true}));
    }
    const SyncRule mirror = store.Load("Spiegeln");
    EXPECT_TRUE(mirror.deletesOnTarget() && mirror.ReadOnlyFiles && mirror.HiddenFiles &&
                !mirror.SystemFiles);

    ASSERT_EQ(store.Save("", "Zeta", "1|2|0|5", RuleOptions{}), 0);
    ASSERT_EQ(store.Rename("Spiegeln", "Abgleich"), 0);
    store.Remove("Beide Richtungen");
    const std::vector<std::string> changed = {"Abgleich", "Aktualisieren", "Zeta"};
    EXPECT_EQ(NamesReadAfresh(), changed);
    clsRegistry again;
    RuleStore reread(again);
    EXPECT_EQ(RuleText(reread.Load("Abgleich")), "0|4|1|2"); // the text moved with the name
    EXPECT_EQ(RuleText(reread.Load("Zeta")), "1|2|0|5");

    // Renaming a rule that is not stored fails and stores nothing.
    EXPECT_NE(store.Rename("Fehlt", "Neu"), 0);
    EXPECT_EQ(NamesReadAfresh(), changed);
}
