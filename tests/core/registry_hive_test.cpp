// The registry file: what it holds, how it is read and rewritten, links beside and in place
// of it, and two processes or a kill in the middle of a rewrite.
#include "platform/registry/registry_hive.h"
#include "settings/cls_registry.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;
const std::string kRoot = "Software\\Halvorn Soft\\Gleichwart";

class Hive : public ::testing::Test {
protected:
    TempHome home;
    clsRegistry reg;

    std::string text() const { return ReadFile(home.hivePath()); }
    bool holds(const std::string& line) const { return text().find(line) != std::string::npos; }
    // What a fresh reader finds in the file.
    const win::HiveKey* key(const std::string& path) {
        fresh_ = std::make_unique<win::Hive>(home.hivePath());
        return fresh_->read().findKey("HKEY_CURRENT_USER\\" + path);
    }

private:
    std::unique_ptr<win::Hive> fresh_;
};

TEST_F(Hive, DamagedLinesAreSkippedAndTheOriginalIsKeptOnTheFirstRewrite) {
    const std::string damaged =
        "Windows Registry Editor Version 5.00\r\n"
        "\"Orphan\"=\"before any key\"\r\n"
        "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart]\r\n"
        "\"LastStartDir\"=\"/home/anna/Fotos\"\r\n"
        "\"Broken\"=\"no closing quote\r\n"
        "\"Width\"=dword:00002d96\r\n"
        "garbage line\r\n"
        "\"Blob\"=hex(7):41,00,00\r\n"
        "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart\\Regeln]\r\n"
        "\"Standard\"=\"0|3|1|1\"\r\n";
    WriteFile(home.hivePath(), damaged);
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "LastStartDir"), "/home/anna/Fotos");
    EXPECT_EQ(reg.GetNumericValue(HKCU, kRoot, "Width"), 0x2d96);
    EXPECT_FALSE(FileExists(home.hivePath() + ".bak")); // reading rewrites nothing
    reg.SetStringValue(HKCU, kRoot, "LastDestinationDir", "/media/sicherung");
    EXPECT_EQ(ReadFile(home.hivePath() + ".bak"), damaged);
    EXPECT_FALSE(holds("garbage"));
    EXPECT_TRUE(holds("\"Blob\"=hex(7):41,00,00\n"));
    EXPECT_TRUE(holds("[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart\\Regeln]\n"
                      "\"Standard\"=\"0|3|1|1\"\n"));
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "LastDestinationDir"), "/media/sicherung");
    // The repaired file is not damaged any more: a later write keeps the first backup.
    reg.SetStringValue(HKCU, kRoot, "LastRegel", "Standard");
    EXPECT_EQ(ReadFile(home.hivePath() + ".bak"), damaged);
}

TEST_F(Hive, AWriteThatCannotCreateTheFolderIsReportedNotThrown) {
    WriteFile(home.path() + "/config", "not a folder"); // mkdir fails even for root
    struct Recorder : RegistryEvents {
        std::vector<std::int32_t> codes;
        void RegistryError(std::int32_t code) override { codes.push_back(code); }
    } events;
    clsRegistry(&events).SetStringValue(HKCU, kRoot, "LastStartDir", "/x");
    EXPECT_NE(std::count(events.codes.begin(), events.codes.end(), win::ERROR_PATH_NOT_FOUND), 0);
}

// A hive that is a link is written through to its target, beside which the temporary file
// goes; a link where that file would go is neither followed nor replaced.
TEST_F(Hive, AHiveThatIsALinkIsWrittenThroughAndALinkInTheTemporaryFilesWayIsNotFollowed) {
    const std::string target = home.path() + "/dotfiles/registry.reg";
    WriteFile(target, "Windows Registry Editor Version 5.00\n\n"
                      "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart]\n"
                      "\"LastStartDir\"=\"/alt\"\n\n");
    fs::create_directories(home.path() + "/config/gleichwart");
    // A relative link, as a dotfiles manager makes them.
    fs::create_symlink("../../dotfiles/registry.reg", home.hivePath());
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "LastStartDir"), "/alt");
    const std::string victim = home.path() + "/victim";
    WriteFile(victim, "precious");
    // The first name a rewrite would try leads to another file.
    const std::string first = win::HiveTemporaryPath(target, 0);
    fs::create_symlink(victim, first);
    reg.SetStringValue(HKCU, kRoot, "LastStartDir", "/neu");
    EXPECT_EQ(ReadFile(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(first)));
    EXPECT_EQ(fs::read_symlink(home.hivePath()), "../../dotfiles/registry.reg");
    EXPECT_EQ(key(kRoot)->findValue("LastStartDir")->data, std::string("/neu") + '\0');
    // No temporary file is left beside the target.
    EXPECT_EQ(std::distance(fs::directory_iterator(home.path() + "/dotfiles"), {}), 2);
}

const std::string kTestKey = kRoot + "\\Test";

TEST_F(Hive, TwoProcessesWritingAtOnceLoseNothing) {
    for (const char* prefix : {"a", "b"}) {
        if (::fork() == 0) {
            clsRegistry writer;
            for (int i = 0; i < 1000; ++i)
                writer.SetStringValue(HKCU, kTestKey, prefix + std::to_string(i),
                                      std::to_string(i));
            ::_exit(0);
        }
    }
    for (int child = 0; child < 2; ++child) {
        int status = -1;
        ::wait(&status);
        EXPECT_EQ(status, 0);
    }
    EXPECT_FALSE(win::ParseHive(text()).damaged);
    const win::HiveKey* written = key(kTestKey);
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written->values.size(), 2000u);
    EXPECT_EQ(reg.GetStringValue(HKCU, kTestKey, "b999"), "999");
}

class HiveKilledDuringWrite : public Hive,
                              public ::testing::WithParamInterface<win::HiveWriteStage> {};

TEST_P(HiveKilledDuringWrite, LeavesTheOldOrTheNewHiveNeverAMix) {
    for (int i = 0; i < 200; ++i)
        reg.SetStringValue(HKCU, kTestKey, "v" + std::to_string(i), std::string(100, 'x'));
    const std::string before = text();
    static win::HiveWriteStage killAt;
    killAt = GetParam();
    const pid_t child = ::fork();
    if (child == 0) {
        win::SetHiveWriteHookForTests([](win::HiveWriteStage stage) {
            if (stage == killAt)
                ::kill(::getpid(), SIGKILL);
        });
        clsRegistry(nullptr).SetStringValue(HKCU, kTestKey, "new", "value");
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    const std::string after = text();
    EXPECT_FALSE(win::ParseHive(after).damaged);
    if (GetParam() == win::HiveWriteStage::Renamed) {
        EXPECT_EQ(reg.GetStringValue(HKCU, kTestKey, "new"), "value");
        EXPECT_EQ(after.substr(0, before.size() - 1), before.substr(0, before.size() - 1));
    } else {
        EXPECT_EQ(after, before);
    }
    // The hive stays writable after the interrupted write.
    reg.SetStringValue(HKCU, kTestKey, "later", "ok");
    EXPECT_EQ(reg.GetStringValue(HKCU, kTestKey, "later"), "ok");
    EXPECT_EQ(reg.GetStringValue(HKCU, kTestKey, "v199"), std::string(100, 'x'));
    // The killed writer's temporary file went with that later write.
    EXPECT_EQ(std::distance(fs::directory_iterator(home.path() + "/config/gleichwart"), {}), 2);
}

TEST_F(Hive, OnlyTheTemporaryFilesOfWritersThatAreGoneAreRemoved) {
    reg.SetStringValue(HKCU, kRoot, "LastStartDir", "/alt");
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string hive = home.hivePath();
    const std::string dead = std::to_string(gone), alive = std::to_string(::getppid());
    const std::vector<std::pair<std::string, bool>> planted = {
        {hive + ".tmp." + dead + ".17", false},
        {hive + ".tmp." + alive + ".0", true}, // it may still rename its file
        {hive + ".tmp." + dead + ".x", true},  // not a name a writer gives
        {hive + ".tmp." + dead, true},
        {hive + ".bak.tmp." + dead + ".0", true}, // only a write of the backup sweeps there
        {fs::path(hive).parent_path().string() + "/other.reg.tmp." + dead + ".0", true},
    };
    for (const auto& [path, stays] : planted)
        WriteFile(path, "halb");
    reg.SetStringValue(HKCU, kRoot, "LastStartDir", "/neu");
    for (const auto& [path, stays] : planted)
        EXPECT_EQ(FileExists(path), stays) << path;
    EXPECT_EQ(reg.GetStringValue(HKCU, kRoot, "LastStartDir"), "/neu");
}

INSTANTIATE_TEST_SUITE_P(Stages, HiveKilledDuringWrite,
                         ::testing::Values(win::HiveWriteStage::TemporaryHalfWritten,
                                           win::HiveWriteStage::TemporaryComplete,
                                           win::HiveWriteStage::Renamed));

// The quick name comparison must agree with folding the names, Latin-1 letters included.
TEST(RegistryNames, TheQuickComparisonAgreesWithFolding) {
    const char* names[] = {"Spiegeln", "SPIEGELN", "Spiegel", "Übernahme", "übernahme", "\xC3\x97",
                           "\xC3\xB7", "a\xC3",    "A\xC3",   "\xC3\x9E",  "\xC3\xBE",  ""};
    for (const char* a : names)
        for (const char* b : names)
            EXPECT_EQ(win::NamesEqual(a, b), win::FoldName(a) == win::FoldName(b)) << a << "/" << b;
}

} // namespace
