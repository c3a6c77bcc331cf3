#include "summary_texts.h"

#include "platform/user_locale.h"
#include "run_view.h"
#include "texts.h"

std::string FileCount(std::int64_t count) {
    return std::to_string(count) + (count == 1 ? " Datei" : " Dateien");
}

std::string FilesAndSize(std::int64_t count, std::int64_t bytes) {
    return FilesAndSize(count, bytes, platform::UserDecimalSeparator());
}

std::string FilesAndSize(std::int64_t count, std::int64_t bytes, char decimalSeparator) {
    return FileCount(count) + " (" + FormatSize(bytes, decimalSeparator) + ")";
}

std::string DurationText(std::int64_t milliseconds) {
    const std::int64_t seconds = (milliseconds + 500) / 1000;
    return FormatTime(static_cast<std::int32_t>(seconds)) + " min";
}

std::vector<SummaryLine> RunSummaryLines(const RunResult& r, char separator) {
    using Kind = SummaryLine::Kind;
    std::vector<SummaryLine> lines;
    lines.push_back({Kind::Copied, "Kopiert:", FilesAndSize(r.copied, r.copiedBytes, separator)});
    if (r.copiedBack > 0)
        lines.push_back({Kind::CopiedBack, "Zurückkopiert:",
                         FilesAndSize(r.copiedBack, r.copiedBackBytes, separator)});
    if (r.trashed > 0)
        lines.push_back({Kind::Trashed, "In den Papierkorb verschoben:",
                         FilesAndSize(r.trashed, r.trashedBytes, separator)});
    if (r.deletedForGood > 0)
        lines.push_back({Kind::DeletedForGood, "Endgültig gelöscht:",
                         FilesAndSize(r.deletedForGood, r.deletedForGoodBytes, separator)});
    if (r.deleted() == 0)
        lines.push_back({Kind::Deleted, "Gelöscht:",
                         FileCount(0) + (r.deleteDeclined ? " (Löschen abgelehnt)" : "")});
    lines.push_back({Kind::Failed, "Fehlgeschlagen:", FileCount(r.failed())});
    if (r.leftChanged() > 0)
        lines.push_back({Kind::LeftChanged, "Nach dem Laden geändert:",
                         FileCount(r.leftChanged()) + ", nicht angetastet"});
    if (r.foldersMade > 0)
        lines.push_back({Kind::FoldersMade, "Ordner angelegt:", std::to_string(r.foldersMade)});
    if (r.foldersRemoved > 0)
        lines.push_back(
            {Kind::FoldersRemoved, "Ordner entfernt:", std::to_string(r.foldersRemoved)});
    lines.push_back({Kind::Duration, "Dauer:", DurationText(r.milliseconds)});
    return lines;
}

std::string RunSummaryOneLine(const RunResult& r, char separator) {
    using Kind = SummaryLine::Kind;
    std::string text;
    for (const SummaryLine& line : RunSummaryLines(r, separator)) {
        if ((line.kind == Kind::Deleted && !r.deleteDeclined) ||
            (line.kind == Kind::Failed && r.failed() == 0))
            continue;
        if (!text.empty())
            text += "; ";
        text += line.label + " " + line.value;
    }
    return text;
}

std::string LoadSummaryOneLine(std::int64_t copies, std::int64_t copyBytes, bool deletes,
                               std::int64_t deletions, std::int64_t deletionBytes, char separator) {
    std::string text = "Zu kopieren: " + FilesAndSize(copies, copyBytes, separator);
    if (deletes)
        text += "; zu löschen: " + FilesAndSize(deletions, deletionBytes, separator);
    return text;
}
