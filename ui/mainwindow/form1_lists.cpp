// The two tick lists: details of the current entry, totals and "alle auswählen".
#include "form1.h"

#include "engine/compare_trees.h"
#include "engine/texts.h"
#include "kit/file_icon.h"
#include "kit/file_list_model.h"
#include "kit/picture_box.h"
#include "kit/tab_strip.h"
#include "platform/file_system.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QTabBar>

namespace {

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

// The user's long time format without a time zone: the times shown are UTC as scanned.
QString LongTimeFormat(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

// A date-time in the user's short date and long time, the time left out at midnight.
QString DateTimeText(DateTime t) {
    const QDateTime when = QDateTime::fromSecsSinceEpoch(UnixFromDateTime(t), Qt::UTC);
    const QLocale locale;
    QString text = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time() != QTime(0, 0))
        text += " " + locale.toString(when.time(), LongTimeFormat(locale));
    return text;
}

} // namespace

void Form1::List1_Click() {
    listClick(List1, copyModel_, true);
}

void Form1::List2_Click() {
    listClick(List2, deleteModel_, false);
}

void Form1::listClick(QListView* list, FileListModel* model, bool copyList) {
    const int rows = model->rowCount();
    if (rows == 0) {
        Frame2->setTitle(QString());
        Label10->setText(QString());
        ShowFileIcon(Picture4, QString());
        setTotalsText(QString());
        Check1->setEnabled(false);
        Check1->setChecked(false);
        TabStrip1->update();
        return;
    }
    if (!list->currentIndex().isValid())
        list->setCurrentIndex(model->index(0, 0));
    const MyFile* r = model->record(list->currentIndex().row());
    Frame2->setTitle(DisplayPath(r->Path()));
    QString details = "Dateigrösse: " + Text(FormatSize(r->Size)) +
                      "  /  zuletzt geändert: " + DateTimeText(r->LastWrite) + "\n";
    if (!copyList) {
        details += "Die Datei existiert im Startverzeichnis nicht, darum wird sie gelöscht.";
    } else {
        const DateTime t = platform::RealFileSystem().GetFileLastWrite(
            CounterpartPath(session_, r->Path(), r->IsStart));
        const QString side = r->IsStart ? "Zielverzeichnis" : "Startverzeichnis";
        if (t == kZeroDate)
            details += "Die Datei existiert im " + side + " nicht.";
        else
            details += "Die Datei im " + side + " ist älter (" + DateTimeText(t) + ")";
    }
    if (Label10->text() != details) {
        Label10->setText(details);
        ShowFileIcon(Picture4, Frame2->title());
    }
    const SelectionTotals totals =
        SelectedTotals(copyList ? session_.CopyList : session_.DeleteList);
    Check1->setEnabled(true);
    setTotalsText("Es müssen " + QString::number(totals.count) + " Dateien mit insgesamt " +
                  Text(FormatSize(totals.bytes)) +
                  (copyList ? " kopiert werden." : " gelöscht werden."));
    Check1->setChecked(totals.count == rows);
}

void Form1::setTotalsText(const QString& text) {
    if (Label6->text() == text)
        return;
    Label6->setText(text);
    TabStrip1->setTotalsText(text);
}

void Form1::Check1_MouseUp() {
    const int tab = TabStrip1->tabs()->currentIndex();
    QListView* list = tab == 0 ? List1 : tab == 1 ? List2 : nullptr;
    FileListModel* model = tab == 0 ? copyModel_ : deleteModel_;
    if (list == nullptr || model->rowCount() == 0)
        return;
    const QModelIndex current = list->currentIndex();
    list->setUpdatesEnabled(false);
    model->setAllSelected(Check1->isChecked());
    list->setCurrentIndex(current);
    list->setUpdatesEnabled(true);
    list->setFocus();
    tab == 0 ? List1_Click() : List2_Click();
}

void Form1::TabStrip1_Click() {
    if (TabStrip1->tabs()->currentIndex() == 1) {
        List1->hide();
        List2->show();
        List2->raise();
        List2_Click();
    } else {
        List2->hide();
        List1->show();
        List1->raise();
        List1_Click();
    }
}
