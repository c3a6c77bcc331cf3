#include "sync_fixture.h"

#include "rules/rule_store.h"
#include "settings/cls_registry.h"

#include <filesystem>

namespace fs = std::filesystem;

std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(e.path(), root).string();
        if (e.is_directory()) {
            entries[relative] = "/";
        } else {
            const auto time = e.last_write_time().time_since_epoch().count();
            entries[relative] = ReadFile(e.path().string()) + "@" + std::to_string(time);
        }
    }
    return entries;
}

std::string SummaryValue(const std::string& out, const std::string& label) {
    const auto at = out.find("\n  " + label);
    if (at == std::string::npos)
        return "(fehlt)";
    const auto begin = out.find_first_not_of(' ', at + 3 + label.size());
    const auto end = out.find_first_of("\r\n", begin);
    return out.substr(begin, end - begin);
}

SyncTrees::SyncTrees() : start(tree.folder("start")), target(tree.folder("target")) {
    tree.text("start/neu.txt", "neu", UnixTime(10, 0, 0));
    tree.text("start/sub/geaendert.txt", "neue Fassung", UnixTime(12, 0, 0));
    tree.text("target/sub/geaendert.txt", "alt", UnixTime(8, 0, 0));
    tree.text("start/gleich.txt", "gleich", UnixTime(9, 0, 0));
    tree.text("target/gleich.txt", "gleich", UnixTime(9, 0, 0));
    tree.text("target/nur_im_ziel.txt", "weg", UnixTime(9, 0, 0));
}

std::vector<std::string> SyncTrees::parts(const std::string& rule,
                                          std::vector<std::string> options) const {
    options.insert(options.end(),
                   {"/Startordner|" + start, "/Zielordner|" + target, "/Regel|" + rule});
    return options;
}

SyncProgramTest::SyncProgramTest() {
    // Stored into the test's registry file as the window does.
    clsRegistry registry;
    registry.CreateKey(clsRegistry::HKEY_CURRENT_USER, kRulesKey);
    for (const auto& [name, text] : {std::pair{"Aktualisieren", "0|0|1|1"},
                                     {"Endgültig", "0|5|1|1"},
                                     {"Papierkorb", "0|4|1|1"},
                                     {"Spiegel", "0|5|1|2"}})
        registry.SetStringValue(clsRegistry::HKEY_CURRENT_USER, kRulesKey, name, text);
}
