#include "platform/shell_execute.h"
#include "settings/cls_registry.h"
#include "temp_home.h"

#include <gtest/gtest.h>

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;
constexpr auto HKCR = clsRegistry::HKEY_CLASSES_ROOT;
const std::string kRoot = "Software\\Halvorn Soft\\Gleichwart";

struct EventLog : RegistryEvents {
    std::vector<std::string> lines;
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

TEST(ClsRegistry, DeleteActsOnlyRightAfterTheLatchIsSet) {
    TempHome home;
    EventLog log;
    clsRegistry reg(&log);
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
    EXPECT_EQ(log.lines, std::vector<std::string>{"error 2"});

    reg.CreateKey(HKCU, kRoot + "\\Regeln\\Alt");
    reg.DeleteKey(HKCU, kRoot + "\\Regeln\\Alt");
    EXPECT_EQ(reg.EnumKeys(HKCU, kRoot + "\\Regeln", true), std::vector<std::string>{"Alt"});
    reg.setEnableDelete(true);
    reg.DeleteKey(HKCU, kRoot + "\\Regeln\\Alt");
    EXPECT_FALSE(reg.EnableDelete());
    EXPECT_FALSE(clsRegistry::IsFullArray(reg.EnumKeys(HKCU, kRoot + "\\Regeln", true)));
}

TEST(ClsRegistry, EmptyTextsAndMissingNumbersReadAsDesigned) {
    TempHome home;
    clsRegistry reg;
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

TEST(ClsRegistry, EnumerationsRaiseTheirEventsAndDropTheTrailingElement) {
    TempHome home;
    EventLog log;
    clsRegistry reg(&log);
    reg.CreateKey(HKCU, kRoot + "\\Empty");
    log.lines.clear();
    const auto none = reg.EnumValues(HKCU, kRoot + "\\Empty");
    EXPECT_FALSE(clsRegistry::IsFullArray(none));
    EXPECT_EQ(log.lines, std::vector<std::string>{"values complete"});
    EXPECT_EQ(reg.CurrentKey(), kRoot + "\\Empty");

    reg.SetStringValue(HKCU, kRoot + "\\Regeln", "Spiegeln", "0|4|1|1");
    reg.SetNumericValue(HKCU, kRoot + "\\Regeln", "Zahl", 7);
    reg.CreateKey(HKCU, kRoot + "\\Regeln\\b");
    reg.CreateKey(HKCU, kRoot + "\\Regeln\\A");
    log.lines.clear();
    EXPECT_EQ(reg.EnumValues(HKCU, kRoot + "\\Regeln"),
              (std::vector<std::string>{"Spiegeln", "Zahl"}));
    EXPECT_EQ(reg.EnumKeys(HKCU, kRoot + "\\Regeln"), (std::vector<std::string>{"A", "b"}));
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"value Spiegeln=0|4|1|1 type 1", "value Zahl=7 type 4",
                                        "values complete", "key A", "key b", "keys complete"}));
    log.lines.clear();
    reg.EnumKeys(HKCU, kRoot + "\\Regeln", true);
    reg.EnumValues(HKCU, kRoot + "\\Regeln", true);
    EXPECT_TRUE(log.lines.empty());
}

class ShellCommands : public ::testing::Test {
protected:
    void SetUp() override {
        reg.SetStringValue(HKCR, ".txt", "", "txtfile");
        reg.SetStringValue(HKCR, "txtfile\\shell", "", "open");
        reg.CreateKey(HKCR, "txtfile\\shell\\open");
        reg.CreateKey(HKCR, "txtfile\\shell\\print");
        reg.CreateKey(HKCR, "txtfile\\shell\\printto");
        reg.SetStringValue(HKCR, "txtfile\\shell\\&Vorlesen", "", "&Vorlesen lassen");
        reg.CreateKey(HKCR, "*\\shell\\Open");
        reg.CreateKey(HKCR, "*\\shell\\pruefen");
    }
    static std::string Item(const std::string& verb, const std::string& name) {
        return verb + clsRegistry::kVerbSeparator + name;
    }
    TempHome home;
    clsRegistry reg;
};

TEST_F(ShellCommands, TypeVerbsComeFirstDefaultLeadingThenVerbsForAllFiles) {
    EXPECT_EQ(
        reg.GetShellCommands("/home/anna/Notiz.TXT"),
        (std::vector<std::string>{Item("open", "Öffnen"), Item("&Vorlesen", "&Vorlesen lassen"),
                                  Item("print", "Drucken"), Item("pruefen", "pruefen")}));
}

TEST_F(ShellCommands, UnknownTypesStillGetTheVerbsForAllFilesButNamesWithoutDotNone) {
    EXPECT_EQ(reg.GetShellCommands("/tmp/archiv.xyz"),
              (std::vector<std::string>{Item("Open", "Öffnen"), Item("pruefen", "pruefen")}));
    EXPECT_FALSE(clsRegistry::IsFullArray(reg.GetShellCommands("/tmp/Makefile")));
}

TEST(ClsRegistry, ExecuteShellCommandGoesThroughTheInstalledLauncher) {
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

} // namespace
