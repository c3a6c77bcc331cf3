#include "rule_hive.h"

#include "platform/registry/registry_hive_format.h"
#include "platform/win32_types.h"
#include "rule_keys.h"

#include <vector>

namespace {

using namespace win;

const std::string kRulesPath = std::string("HKEY_CURRENT_USER\\") + kRulesKey;
const std::string kOptionsPath = std::string("HKEY_CURRENT_USER\\") + kRuleOptionsKey;

std::optional<std::string> StoredText(const HiveData& data, const std::string& keyPath,
                                      const std::string& name) {
    const HiveKey* key = data.findKey(keyPath);
    const HiveValue* value = key != nullptr ? key->findValue(name) : nullptr;
    if (value == nullptr)
        return std::nullopt;
    std::string text = value->data;
    if (!text.empty())
        text.pop_back(); // the closing NUL
    return text;
}

void Forget(HiveData& data, const std::string& keyPath, const std::string& name) {
    if (HiveKey* key = data.findKey(keyPath))
        std::erase_if(key->values, [&](const HiveValue& v) { return NamesEqual(v.name, name); });
}

void PutValue(HiveKey& key, const std::string& previous, const std::string& name,
              const std::string& text) {
    HiveValue* stored = key.findValue(name);
    if (stored == nullptr) {
        key.values.push_back(HiveValue{name, REG_SZ, {}});
        stored = &key.values.back();
    }
    stored->type = REG_SZ;
    stored->data = text + '\0';
    if (previous.empty())
        return;
    if (NamesEqual(previous, name)) {
        stored->name = name; // the same value: only its spelling changes
        return;
    }
    std::erase_if(key.values, [&](const HiveValue& v) { return NamesEqual(v.name, previous); });
}

} // namespace

std::optional<std::string> StoredRuleText(const HiveData& data, const std::string& name) {
    return StoredText(data, kRulesPath, name);
}

std::string StoredOptionsText(const HiveData& data, const std::string& name) {
    return StoredText(data, kOptionsPath, name).value_or(std::string());
}

void PutRule(HiveData& data, const std::string& previous, const std::string& name,
             const std::string& text, const std::string& optionsText) {
    PutValue(data.ensureKey(kRulesPath), previous, name, text);
    if (!optionsText.empty()) {
        PutValue(data.ensureKey(kOptionsPath), previous, name, optionsText);
        return;
    }
    Forget(data, kOptionsPath, name);
    if (!previous.empty())
        Forget(data, kOptionsPath, previous);
}

void DropRule(HiveData& data, const std::string& name) {
    Forget(data, kRulesPath, name);
    Forget(data, kOptionsPath, name);
}
