#include "run_summary.h"

#include "engine/copy_errors.h"
#include "engine/sync_session.h"
#include "engine/texts.h"
#include "terminal_view.h"

#include <string>

namespace {

std::string Files(std::int64_t count) {
    return std::to_string(count) + (count == 1 ? " Datei" : " Dateien");
}

constexpr std::size_t kLabelWidth = 18; // "In den Papierkorb:"

std::size_t Characters(const std::string& text) {
    std::size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

} // namespace

void PrintSummary(std::FILE* out, const RunTotals& totals) {
    std::fprintf(out, "%s\n",
                 totals.stopped ? "Synchronisierung abgebrochen" : "Synchronisierung beendet");
    const auto line = [out](const std::string& label, const std::string& value) {
        std::fprintf(out, "  %s%s %s\n", label.c_str(),
                     std::string(kLabelWidth - Characters(label), ' ').c_str(), value.c_str());
    };
    line("Kopiert:", Files(totals.copied) + " (" + FormatSize(totals.copiedBytes) + ")");
    line(totals.intoTrash ? "In den Papierkorb:" : "Gelöscht:",
         Files(static_cast<std::int64_t>(totals.deleted)));
    line("Fehlgeschlagen:", Files(static_cast<std::int64_t>(totals.failed)));
    line("Dauer:", FormatTime(totals.seconds));
    std::fflush(out);
}

void PrintScanProblems(std::FILE* out, const std::vector<ScanProblem>& problems) {
    if (problems.empty())
        return;
    std::fprintf(out, "Folgende Ordner und Dateien konnten nicht gelesen werden:\n");
    for (const ScanProblem& p : problems)
        std::fprintf(out, "  %s (%s)\n", p.path.c_str(), ErrorDescription(p.error).c_str());
    std::fflush(out);
}

void PrintFailures(std::FILE* out, const std::vector<CopyFailure>& copies,
                   const std::vector<DeleteFailure>& deletions) {
    if (!copies.empty()) {
        std::fprintf(out, "Folgende Dateien konnten nicht kopiert werden:\n");
        for (const CopyFailure& f : copies)
            std::fprintf(out, "  %s -> %s: %s\n", f.source.c_str(), f.destination.c_str(),
                         f.reason.c_str());
    }
    if (!deletions.empty()) {
        std::fprintf(out, "Folgende Dateien konnten nicht gelöscht werden:\n");
        for (const DeleteFailure& f : deletions)
            std::fprintf(out, "  %s: %s\n", f.path.c_str(), f.reason.c_str());
    }
    std::fflush(out);
}
