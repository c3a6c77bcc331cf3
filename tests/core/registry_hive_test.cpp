#include "platform/registry/registry_api.h"
#include "platform/registry/registry_hive.h"
#include "settings/cls_registry.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;
const std::string kRoot = "Software\\Halvorn Soft\\Gleichwart";

TEST(RegistryHive, MissingFileIsAnEmptyRegistryAndReadingWritesNothingButTheKey) {
    TempHome home;
    clsRegistry reg;
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "LastStartDir"), "");
    EXPECT_EQ(reg.GetNumericValue(HKCU, kRoot, "Width", 77), 77);
    // Opening a missing key creates it, as the registry class is designed to.
    const std::string text = ReadFile(home.hivePath());
    EXPECT_EQ(text, "Windows Registry Editor Version 5.00\n\n"
                    "[HKEY_CURRENT_USER\\Software]\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Halvorn Soft]\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart]\n\n");
}

TEST(RegistryHive, AwkwardNamesAndTextsComeBackUnchanged) {
    TempHome home;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Quote\"d", "say \"hi\""},
        {"Back\\slash", "C:\\BACKUP\\"},
        {"Pipe|Name", "0|3|1|1"},
        {"Umlaut Größe", "Übergrößenänderung ß"},
        {"Line\nBreak", "first\r\nsecond\nthird\\n"},
        {"", "the default value"},
        {"trailing space ", "  "},
    };
    {
        clsRegistry reg;
        for (const auto& [name, text] : cases)
            reg.SetStringValue(HKCU, kRoot + "\\Regeln", name, text);
        reg.SetNumericValue(HKCU, kRoot, "Left", -1);
        reg.SetNumericValue(HKCU, kRoot, "Width", 70000);
    }
    // A fresh hive object reads only what is in the file.
    win::Hive fresh(home.hivePath());
    const win::HiveKey* key = fresh.read().findKey("HKEY_CURRENT_USER\\" + kRoot + "\\Regeln");
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(key->values.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(key->values[i].name, cases[i].first);
        EXPECT_EQ(key->values[i].data, cases[i].second + '\0');
    }
    clsRegistry reg;
    for (const auto& [name, text] : cases)
        EXPECT_EQ(reg.GetStringValue(HKCU, kRoot + "\\Regeln", name), text) << name;
    EXPECT_EQ(reg.GetNumericValue(HKCU, kRoot, "Left"), -1);
    EXPECT_EQ(reg.GetNumericValue(HKCU, kRoot, "Width"), 70000);
    EXPECT_NE(ReadFile(home.hivePath()).find("\"Width\"=dword:00011170\n"), std::string::npos);
}

TEST(RegistryHive, NamesCompareCaseInsensitivelyAndKeepTheirSpelling) {
    TempHome home;
    clsRegistry reg;
    reg.SetStringValue(HKCU, kRoot + "\\Regeln", "Äpfel", "1");
    reg.SetStringValue(HKCU, kRoot + "\\REGELN", "äPFEL", "2");
    EXPECT_EQ(reg.GetStringValue(HKCU, "SOFTWARE\\halvorn soft\\gleichwart\\regeln", "ÄPFEL"), "2");
    const auto names = reg.EnumValues(HKCU, kRoot + "\\Regeln", true);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], "Äpfel");
    EXPECT_NE(ReadFile(home.hivePath())
                  .find("[HKEY_CURRENT_USER\\Software\\Halvorn Soft"
                        "\\Gleichwart\\Regeln]"),
              std::string::npos);
}

TEST(RegistryHive, DamagedLinesAreSkippedAndTheOriginalIsKeptOnTheFirstRewrite) {
    TempHome home;
    const std::string damaged =
        "Windows Registry Editor Version 5.00\r\n"
        "\"Orphan\"=\"before any key\"\r\n"
        "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart]\r\n"
        "\"LastStartDir\"=\"/home/anna/Fotos\"\r\n"
        "\"Broken\"=\"no closing quote\r\n"
        "\"Width\"=dword:00002d96\r\n"
        "\"Height\"=dword:xyz\r\n"
        "garbage line\r\n"
        "\"Blob\"=hex(7):41,00,00\r\n"
        "[HKEY_LOCAL_MACHINE\\Elsewhere]\r\n"
        "\"Lost\"=\"under an unknown root\"\r\n"
        "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart\\Regeln]\r\n"
        "\"Standard\"=\"0|3|1|1\"\r\n";
    WriteFile(home.hivePath(), damaged);
    clsRegistry reg;
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "LastStartDir"), "/home/anna/Fotos");
    EXPECT_EQ(reg.GetNumericValue(HKCU, kRoot, "Width"), 0x2d96);
    EXPECT_EQ(reg.GetNumericValue(HKCU, kRoot, "Height", 5), 5);
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot + "\\Regeln", "Standard"), "0|3|1|1");
    EXPECT_FALSE(FileExists(home.hivePath() + ".bak")); // reading rewrites nothing

    reg.SetStringValue(HKCU, kRoot, "LastDestinationDir", "/media/sicherung");
    EXPECT_EQ(ReadFile(home.hivePath() + ".bak"), damaged);
    const std::string rewritten = ReadFile(home.hivePath());
    EXPECT_EQ(rewritten.find("garbage"), std::string::npos);
    EXPECT_NE(rewritten.find("\"Blob\"=hex(7):41,00,00\n"), std::string::npos);
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "LastStartDir"), "/home/anna/Fotos");
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "LastDestinationDir"), "/media/sicherung");

    // The repaired file is not damaged any more: a later write keeps the first backup.
    reg.SetStringValue(HKCU, kRoot, "LastRegel", "Standard");
    EXPECT_EQ(ReadFile(home.hivePath() + ".bak"), damaged);
}

TEST(RegistryHive, AWriteThatCannotCreateTheFolderIsReportedNotThrown) {
    TempHome home;
    // A plain file where the folder should be: mkdir fails even for root.
    WriteFile(home.path() + "/config", "not a folder");
    struct Recorder : RegistryEvents {
        std::vector<std::int32_t> codes;
        void RegistryError(std::int32_t code) override { codes.push_back(code); }
    } events;
    clsRegistry reg(&events);
    reg.SetStringValue(HKCU, kRoot, "LastStartDir", "/x");
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "LastStartDir"), "");
    // The failed creation and then the failed second open are both reported.
    EXPECT_NE(std::find(events.codes.begin(), events.codes.end(), win::ERROR_PATH_NOT_FOUND),
              events.codes.end());
    // A key that cannot be opened enumerates as one empty element.
    EXPECT_EQ(reg.EnumKeys(HKCU, kRoot), std::vector<std::string>{""});
    EXPECT_TRUE(reg.EnumValues(HKCU, kRoot).empty());
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::vector<std::string> FolderEntries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RegistryHive, ALinkWhereTheTemporaryFileWouldGoIsNeitherFollowedNorReplaced) {
    TempHome home;
    clsRegistry reg;
    reg.SetStringValue(HKCU, kRoot, "LastStartDir", "/alt");
    const std::string victim = home.path() + "/victim";
    const std::string missing = home.path() + "/not-yet-there";
    WriteFile(victim, "precious");
    // The first names a rewrite would try: one leads to a file, one to where none is yet.
    const std::string first = win::HiveTemporaryPath(home.hivePath(), 0);
    const std::string second = win::HiveTemporaryPath(home.hivePath(), 1);
    ASSERT_EQ(::symlink(victim.c_str(), first.c_str()), 0);
    ASSERT_EQ(::symlink(missing.c_str(), second.c_str()), 0);

    reg.SetStringValue(HKCU, kRoot, "LastStartDir", "/neu");
    EXPECT_EQ(ReadFile(victim), "precious");
    EXPECT_FALSE(FileExists(missing));
    EXPECT_TRUE(IsLink(first));
    EXPECT_TRUE(IsLink(second));
    EXPECT_FALSE(IsLink(home.hivePath()));
    EXPECT_NE(ReadFile(home.hivePath()).find("\"LastStartDir\"=\"/neu\"\n"), std::string::npos);
    win::Hive fresh(home.hivePath());
    const win::HiveKey* key = fresh.read().findKey("HKEY_CURRENT_USER\\" + kRoot);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->findValue("LastStartDir")->data, std::string("/neu") + '\0');
}

TEST(RegistryHive, AHiveThatIsALinkIsWrittenThroughToItsTarget) {
    TempHome home;
    const std::string dotfiles = home.path() + "/dotfiles";
    const std::string target = dotfiles + "/registry.reg";
    const std::string configDir = home.path() + "/config/gleichwart";
    std::filesystem::create_directories(dotfiles);
    std::filesystem::create_directories(configDir);
    WriteFile(target, "Windows Registry Editor Version 5.00\n\n"
                      "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart]\n"
                      "\"LastStartDir\"=\"/alt\"\n\n");
    // A relative link, as a dotfiles manager makes them.
    ASSERT_EQ(::symlink("../../dotfiles/registry.reg", home.hivePath().c_str()), 0);

    clsRegistry reg;
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "LastStartDir"), "/alt");
    reg.SetStringValue(HKCU, kRoot, "LastStartDir", "/neu");
    ASSERT_TRUE(IsLink(home.hivePath()));
    EXPECT_EQ(std::filesystem::read_symlink(home.hivePath()), "../../dotfiles/registry.reg");
    EXPECT_NE(ReadFile(target).find("\"LastStartDir\"=\"/neu\"\n"), std::string::npos);
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "LastStartDir"), "/neu");
    // Nothing is left behind: the lock beside the link, no temporary file anywhere.
    EXPECT_EQ(FolderEntries(dotfiles), std::vector<std::string>{"registry.reg"});
    EXPECT_EQ(FolderEntries(configDir),
              (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));

    // A link whose file does not exist yet gets that file.
    std::filesystem::remove(target);
    reg.SetStringValue(HKCU, kRoot, "LastDestinationDir", "/ziel");
    EXPECT_TRUE(IsLink(home.hivePath()));
    EXPECT_NE(ReadFile(target).find("\"LastDestinationDir\"=\"/ziel\"\n"), std::string::npos);
}

TEST(RegistryApi, QueryReportsTheSizeAndRefusesASmallBuffer) {
    TempHome home;
    win::HKEY key = 0;
    ASSERT_EQ(win::RegCreateKeyExA(win::HKEY_CURRENT_USER, "Software\\T", 0, nullptr, 0,
                                   win::KEY_ALL_ACCESS, nullptr, &key, nullptr),
              win::ERROR_SUCCESS);
    const char text[] = "abc";
    ASSERT_EQ(
        win::RegSetValueExA(key, "v", 0, win::REG_SZ, reinterpret_cast<const win::BYTE*>(text), 4),
        win::ERROR_SUCCESS);
    win::BYTE small[2];
    win::DWORD size = sizeof small;
    EXPECT_EQ(win::RegQueryValueExA(key, "v", nullptr, nullptr, small, &size),
              win::ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(win::RegQueryValueExA(key, "missing", nullptr, nullptr, small, &size),
              win::ERROR_FILE_NOT_FOUND);
    // A key with a subkey is not deleted; its handle goes stale once it is.
    ASSERT_EQ(win::RegCreateKeyExA(key, "Sub", 0, nullptr, 0, win::KEY_ALL_ACCESS, nullptr, &key,
                                   nullptr),
              win::ERROR_SUCCESS);
    EXPECT_EQ(win::RegDeleteKeyA(win::HKEY_CURRENT_USER, "Software\\T"), win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(win::RegDeleteKeyA(win::HKEY_CURRENT_USER, "Software\\T\\Sub"), win::ERROR_SUCCESS);
    EXPECT_EQ(
        win::RegSetValueExA(key, "v", 0, win::REG_SZ, reinterpret_cast<const win::BYTE*>(text), 4),
        win::ERROR_KEY_DELETED);
    EXPECT_EQ(win::RegCloseKey(key), win::ERROR_SUCCESS);
    EXPECT_EQ(win::RegCloseKey(key), win::ERROR_INVALID_HANDLE);
}

} // namespace
