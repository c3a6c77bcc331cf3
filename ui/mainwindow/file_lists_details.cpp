// The details below the lists: the current entry's path, icon, size, time and why it is on
// its list, and the totals of what is ticked.
#include "file_lists_panel.h"

#include "engine/compare_trees.h"
#include "engine/sync_session.h"
#include "engine/texts.h"
#include "kit/date_time_text.h"
#include "kit/file_icon.h"
#include "kit/file_list_model.h"
#include "kit/picture_box.h"
#include "kit/tab_strip.h"
#include "kit/text_bytes.h"
#include "platform/file_system.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>

namespace {

// A last-write time as the user reads it, in local time; the comparison keeps UTC.
QString DateTimeText(DateTime t) {
    return LocalDateTimeText(UnixFromDateTime(t), true);
}

} // namespace

void FileListsPanel::listClick(QListView* list, FileListModel* model, bool copyList) {
    const int rows = model->rowCount();
    if (rows == 0) {
        detailsFrame_->setTitle(QString());
        detailsText_->setText(QString());
        ShowFileIcon(fileIcon_, QString());
        setTotalsText(QString());
        selectAllBox_->setEnabled(false);
        selectAllBox_->setChecked(false);
        tabStrip_->update();
        return;
    }
    if (!list->currentIndex().isValid())
        list->setCurrentIndex(model->index(0, 0));
    const MyFile* r = model->record(list->currentIndex().row());
    detailsFrame_->setTitle(DisplayPath(r->Path()));
    QString details = "Dateigrösse: " + Text(FormatSize(r->Size)) +
                      "  /  zuletzt geändert: " + DateTimeText(r->LastWrite) + "\n";
    if (r->IsFolder()) {
        details = "Der Ordner existiert im Startverzeichnis nicht; er wird entfernt, wenn nach "
                  "dem Löschen nichts mehr in ihm liegt.";
    } else if (!copyList) {
        details += "Die Datei existiert im Startverzeichnis nicht, darum wird sie gelöscht.";
    } else if (session_.KindsClash(*r)) {
        details += "Verknüpfung gegen Datei oder Ordner gleichen Namens – wird nicht angetastet.";
    } else if (r->IsConflict()) {
        details += "Gleicher Zeitpunkt, aber andere Größe – bitte prüfen.";
    } else {
        const DateTime t = platform::RealFileSystem().GetFileLastWrite(
            CounterpartPath(session_, r->Path(), r->IsStart));
        const QString side = r->IsStart ? "Zielverzeichnis" : "Startverzeichnis";
        if (t == kZeroDate)
            details += "Die Datei existiert im " + side + " nicht.";
        else
            details += "Die Datei im " + side + " ist älter (" + DateTimeText(t) + ")";
    }
    if (detailsText_->text() != details) {
        detailsText_->setText(details);
        ShowFileIcon(fileIcon_, detailsFrame_->title());
    }
    const SelectionTotals totals =
        SelectedTotals(copyList ? session_.CopyList : session_.DeleteList);
    selectAllBox_->setEnabled(true);
    setTotalsText("Es müssen " + QString::number(totals.count) + " Dateien mit insgesamt " +
                  Text(FormatSize(totals.bytes)) +
                  (copyList ? " kopiert werden." : " gelöscht werden."));
    selectAllBox_->setChecked(totals.count == rows);
}
