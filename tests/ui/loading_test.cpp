#include "loading_test.h"

#include "core/temp_home.h"
#include "core/tree_builder.h"
#include "dialogs/folder_browser.h"
#include "engine/texts.h"
#include "kit/file_list_model.h"
#include "kit/status_bar.h"
#include "mainwindow/form1.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"
#include "ui_test_support.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>

struct LoadingTest::Home {
    TempHome home;
    TreeBuilder trees;
    clsRegistry reg;
};

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A main window with the given rule applied and both paths typed in.
void Prepare(Form1& w, const std::string& start, const std::string& target) {
    Control<QLineEdit>(&w, "Text1")->setText(Q(start));
    Control<QLineEdit>(&w, "Text2")->setText(Q(target));
}

QString LoadAndCatchMessage(Form1& w) {
    QString text;
    OnNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        QCOMPARE(box->windowTitle(), QString("Fehler..."));
        QCOMPARE(box->icon(), QMessageBox::Critical);
        text = box->text();
    });
    Control<QPushButton>(&w, "Command1")->click();
    return text;
}

QString Totals(Form1& w) {
    return Control<QLabel>(&w, "Label6")->text();
}

} // namespace

void LoadingTest::init() {
    home_ = new Home;
}

void LoadingTest::cleanup() {
    delete home_;
    home_ = nullptr;
}

void LoadingTest::badPathsAreRefusedWithTheirMessage() {
    const std::string dir = home_->trees.folder("da");
    Form1 w;
    w.show();
    Prepare(w, "   ", dir);
    QCOMPARE(LoadAndCatchMessage(w), QString("Es wurde kein Startpfad angegeben !!"));
    Prepare(w, "", "");
    QCOMPARE(LoadAndCatchMessage(w), QString("Es wurde kein Zielpfad angegeben !!"));
    Prepare(w, dir + "/fehlt", dir);
    QCOMPARE(LoadAndCatchMessage(w), Q("Der Startpfad: \"" + dir + "/fehlt\"existiert nicht !!"));
    const std::string inner = home_->trees.folder("da/drin");
    Prepare(w, dir, inner);
    QCOMPARE(LoadAndCatchMessage(w),
             Q("Der Zielpfad: \"" + inner + "\" liegt innerhalb des Startpfads !!"));
    QVERIFY(Control<QPushButton>(&w, "Command1")->isEnabled());
}

void LoadingTest::folderButtonsPutTheChosenFolderIntoTheBox() {
    const std::string chosen = home_->trees.folder("gewaehlt");
    Form1 w;
    w.show();
    QString caption, prompt;
    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<FolderBrowser*>(modal);
        QVERIFY(dialog != nullptr);
        caption = dialog->windowTitle();
        prompt = Control<QLabel>(dialog, "PromptText")->text();
        dialog->selectPath(Q(chosen));
        QVERIFY(QTest::qWaitFor([&] { return !dialog->isSelecting(); }, 5000));
        SaveScreenshot(dialog, "folder-dialog");
        Control<QPushButton>(dialog, "OK")->click();
    });
    Control<QPushButton>(&w, "Command5_1")->click();
    QCOMPARE(caption, QString("Zielordner suchen..."));
    QCOMPARE(prompt, QString("Wählen Sie das Verzeichnis aus, mit dem\nder Startordner "
                             "synchronisiert werden soll."));
    QCOMPARE(Control<QLineEdit>(&w, "Text2")->text(), Q(chosen));
    // Cancelling leaves the box as it was.
    OnNextModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    Control<QPushButton>(&w, "Command5_0")->click();
    QCOMPARE(Control<QLineEdit>(&w, "Text1")->text(), QString());
}

void LoadingTest::loadShowsTickedEntriesWithDetailsAndTotals() {
    TreeBuilder& t = home_->trees;
    t.file("start/a.txt", 1024, UnixTime(12, 0, 0));
    t.file("start/b.txt", 1024, UnixTime(12, 0, 0));
    t.file("start/sub/c.txt", 1024, UnixTime(12, 0, 0));
    t.file("ziel/b.txt", 5, UnixTime(11, 0, 0));
    t.file("ziel/sub/c.txt", 5, UnixTime(13, 0, 0));
    t.file("ziel/alt.txt", 7, UnixTime(0, 0, 0));
    UseRule("0|4|1|1");
    Form1 w;
    w.resize(900, 560);
    w.show();
    LoadFolders(&w, t.path("start"), t.path("ziel"));

    auto* list1 = Control<QListView>(&w, "List1");
    QAbstractItemModelTester tester(list1->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(list1->model()->rowCount(), 2);
    QCOMPARE(list1->model()->index(0, 0).data().toString(), Q(t.path("start/a.txt")));
    QCOMPARE(list1->model()->index(1, 0).data().toString(), Q(t.path("start/b.txt")));
    QCOMPARE(list1->model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QVERIFY(!list1->isHidden());
    QVERIFY(Control<QWidget>(&w, "Picture2")->isVisible());
    QCOMPARE(Control<QGroupBox>(&w, "Frame2")->title(), Q(t.path("start/a.txt")));
    const QString details = Control<QLabel>(&w, "Label10")->text();
    QVERIFY2(details.startsWith(Q("Dateigrösse: " + FormatSize(1024) +
                                  "  /  zuletzt geändert: 17.05.24 12:00:00\n")),
             qPrintable(details));
    QVERIFY(details.endsWith("Die Datei existiert im Zielverzeichnis nicht."));
    QCOMPARE(Totals(w),
             Q("Es müssen 2 Dateien mit insgesamt " + FormatSize(2048) + " kopiert werden."));
    QVERIFY(Control<QCheckBox>(&w, "Check1")->isChecked());
    QVERIFY(Control<QPushButton>(&w, "Command3")->isEnabled());
    QCOMPARE(Control<StatusBar>(&w, "StatusBar1")->panelText(1),
             Q("Es wurden 6 Dateien (" + FormatSize(3072) + ") verglichen."));

    list1->setCurrentIndex(list1->model()->index(1, 0));
    QVERIFY(Control<QLabel>(&w, "Label10")
                ->text()
                .endsWith("Die Datei im Zielverzeichnis ist älter (17.05.24 11:00:00)"));
    auto* tabs = Control<QTabBar>(&w, "TabStrip1Tabs");
    QCOMPARE(tabs->count(), 2);
    tabs->setCurrentIndex(1);
    QCOMPARE(Control<QListView>(&w, "List2")->model()->rowCount(), 1);
    QCOMPARE(Control<QGroupBox>(&w, "Frame2")->title(), Q(t.path("ziel/alt.txt")));
    QVERIFY(Control<QLabel>(&w, "Label10")->text().contains("17.05.24\n"));
    QVERIFY(Control<QLabel>(&w, "Label10")
                ->text()
                .endsWith("Die Datei existiert im Startverzeichnis nicht, darum wird sie "
                          "gelöscht."));
    QCOMPARE(Totals(w),
             Q("Es müssen 1 Dateien mit insgesamt " + FormatSize(7) + " gelöscht werden."));
    tabs->setCurrentIndex(0);
    SaveScreenshot(&w, "main-window-loaded");
}

void LoadingTest::untickingAnEntryUpdatesTotalsAndSelectAll() {
    TreeBuilder& t = home_->trees;
    for (const char* name : {"a", "b", "c"})
        t.file(std::string("start/") + name, 1024, UnixTime(12, 0, 0));
    t.folder("ziel");
    const auto window = LoadedWindow("0|0|1|1", t);
    Form1& w = *window;
    auto* model = Control<QListView>(&w, "List1")->model();
    QVERIFY(model->setData(model->index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(Totals(w),
             Q("Es müssen 2 Dateien mit insgesamt " + FormatSize(2048) + " kopiert werden."));
    QVERIFY(!Control<QCheckBox>(&w, "Check1")->isChecked());
    QVERIFY(!w.session().CopyList[1]->Selected);
    model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole);
    QVERIFY(Control<QCheckBox>(&w, "Check1")->isChecked());
    QVERIFY(w.session().CopyList[1]->Selected);
}

void LoadingTest::selectAllOnTheDeleteTabUnticksEveryRecord() {
    TreeBuilder& t = home_->trees;
    t.folder("start");
    t.file("ziel/x", 10);
    t.file("ziel/y", 20);
    const auto window = LoadedWindow("0|5|1|1", t);
    Form1& w = *window;
    Control<QTabBar>(&w, "TabStrip1Tabs")->setCurrentIndex(1);
    auto* check = Control<QCheckBox>(&w, "Check1");
    QVERIFY(check->isChecked());
    check->click();
    for (const MyFile* f : w.session().DeleteList)
        QVERIFY(!f->Selected);
    QCOMPARE(Totals(w),
             Q("Es müssen 0 Dateien mit insgesamt " + FormatSize(0) + " gelöscht werden."));
    auto* model = Control<QListView>(&w, "List2")->model();
    QCOMPARE(model->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(!check->isChecked());
}

void LoadingTest::emptyCopyListLeavesDetailsEmpty() {
    TreeBuilder& t = home_->trees;
    t.file("start/same", 1, UnixTime(1, 0, 0));
    t.file("ziel/same", 1, UnixTime(1, 0, 0));
    const auto window = LoadedWindow("0|0|1|1", t);
    Form1& w = *window;
    QCOMPARE(Control<QListView>(&w, "List1")->model()->rowCount(), 0);
    QCOMPARE(Control<QGroupBox>(&w, "Frame2")->title(), QString());
    QCOMPARE(Control<QLabel>(&w, "Label10")->text(), QString());
    QCOMPARE(Totals(w), QString());
    QVERIFY(!Control<QCheckBox>(&w, "Check1")->isEnabled());
    QVERIFY(!Control<QCheckBox>(&w, "Check1")->isChecked());
}

void LoadingTest::abortDuringTheScanEndsIdleWithEmptyLists() {
    TreeBuilder& t = home_->trees;
    for (int d = 0; d < 20; ++d)
        for (int f = 0; f < 20; ++f)
            t.file("start/d" + std::to_string(d) + "/f" + std::to_string(f), 1);
    t.folder("ziel");
    UseRule("0|4|1|1");
    Form1 w;
    w.show();
    Prepare(w, t.path("start"), t.path("ziel"));
    const auto slow = SlowListingsFor(w);
    // "Abbrechen" is pressed as soon as the scan lets events run; the rule cannot be changed
    // under the running load, and both scans stop within 100 ms.
    bool editorLocked = false;
    QElapsedTimer sinceAbort;
    QTimer::singleShot(0, &w, [&] {
        editorLocked = !Control<QPushButton>(&w, "Command5_2")->isEnabled() &&
                       !Control<QComboBox>(&w, "Combo1")->isEnabled();
        Control<QPushButton>(&w, "Command2")->click();
        sinceAbort.start();
    });
    Control<QPushButton>(&w, "Command1")->click();
    QVERIFY2(sinceAbort.elapsed() < 100, qPrintable(QString::number(sinceAbort.elapsed())));
    QVERIFY(w.session().StartFiles.size() < 400);
    QCOMPARE(Control<QListView>(&w, "List1")->model()->rowCount(), 0);
    QVERIFY(Control<QListView>(&w, "List1")->isHidden());
    QVERIFY(Control<StatusBar>(&w, "StatusBar1")->panelText(1).startsWith("Vergleiche "));
    for (const char* name : {"Command1", "Command3"})
        QVERIFY(Control<QPushButton>(&w, name)->isEnabled());
    QVERIFY(Control<QComboBox>(&w, "Combo1")->isEnabled());
    QVERIFY(editorLocked);
    QVERIFY(Control<QPushButton>(&w, "Command5_2")->isEnabled());
}

void LoadingTest::aMillionEntriesFillScrollAndToggleQuickly() {
    constexpr int kCount = 1000000;
    Form1 w;
    w.show();
    SyncSession& s = w.session();
    s.ResetCollections();
    s.StartPath = "/daten";
    s.TargetPath = "/sicherung";
    s.CopyList.reserve(kCount);
    for (int i = 0; i < kCount; ++i) {
        MyFile* f = s.NewRecord("/daten/ordner" + std::to_string(i / 1000) + "/",
                                "datei" + std::to_string(i));
        f->Size = 1000;
        f->Selected = f->IsStart = true;
        s.CopyList.push_back(f);
    }
    QElapsedTimer timer;
    timer.start();
    w.showComparedLists();
    QCoreApplication::processEvents();
    const qint64 fill = timer.restart();
    auto* list = Control<QListView>(&w, "List1");
    list->scrollToBottom();
    list->repaint();
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum() / 2);
    list->repaint();
    const qint64 scroll = timer.restart();
    Control<QCheckBox>(&w, "Check1")->click();
    QCoreApplication::processEvents();
    const qint64 untick = timer.restart();
    Control<QCheckBox>(&w, "Check1")->click();
    QCoreApplication::processEvents();
    const qint64 tick = timer.elapsed();
    qInfo("1,000,000 entries: fill %lld ms, scroll %lld ms, untick all %lld ms, tick all %lld ms",
          fill, scroll, untick, tick);
    QCOMPARE(list->model()->rowCount(), kCount);
    QVERIFY(s.CopyList.back()->Selected);
    QCOMPARE(Totals(w), Q("Es müssen 1000000 Dateien mit insgesamt " + FormatSize(1000LL * kCount) +
                          " kopiert werden."));
    QVERIFY(fill < 1000);
    QVERIFY(scroll < 1000);
    QVERIFY(untick < 1000);
    QVERIFY(tick < 1000);
}

GLEICHWART_UI_TEST_MAIN(LoadingTest)
