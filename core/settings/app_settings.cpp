#include "app_settings.h"

#include "cls_registry.h"
#include "locale_number.h"
#include "platform/registry/registry_api.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;
} // namespace

AppSettings AppSettings::Load(clsRegistry& registry) {
    AppSettings s;
    auto text = [&](const char* name) { return registry.GetStringValue(HKCU, kRootKey, name); };
    // Read 32 bits wide: a window left on a far monitor lies beyond 16 bits.
    auto number = [&](const char* name) { return registry.GetNumericValue(HKCU, kRootKey, name); };
    s.lastRule = text("LastRegel");
    s.lastStartDir = text("LastStartDir");
    s.lastDestinationDir = text("LastDestinationDir");
    s.syncMode = number("SyncMode");
    s.left = number("Left");
    s.top = number("Top");
    s.width = number("Width");
    s.height = number("Height");
    s.noBackground = number("NoBackGround") == 1;
    s.background = text("BackGround");
    s.backgroundResize = number("BackGroundResize") == 1;
    s.backgroundSoft = number("BackGroundSoft") == 1;
    s.softWidth = number("SoftWidth");
    s.keepReplaced = LoadKeepReplaced();
    return s;
}

bool AppSettings::LoadKeepReplaced() {
    // Read without the registry class, which makes the key it reads from: a run must not
    // store anything, and a missing key is a user who never changed the setting.
    win::HKEY key = 0;
    if (win::RegOpenKeyExA(win::HKEY_CURRENT_USER, kRootKey, 0, win::KEY_ALL_ACCESS, &key) !=
        win::ERROR_SUCCESS)
        return true;
    win::BYTE data[4] = {0, 0, 0, 0};
    win::DWORD size = sizeof data;
    win::DWORD type = 0;
    const win::LONG rc = win::RegQueryValueExA(key, "KeepReplaced", nullptr, &type, data, &size);
    win::RegCloseKey(key);
    if (rc != win::ERROR_SUCCESS || type != win::REG_DWORD)
        return true;
    return data[0] == 1 && data[1] == 0 && data[2] == 0 && data[3] == 0;
}

void AppSettings::SaveKeepReplaced(clsRegistry& registry) const {
    registry.CreateKey(HKCU, kRootKey);
    registry.SetNumericValue(HKCU, kRootKey, "KeepReplaced", keepReplaced ? 1 : 0);
}

void AppSettings::SaveWindowState(clsRegistry& registry, bool withGeometry) const {
    registry.CreateKey(HKCU, kRootKey);
    registry.SetStringValue(HKCU, kRootKey, "LastRegel", lastRule);
    registry.SetStringValue(HKCU, kRootKey, "LastStartDir", lastStartDir);
    registry.SetStringValue(HKCU, kRootKey, "LastDestinationDir", lastDestinationDir);
    registry.SetNumericValue(HKCU, kRootKey, "SyncMode", syncMode);
    if (!withGeometry)
        return;
    registry.SetNumericValue(HKCU, kRootKey, "Left", left);
    registry.SetNumericValue(HKCU, kRootKey, "Top", top);
    registry.SetNumericValue(HKCU, kRootKey, "Width", width);
    registry.SetNumericValue(HKCU, kRootKey, "Height", height);
}

void AppSettings::SaveBackground(clsRegistry& registry, bool withSoftWidth) const {
    if (withSoftWidth)
        registry.SetNumericValue(HKCU, kRootKey, "SoftWidth", softWidth);
    registry.CreateKey(HKCU, kRootKey);
    registry.SetStringValue(HKCU, kRootKey, "BackGround", background);
    registry.SetNumericValue(HKCU, kRootKey, "BackGroundResize", backgroundResize ? 1 : 0);
    registry.SetNumericValue(HKCU, kRootKey, "BackGroundSoft", backgroundSoft ? 1 : 0);
    registry.SetNumericValue(HKCU, kRootKey, "NoBackGround", noBackground ? 1 : 0);
}

void AppSettings::StoreStarterBackground(clsRegistry& registry, const std::string& picturePath) {
    registry.CreateKey(HKCU, kRootKey);
    registry.SetStringValue(HKCU, kRootKey, "BackGround", picturePath);
    registry.SetNumericValue(HKCU, kRootKey, "BackGroundResize", 1);
}

std::optional<std::int32_t> SoftWidthFromText(std::string_view text, char decimalSeparator) {
    const std::optional<double> n = ParseLocaleNumber(text, decimalSeparator);
    if (!n)
        return std::nullopt;
    // Held to the range first: a huge number would not fit into 32 bits. Rounding and holding
    // give the same in either order within it.
    return static_cast<std::int32_t>(std::nearbyint(std::clamp(*n, 10.0, 150.0)));
}
