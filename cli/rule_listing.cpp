#include "rule_listing.h"

#include "engine/texts.h"
#include "rules/first_start.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"
#include "sync_options.h"

#include <vector>

namespace {

const char* CopyWords(std::int32_t condition) {
    switch (condition) {
    case kCopyMissing:
        return "kopiert, was im Ziel fehlt";
    case kCopyOlder:
        return "kopiert, was im Ziel älter ist";
    default:
        return "kopiert, was im Ziel fehlt oder älter ist";
    }
}

const char* TargetWords(std::int32_t action) {
    switch (action) {
    case kCopyBackNewer:
        return "kopiert Neueres aus dem Ziel zurück";
    case kCopyBackMissing:
        return "kopiert aus dem Ziel zurück, was im Start fehlt";
    case kCopyBackBoth:
        return "kopiert Neueres und Fehlendes aus dem Ziel zurück";
    case kMoveToTrash:
        return "verschiebt, was nur im Ziel liegt, in den Papierkorb";
    case kDeleteForGood:
        return "löscht, was nur im Ziel liegt, endgültig";
    default:
        return "lässt das Ziel sonst, wie es ist";
    }
}

} // namespace

std::string RuleInWords(const SyncRule& rule) {
    std::string words = std::string(CopyWords(rule.CopyCondition)) + "; " +
                        TargetWords(rule.ReverseAction) + "; " +
                        (rule.IncludeSubfolders ? "mit Unterordnern" : "ohne Unterordner");
    std::vector<std::string> kinds;
    if (rule.ReadOnlyFiles)
        kinds.emplace_back("schreibgeschützte Dateien");
    if (rule.HiddenFiles)
        kinds.emplace_back("versteckte Dateien");
    if (rule.SystemFiles)
        kinds.emplace_back("Systemdateien");
    words += "; " + (kinds.empty() ? std::string("nur gewöhnliche Dateien")
                                   : "auch " + ListedInGerman(kinds));
    if (rule.Options.SymbolicLinks)
        words += "; Verknüpfungen als Verknüpfungen";
    if (rule.Options.MatchFolders)
        words += "; Ordner angleichen";
    if (!rule.Options.Exclusions.empty())
        words += "; " + std::to_string(rule.Options.Exclusions.size()) + " Ausschlussmuster";
    return words;
}

int ListStoredRules(std::FILE* out) {
    clsRegistry registry;
    StoreFirstStartSettings(registry);
    const RuleStore store(registry);
    for (const std::string& name : store.Names()) {
        const SyncRule rule = store.Load(name);
        std::fprintf(out, "%s (%s): %s\n", name.c_str(), RuleText(rule).c_str(),
                     RuleInWords(rule).c_str());
    }
    return kExitDone;
}
