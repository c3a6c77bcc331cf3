#include "failure_display.h"

#include "desktop/desktop_shell.h"
#include "dialogs/copy_errors_window.h"
#include "kit/file_list_model.h"
#include "kit/text_bytes.h"

#include <QMessageBox>
#include <QStringList>

namespace {

// One line per item: its path and, in brackets, why.
QStringList Lines(const std::vector<const FailedItem*>& items) {
    QStringList lines;
    lines.reserve(qsizetype(items.size()));
    for (const FailedItem* f : items)
        lines << DisplayPath(f->path) + " (" + Text(f->reason) + ")";
    return lines;
}

// Every folder and file the load could not read, with the reason: the lists leave them out.
// The first few are in the message itself, all of them in the details, which scroll.
void ShowReadFailures(QWidget* owner, const QStringList& lines) {
    constexpr qsizetype kShown = 10;
    QMessageBox box(QMessageBox::Warning, "Lesefehler",
                    "Folgende Ordner und Dateien konnten nicht gelesen werden:", QMessageBox::Ok,
                    owner);
    box.setObjectName("ScanProblems");
    box.setInformativeText(lines.mid(0, kShown).join("\n") +
                           (lines.size() > kShown ? QString("\n…") : QString()));
    box.setDetailedText(lines.join("\n"));
    box.exec();
}

} // namespace

void ShowFailures(QWidget* owner, const std::vector<FailedItem>& items) {
    if (const auto reads = ItemsOf(items, FailedItem::Kind::Read); !reads.empty())
        ShowReadFailures(owner, Lines(reads));
    if (const auto deletions = ItemsOf(items, FailedItem::Kind::Delete); !deletions.empty())
        ShowDeleteFailures(owner, Lines(deletions));
    if (const auto copies = ItemsOf(items, FailedItem::Kind::Copy); !copies.empty()) {
        auto* window = new Form4(owner); // deletes itself when it is closed
        for (const FailedItem* f : copies)
            window->AddCopyError(Text(f->source), Text(f->path), Text(f->reason));
        window->exec();
    }
}
