#include "undo_plan.h"

#include "platform/trash_batch.h"

#include <ctime>

namespace {

// "1 neue Datei kommt in den Papierkorb", "2 neue Dateien kommen in den Papierkorb".
std::string KindLine(UndoKind kind, std::int64_t n) {
    const bool one = n == 1;
    std::string line = std::to_string(n) + " ";
    switch (kind) {
    case UndoKind::Made:
        return line + (one ? "neue Datei kommt" : "neue Dateien kommen") + " in den Papierkorb";
    case UndoKind::Replaced:
        return line + (one ? "ersetzte Datei bekommt" : "ersetzte Dateien bekommen") +
               " die alte Fassung zurück";
    case UndoKind::Trashed:
        return line + (one ? "Datei kommt" : "Dateien kommen") + " aus dem Papierkorb zurück";
    case UndoKind::DeletedForGood:
        return line +
               (one ? "endgültig gelöschte Datei kann" : "endgültig gelöschte Dateien können") +
               " nicht zurückgeholt werden";
    case UndoKind::FolderMade:
        return line + (one ? "angelegter Ordner wird entfernt, wenn er leer ist"
                           : "angelegte Ordner werden entfernt, wenn sie leer sind");
    case UndoKind::FolderRemoved:
        return line + (one ? "entfernter Ordner wird" : "entfernte Ordner werden") +
               " wieder angelegt";
    }
    return line;
}

} // namespace

std::string UndoPlan::FullPath(const UndoEntry& e) const {
    std::string full = e.inStart ? startPath : targetPath;
    full.append(PathOf(e));
    return full;
}

platform::TrashSpot UndoPlan::SpotOf(const UndoEntry& e) const {
    if (e.trash == 0)
        return {};
    return {trashes[e.trash - 1], store.substr(e.trashName, e.trashNameLength)};
}

std::int64_t UndoResult::putBackTotal() const {
    std::int64_t n = 0;
    for (const std::int64_t k : putBack)
        n += k;
    return n;
}

std::vector<UndoGroup> PlanGroups(const UndoPlan& plan) {
    std::array<std::int64_t, 2 * kUndoKinds> counts{};
    for (const UndoEntry& e : plan.entries)
        if (!e.notDone)
            ++counts[(e.inStart ? kUndoKinds : 0) + std::size_t(e.kind)];
    std::vector<UndoGroup> groups;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (counts[i] == 0)
            continue;
        const bool inStart = i >= kUndoKinds;
        const auto kind = static_cast<UndoKind>(i % kUndoKinds);
        groups.push_back(
            {kind, inStart, counts[i],
             (inStart ? "Startordner: " : "Zielordner: ") + KindLine(kind, counts[i])});
    }
    return groups;
}

std::vector<std::string> PlanHeading(const UndoPlan& plan) {
    char when[64] = "";
    const std::time_t began = static_cast<std::time_t>(plan.began);
    std::tm local{};
    if (::localtime_r(&began, &local) != nullptr)
        std::strftime(when, sizeof when, "%d.%m.%Y um %H:%M Uhr", &local);
    std::vector<std::string> lines = {
        std::string("Abgleich vom ") + when + " mit der Regel \"" + plan.ruleName + "\"",
        "Startordner: " + plan.startPath, "Zielordner: " + plan.targetPath};
    if (!plan.finished)
        lines.push_back("Der Abgleich wurde nicht zu Ende geführt; rückgängig gemacht wird, was "
                        "bis dahin geschah.");
    return lines;
}

std::vector<UndoSummaryLine> UndoSummary(const UndoResult& result) {
    static constexpr const char* kLabels[kUndoKinds] = {
        "Neue Dateien in den Papierkorb:",  "Alte Fassungen zurückgeholt:",
        "Aus dem Papierkorb zurückgeholt:", "",
        "Angelegte Ordner entfernt:",       "Entfernte Ordner wieder angelegt:"};
    std::vector<UndoSummaryLine> lines;
    for (std::size_t k = 0; k < kUndoKinds; ++k)
        if (result.putBack[k] > 0)
            lines.push_back({kLabels[k], result.putBack[k]});
    lines.push_back({"Nicht zurückgelegt:", static_cast<std::int64_t>(result.left.size())});
    return lines;
}
