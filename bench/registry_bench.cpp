// Times the registry file with many stored rules: reading it, one write, and the sorted rule
// names the windows show.
#include "platform/registry/registry_hive.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

double SecondsSince(std::chrono::steady_clock::time_point begin) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

} // namespace

int main(int argc, char** argv) {
    const int rules = argc > 1 ? std::atoi(argv[1]) : 20000;
    char folder[] = "/tmp/gleichwart-registry-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr)
        return 2;
    ::setenv("XDG_CONFIG_HOME", folder, 1);
    {
        // The hive's text as the program writes it, names arriving in sorted order.
        win::HiveData data;
        win::HiveKey& key = data.ensureKey(std::string("HKEY_CURRENT_USER\\") + kRulesKey);
        for (int i = 0; i < rules; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "Regel %06d", i);
            key.values.push_back({name, 1, std::string("0|4|1|1") + '\0'});
        }
        ::mkdir((std::string(folder) + "/gleichwart").c_str(), 0700);
        std::ofstream(win::HivePathFromEnvironment()) << win::SerializeHive(data);
    }
    auto begin = std::chrono::steady_clock::now();
    const std::size_t values = win::Hive::Current()
                                   .read()
                                   .findKey(std::string("HKEY_CURRENT_USER\\") + kRulesKey)
                                   ->values.size();
    const double parse = SecondsSince(begin);

    clsRegistry registry;
    begin = std::chrono::steady_clock::now();
    const std::size_t names = RuleStore(registry).Names().size();
    const double list = SecondsSince(begin);

    begin = std::chrono::steady_clock::now();
    RuleStore(registry).Save("", "Neue Regel", "0|0|1|1", RuleOptions{});
    const double write = SecondsSince(begin);

    std::printf("rules %d values %zu names %zu parse %.3f names %.3f write %.3f\n", rules, values,
                names, parse, list, write);
    std::system((std::string("rm -rf ") + folder).c_str());
    return 0;
}
