#include "settings/app_settings.h"
#include "settings/cls_registry.h"
#include "temp_home.h"

#include <gtest/gtest.h>

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;

AppSettings Sample() {
    AppSettings s;
    s.lastRule = "L\xf6schen"; // stored bytes, not valid UTF-8
    s.lastStartDir = "/home/anna/Fotos";
    s.lastDestinationDir = "/media/stick/Fotos mit \"Anführung\"";
    s.syncMode = 2;
    s.left = -1200; // a monitor left of the main one
    s.top = 300;
    s.width = 0x7fff0;
    s.height = 6900;
    s.noBackground = true;
    s.background = "/home/anna/Bilder/See.jpg";
    s.backgroundResize = true;
    s.backgroundSoft = true;
    s.softWidth = 42;
    return s;
}

TEST(AppSettingsStore, WhatIsWrittenIsReadBack) {
    TempHome home;
    clsRegistry reg;
    EXPECT_EQ(AppSettings::Load(reg), AppSettings()); // nothing stored: empty texts, zeros
    const AppSettings written = Sample();
    written.SaveWindowState(reg, true);
    written.SaveBackground(reg, true);
    EXPECT_EQ(AppSettings::Load(reg), written);
    clsRegistry other; // a second reader sees the same file
    EXPECT_EQ(AppSettings::Load(other), written);
}

TEST(AppSettingsStore, WhatIsLeftOutKeepsItsStoredValue) {
    TempHome home;
    clsRegistry reg;
    Sample().SaveWindowState(reg, true);
    Sample().SaveBackground(reg, true);
    AppSettings changed = Sample();
    changed.width = 1;
    changed.softWidth = 99;
    changed.lastRule = "Spiegeln";
    changed.SaveWindowState(reg, false); // a maximised window keeps its normal size
    changed.SaveBackground(reg, false);  // a width that was no number is not written
    const AppSettings read = AppSettings::Load(reg);
    EXPECT_EQ(read.lastRule, "Spiegeln");
    EXPECT_EQ(read.width, Sample().width);
    EXPECT_EQ(read.softWidth, Sample().softWidth);
}

TEST(AppSettingsStore, OnlyOneSwitchesTheBackgroundAndTheFrameOn) {
    TempHome home;
    clsRegistry reg;
    const std::string root = AppSettings::kRootKey;
    reg.SetNumericValue(HKCU, root, "NoBackGround", 2);
    reg.SetNumericValue(HKCU, root, "BackGroundResize", 1);
    reg.SetNumericValue(HKCU, root, "BackGroundSoft", -1);
    const AppSettings read = AppSettings::Load(reg);
    EXPECT_FALSE(read.noBackground);
    EXPECT_TRUE(read.backgroundResize);
    EXPECT_FALSE(read.backgroundSoft);
    read.SaveBackground(reg, false); // "NoBackGround" 2 is saved back as 0
    EXPECT_EQ(reg.GetNumericValue(HKCU, root, "NoBackGround"), 0);
}

} // namespace
