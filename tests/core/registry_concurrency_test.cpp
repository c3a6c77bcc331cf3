#include "platform/registry/registry_hive.h"
#include "settings/cls_registry.h"
#include "temp_home.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;
const std::string kKey = "Software\\Halvorn Soft\\Gleichwart\\Test";

// Runs `body` in a child process and returns the child's pid.
template <typename F> pid_t Spawn(F body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

win::ParsedHive ParseFile(const std::string& path) {
    return win::ParseHive(ReadFile(path));
}

TEST(RegistryConcurrency, TwoProcessesWritingAtOnceLoseNothing) {
    TempHome home;
    auto writer = [](const char* prefix) {
        return [prefix] {
            clsRegistry reg;
            for (int i = 0; i < 1000; ++i)
                reg.SetStringValue(HKCU, kKey, prefix + std::to_string(i), std::to_string(i));
        };
    };
    const pid_t a = Spawn(writer("a"));
    const pid_t b = Spawn(writer("b"));
    EXPECT_EQ(WaitFor(a), 0);
    EXPECT_EQ(WaitFor(b), 0);

    const win::ParsedHive hive = ParseFile(home.hivePath());
    EXPECT_FALSE(hive.damaged);
    const win::HiveKey* key = hive.data.findKey("HKEY_CURRENT_USER\\" + kKey);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values.size(), 2000u);
    clsRegistry reg;
    for (int i = 0; i < 1000; i += 37) {
        EXPECT_EQ(reg.GetStringValue(HKCU, kKey, "a" + std::to_string(i)), std::to_string(i));
        EXPECT_EQ(reg.GetStringValue(HKCU, kKey, "b" + std::to_string(i)), std::to_string(i));
    }
}

void KillSelf(win::HiveWriteStage) {
    ::kill(::getpid(), SIGKILL);
}

struct StageKill {
    win::HiveWriteStage stage;
    bool expectNewValue;
};

class RegistryKilledDuringWrite : public ::testing::TestWithParam<StageKill> {};

TEST_P(RegistryKilledDuringWrite, LeavesTheOldOrTheNewHiveNeverAMix) {
    TempHome home;
    clsRegistry reg;
    for (int i = 0; i < 200; ++i)
        reg.SetStringValue(HKCU, kKey, "v" + std::to_string(i), std::string(100, 'x'));
    const std::string before = ReadFile(home.hivePath());

    static win::HiveWriteStage killAt;
    killAt = GetParam().stage;
    const pid_t child = Spawn([] {
        win::SetHiveWriteHookForTests([](win::HiveWriteStage stage) {
            if (stage == killAt)
                KillSelf(stage);
        });
        clsRegistry inChild;
        inChild.SetStringValue(HKCU, kKey, "new", "value");
    });
    const int status = WaitFor(child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);

    const std::string after = ReadFile(home.hivePath());
    EXPECT_FALSE(win::ParseHive(after).damaged);
    if (GetParam().expectNewValue) {
        EXPECT_EQ(reg.GetStringValue(HKCU, kKey, "new"), "value");
        EXPECT_EQ(after.substr(0, before.size() - 1), before.substr(0, before.size() - 1));
    } else {
        EXPECT_EQ(after, before);
    }
    // The hive stays writable after the interrupted write.
    reg.SetStringValue(HKCU, kKey, "later", "ok");
    EXPECT_EQ(reg.GetStringValue(HKCU, kKey, "later"), "ok");
    EXPECT_EQ(reg.GetStringValue(HKCU, kKey, "v199"), std::string(100, 'x'));
}

INSTANTIATE_TEST_SUITE_P(Stages, RegistryKilledDuringWrite,
                         ::testing::Values(StageKill{win::HiveWriteStage::TemporaryHalfWritten,
                                                     false},
                                           StageKill{win::HiveWriteStage::TemporaryComplete, false},
                                           StageKill{win::HiveWriteStage::Renamed, true}));

} // namespace
