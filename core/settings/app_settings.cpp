#include "app_settings.h"

#include "cls_registry.h"

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
    return s;
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
