#include "first_start.h"

#include "platform/system_info.h"
#include "rule_store.h"
#include "settings/app_settings.h"

bool StoreFirstStartSettings(clsRegistry& registry) {
    if (!RuleStore::IsFirstStart()) // asked before any read creates the key
        return false;
    RuleStore(registry).StoreStarterRules();
    AppSettings::StoreStarterBackground(registry,
                                        platform::ProgramFolder() + "/Icons/Background.png");
    return true;
}
