// The program's registry class, the shell verbs it finds there, and the settings it keeps.
#include "platform/shell_execute.h"
#include "settings/app_settings.h"
#include "settings/cls_registry.h"
#include "temp_home.h"

#include <gtest/gtest.h>

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;
constexpr auto HKCR = clsRegistry::HKEY_CLASSES_ROOT;
const std::string kRoot = AppSettings::kRootKey;
using Lines = std::vector<std::string>;

struct EventLog : RegistryEvents {
    Lines lines;
    void EnumKey(const std::string& name) override { lines.push_back("key " + name); }
    void EnumKeyComplete() override { lines.push_back("keys complete"); }
    void EnumValue(const std::string& name, const RegistrySetting& setting,
                   std::int32_t type) override {
        std::string shown = "-";
        if (const auto* text = std::get_if<std::string>(&setting))
            shown = *text;
        else if (const auto* number = std::get_if<std::int32_t>(&setting))
            shown = std::to_string(*number);
        lines.push_back("value " + name + "=" + shown + " type " + std::to_string(type));
    }
    void EnumValueComplete() override { lines.push_back("values complete"); }
    void RegistryError(std::int32_t code) override {
        lines.push_back("error " + std::to_string(code));
    }
};

class Registry : public ::testing::Test {
protected:
    TempHome home;
    EventLog log;
    clsRegistry reg{&log};
};

TEST_F(Registry, DeleteActsOnlyRightAfterTheLatchIsSet) {
    reg.SetStringValue(HKCU, kRoot, "A", "1");
    reg.SetStringValue(HKCU, kRoot, "B", "2");
    reg.DeleteValue(HKCU, kRoot, "A");
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "A"), "1");
    reg.setEnableDelete(true);
    reg.DeleteValue(HKCU, kRoot, "A");
    EXPECT_FALSE(reg.EnableDelete());
    reg.DeleteValue(HKCU, kRoot, "B"); // the latch fell with the first delete
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "B"), "2");
    log.lines.clear();
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "A"), "");
    EXPECT_EQ(log.lines, Lines{"error 2"});

    reg.CreateKey(HKCU, kRoot + "\\Regeln\\Alt");
    reg.DeleteKey(HKCU, kRoot + "\\Regeln\\Alt");
    EXPECT_EQ(reg.EnumKeys(HKCU, kRoot + "\\Regeln", true), Lines{"Alt"});
    reg.setEnableDelete(true);
    reg.DeleteKey(HKCU, kRoot + "\\Regeln\\Alt");
    EXPECT_FALSE(reg.EnableDelete());
    EXPECT_FALSE(clsRegistry::IsFullArray(reg.EnumKeys(HKCU, kRoot + "\\Regeln", true)));
}

TEST_F(Registry, EmptyTextsAndMissingNumbersReadAsDesigned) {
    reg.SetStringValue(HKCU, kRoot, "LastStartDir", "");
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "LastStartDir"), " ");
    EXPECT_EQ(reg.GetNumericValue(HKCU, kRoot, "Left"), 0);
    EXPECT_EQ(reg.GetNumericValue(HKCU, kRoot, "Left", 42), 42);
    reg.SetNumericValue(HKCU, kRoot, "Left", -32769);
    EXPECT_EQ(reg.GetNumericValue(HKCU, kRoot, "Left", 42), -32769);
    // The stored type is not checked: the first four bytes of a text read as a number.
    reg.SetStringValue(HKCU, kRoot, "Short", "A");
    EXPECT_EQ(reg.GetNumericValue(HKCU, kRoot, "Short"), 0x41);
    reg.SetStringValue(HKCU, kRoot, "Long", "ABCDEFG");
    EXPECT_EQ(reg.GetNumericValue(HKCU, kRoot, "Long", 9), 9); // more data than four bytes
}

TEST_F(Registry, EnumerationsRaiseTheirEventsAndDropTheTrailingElement) {
    reg.CreateKey(HKCU, kRoot + "\\Empty");
    log.lines.clear();
    EXPECT_FALSE(clsRegistry::IsFullArray(reg.EnumValues(HKCU, kRoot + "\\Empty")));
    EXPECT_EQ(log.lines, Lines{"values complete"});
    const std::string rules = kRoot + "\\Regeln";
    reg.SetStringValue(HKCU, rules, "Spiegeln", "0|4|1|1");
    reg.SetNumericValue(HKCU, rules, "Zahl", 7);
    reg.CreateKey(HKCU, rules + "\\b");
    reg.CreateKey(HKCU, rules + "\\A");
    log.lines.clear();
    EXPECT_EQ(reg.EnumValues(HKCU, rules), (Lines{"Spiegeln", "Zahl"}));
    EXPECT_EQ(reg.EnumKeys(HKCU, rules), (Lines{"A", "b"}));
    EXPECT_EQ(log.lines, (Lines{"value Spiegeln=0|4|1|1 type 1", "value Zahl=7 type 4",
                                "values complete", "key A", "key b", "keys complete"}));
    log.lines.clear();
    reg.EnumKeys(HKCU, rules, true);
    reg.EnumValues(HKCU, rules, true);
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(Registry, ShellVerbsOfTheTypeComeFirstDefaultLeadingThenThoseForAllFiles) {
    reg.SetStringValue(HKCR, ".txt", "", "txtfile");
    reg.SetStringValue(HKCR, "txtfile\\shell", "", "open");
    for (const char* verb : {"open", "print", "printto"})
        reg.CreateKey(HKCR, std::string("txtfile\\shell\\") + verb);
    reg.SetStringValue(HKCR, "txtfile\\shell\\&Vorlesen", "", "&Vorlesen lassen");
    reg.CreateKey(HKCR, "*\\shell\\Open");
    reg.CreateKey(HKCR, "*\\shell\\pruefen");
    const auto item = [](const std::string& verb, const std::string& name) {
        return verb + clsRegistry::kVerbSeparator + name;
    };
    EXPECT_EQ(reg.GetShellCommands("/home/anna/Notiz.TXT"),
              (Lines{item("open", "Öffnen"), item("&Vorlesen", "&Vorlesen lassen"),
                     item("print", "Drucken"), item("pruefen", "pruefen")}));
    // Unknown types still get the verbs for all files; names without a dot get none.
    EXPECT_EQ(reg.GetShellCommands("/tmp/archiv.xyz"),
              (Lines{item("Open", "Öffnen"), item("pruefen", "pruefen")}));
    EXPECT_FALSE(clsRegistry::IsFullArray(reg.GetShellCommands("/tmp/Makefile")));
}

TEST(ShellCommand, GoesThroughTheInstalledLauncherInFrontOfTheGivenWindow) {
    std::vector<win::ShellExecuteRequest> seen;
    auto previous = win::SetShellExecuteHandler([&](const win::ShellExecuteRequest& r) {
        seen.push_back(r);
        return r.file == "/da" ? std::intptr_t{42} : std::intptr_t{2};
    });
    clsRegistry reg;
    EXPECT_TRUE(reg.ExecuteShellCommand("open", "/da"));
    EXPECT_FALSE(reg.ExecuteShellCommand("edit", "/weg", 77));
    win::SetShellExecuteHandler(previous);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].window, win::GetDesktopWindow());
    EXPECT_EQ(seen[0].operation, "open");
    EXPECT_EQ(seen[0].show, win::SW_SHOWNORMAL);
    EXPECT_EQ(seen[1].window, 77u);
    EXPECT_EQ(seen[1].operation, "edit");
}

TEST_F(Registry, AppSettingsAreReadBackAndWhatIsLeftOutKeepsItsStoredValue) {
    EXPECT_EQ(AppSettings::Load(reg), AppSettings()); // nothing stored: empty texts, zeros
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
    written.SaveWindowState(reg, true);
    written.SaveBackground(reg, true);
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
}

TEST_F(Registry, OnlyOneSwitchesTheBackgroundAndTheFrameOn) {
    reg.SetNumericValue(HKCU, kRoot, "NoBackGround", 2);
    reg.SetNumericValue(HKCU, kRoot, "BackGroundResize", 1);
    reg.SetNumericValue(HKCU, kRoot, "BackGroundSoft", -1);
    const AppSettings read = AppSettings::Load(reg);
    EXPECT_FALSE(read.noBackground);
    EXPECT_TRUE(read.backgroundResize);
    EXPECT_FALSE(read.backgroundSoft);
    read.SaveBackground(reg, false); // "NoBackGround" 2 is saved back as 0
    EXPECT_EQ(reg.GetNumericValue(HKCU, kRoot, "NoBackGround"), 0);
}

} // namespace
