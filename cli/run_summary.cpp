#include "run_summary.h"

#include "engine/failed_item.h"
#include "engine/run_view.h"
#include "engine/summary_texts.h"

#include <string>

namespace {

constexpr std::size_t kLabelWidth = 18; // "In den Papierkorb:"

std::size_t Characters(const std::string& text) {
    std::size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

} // namespace

void PrintSummary(std::FILE* out, const RunResult& result, bool stopped, bool intoTrash,
                  std::int32_t seconds) {
    std::fprintf(out, "%s\n",
                 stopped ? "Synchronisierung abgebrochen" : "Synchronisierung beendet");
    const auto line = [out](const std::string& label, const std::string& value) {
        std::fprintf(out, "  %s%s %s\n", label.c_str(),
                     std::string(kLabelWidth - Characters(label), ' ').c_str(), value.c_str());
    };
    line("Kopiert:", FilesAndSize(result.copied + result.copiedBack,
                                  result.copiedBytes + result.copiedBackBytes));
    line(intoTrash ? "In den Papierkorb:" : "Gelöscht:", FileCount(result.deleted()));
    line("Fehlgeschlagen:", FileCount(static_cast<std::int64_t>(result.failures.size())));
    if (result.foldersMade > 0)
        line("Ordner angelegt:", std::to_string(result.foldersMade));
    if (result.foldersRemoved > 0)
        line("Ordner entfernt:", std::to_string(result.foldersRemoved));
    line("Dauer:", DurationText(std::int64_t(seconds) * 1000));
    if (!result.undoNote.empty())
        std::fprintf(out, "%s\n", result.undoNote.c_str());
    std::fflush(out);
}

void PrintFailures(std::FILE* out, const std::vector<FailedItem>& items) {
    if (const auto reads = ItemsOf(items, FailedItem::Kind::Read); !reads.empty()) {
        std::fprintf(out, "Folgende Ordner und Dateien konnten nicht gelesen werden:\n");
        for (const FailedItem* f : reads)
            std::fprintf(out, "  %s (%s)\n", f->path.c_str(), f->reason.c_str());
    }
    if (const auto copies = ItemsOf(items, FailedItem::Kind::Copy); !copies.empty()) {
        std::fprintf(out, "Folgende Dateien konnten nicht kopiert werden:\n");
        for (const FailedItem* f : copies)
            std::fprintf(out, "  %s -> %s: %s\n", f->source.c_str(), f->path.c_str(),
                         f->reason.c_str());
    }
    if (const auto deletions = ItemsOf(items, FailedItem::Kind::Delete); !deletions.empty()) {
        std::fprintf(out, "Folgende Dateien konnten nicht gelöscht werden:\n");
        for (const FailedItem* f : deletions)
            std::fprintf(out, "  %s: %s\n", f->path.c_str(), f->reason.c_str());
    }
    std::fflush(out);
}
