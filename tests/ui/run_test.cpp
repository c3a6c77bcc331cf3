#include "run_test.h"

#include "core/temp_home.h"
#include "core/tree_builder.h"
#include "dialogs/form4.h"
#include "engine/texts.h"
#include "kit/status_bar.h"
#include "mainwindow/form1.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"
#include "ui_test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <sys/stat.h>

struct RunTest::Home {
    TempHome home;
    TreeBuilder trees;
    clsRegistry reg;
};

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;
namespace fs = std::filesystem;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QString LabelText(Form1& w, const char* name) {
    return Control<QLabel>(&w, name)->text();
}

} // namespace

void RunTest::init() {
    home_ = new Home;
}

void RunTest::cleanup() {
    delete home_;
    home_ = nullptr;
}

void RunTest::runCopiesTickedEntriesFillsThePanelAndEndsIdle() {
    TreeBuilder& t = home_->trees;
    t.file("start/gross.bin", 24 << 20, UnixTime(12, 0, 0));
    t.text("start/a.txt", "aaa", UnixTime(12, 0, 0));
    t.text("start/b.txt", "bbbb", UnixTime(12, 0, 0));
    t.text("start/sub/c.txt", "ccccc", UnixTime(12, 0, 0));
    t.folder("ziel");
    const auto window = LoadedWindow("0|0|1|1", t);
    Form1& w = *window;
    auto* model = Control<QListView>(&w, "List1")->model();
    model->setData(model->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
    const auto slow = SlowCopiesFor(w);
    // A picture of the progress panel half way through the large file.
    auto* totalBar = Control<QProgressBar>(&w, "ProgressBar2");
    QString captionDuringRun;
    QObject::connect(&w, &QWidget::windowTitleChanged, [&](const QString& title) {
        if (captionDuringRun.isEmpty() && totalBar->value() >= 40) {
            captionDuringRun = title;
            SaveScreenshot(&w, "run-progress");
        }
    });
    Control<QPushButton>(&w, "Command3")->click();
    QVERIFY(captionDuringRun.endsWith("% kopiert"));
    QVERIFY(!Control<QLabel>(&w, "SpeedValue")->text().isEmpty());

    QVERIFY(fs::exists(t.path("ziel/a.txt")));
    QVERIFY(!fs::exists(t.path("ziel/b.txt")));
    QCOMPARE(Q(ReadFile(t.path("ziel/sub/c.txt"))), QString("ccccc"));
    QCOMPARE(LabelText(w, "Label9_2"), QString("3 Dateien"));
    QCOMPARE(LabelText(w, "Label9_3"), QString("0 Dateien"));
    QCOMPARE(LabelText(w, "Label9_4"), Q(FormatSize((24 << 20) + 8)));
    QCOMPARE(LabelText(w, "Label8_0"), QString("c.txt"));
    QCOMPARE(LabelText(w, "Label8_1"), Q(t.path("start/sub")));
    QCOMPARE(LabelText(w, "Label8_2"), Q(t.path("ziel/sub")));
    QCOMPARE(Control<StatusBar>(&w, "StatusBar1")->panelText(1),
             QString("Synchronisierung beendet"));
    QCOMPARE(w.windowTitle(), QString("Gleichwart"));
    QVERIFY(!Control<QPushButton>(&w, "Command3")->isEnabled());
    QVERIFY(Control<QPushButton>(&w, "Command1")->isEnabled());
    QVERIFY(Control<QLineEdit>(&w, "Text1")->isEnabled());
    QVERIFY(!Control<QWidget>(&w, "Picture2")->isVisible());
    QVERIFY(!Control<QWidget>(&w, "Picture3")->isVisible());
}

void RunTest::failedCopiesAreListedModallyWithReasonsInStep() {
    TreeBuilder& t = home_->trees;
    t.text("start/1_weg.txt", "x", UnixTime(12, 0, 0));
    t.text("start/2_gesperrt.txt", "neu", UnixTime(12, 0, 0));
    t.text("start/3_weg.txt", "x", UnixTime(12, 0, 0));
    const std::string locked = t.text("ziel/2_gesperrt.txt", "alt", UnixTime(1, 0, 0));
    ::chmod(locked.c_str(), 0444);
    const auto window = LoadedWindow("0|0|1|1", t);
    Form1& w = *window;
    fs::remove(t.path("start/1_weg.txt"));
    fs::remove(t.path("start/3_weg.txt"));
    bool modal = false;
    QString title, firstReason, thirdReason;
    QStringList sources;
    OnNextModal([&](QWidget* dialog) {
        auto* errors = qobject_cast<Form4*>(dialog);
        QVERIFY(errors != nullptr);
        modal = errors->isModal();
        title = errors->windowTitle();
        auto* list1 = Control<QListWidget>(errors, "List1");
        auto* list2 = Control<QListWidget>(errors, "List2");
        for (int i = 0; i < list1->count(); ++i)
            sources << list1->item(i)->text();
        QCOMPARE(list1->currentRow(), 0);
        firstReason = Control<QLabel>(errors, "Label5")->text();
        // The lists follow the one with the focus, and only an active window has it.
        errors->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(errors));
        list2->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(list2->hasFocus(), 2000);
        list2->setCurrentRow(2);
        QTRY_COMPARE_WITH_TIMEOUT(list1->currentRow(), 2, 2000);
        thirdReason = Control<QLabel>(errors, "Label5")->text();
        SaveScreenshot(errors, "copy-errors");
    });
    Control<QPushButton>(&w, "Command3")->click();
    QVERIFY(modal);
    QCOMPARE(title, QString("Kopierfehler"));
    QCOMPARE(sources, (QStringList{Q(t.path("start/1_weg.txt")), Q(t.path("start/2_gesperrt.txt")),
                                   Q(t.path("start/3_weg.txt"))}));
    QCOMPARE(firstReason, QString("Quelldatei existiert nicht"));
    QCOMPARE(thirdReason, QString("Quelldatei existiert nicht"));
    QCOMPARE(Q(ReadFile(locked)), QString("alt"));
}

void RunTest::deleteAsksOnceAndMovesOnlyTickedFilesToTheTrash() {
    TreeBuilder& t = home_->trees;
    t.folder("start");
    t.text("ziel/x.txt", "1");
    t.text("ziel/y.txt", "2");
    t.text("ziel/z.txt", "3");
    const auto window = LoadedWindow("0|4|1|1", t);
    Form1& w = *window;
    auto* model = Control<QListView>(&w, "List2")->model();
    QCOMPARE(model->rowCount(), 3);
    model->setData(model->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
    QString title, text;
    AnswerDeleteQuestion(title, text);
    // The desktop's own trash location, which follows XDG_DATA_HOME (a temporary folder here).
    QStandardPaths::setTestModeEnabled(false);
    Control<QPushButton>(&w, "Command3")->click();
    QStandardPaths::setTestModeEnabled(true);
    QCOMPARE(title, QString("Dateien löschen"));
    QCOMPARE(text, QString("Sollen diese 2 Dateien wirklich in den Papierkorb verschoben werden?"));
    QVERIFY(!fs::exists(t.path("ziel/x.txt")));
    QVERIFY(fs::exists(t.path("ziel/y.txt")));
    QVERIFY(!fs::exists(t.path("ziel/z.txt")));
    QCOMPARE(TrashedNames(Q(home_->home.path() + "/data/Trash")), (QStringList{"x.txt", "z.txt"}));
}

void RunTest::deleteForGoodRemovesTheFiles() {
    TreeBuilder& t = home_->trees;
    t.folder("start");
    t.text("ziel/weg.txt", "1");
    const auto window = LoadedWindow("0|5|1|1", t);
    Form1& w = *window;
    QString title, text;
    AnswerDeleteQuestion(title, text);
    Control<QPushButton>(&w, "Command3")->click();
    QCOMPARE(text, QString("Soll diese Datei wirklich endgültig gelöscht werden?"));
    QVERIFY(!fs::exists(t.path("ziel/weg.txt")));
    QVERIFY(TrashedNames(Q(home_->home.path())).isEmpty());
}

void RunTest::rulesWithoutDeletingNeverDelete() {
    TreeBuilder& t = home_->trees;
    t.text("start/a.txt", "a", UnixTime(12, 0, 0));
    t.text("ziel/nur_hier.txt", "bleibt", UnixTime(1, 0, 0));
    for (const char* rule : {"0|0|1|1", "0|1|1|1", "0|2|1|1", "0|3|1|1"}) {
        UseRule(rule);
        Form1 w;
        w.show();
        LoadFolders(&w, t.path("start"), t.path("ziel"));
        bool asked = false;
        OnNextModal([&](QWidget*) { asked = true; });
        Control<QPushButton>(&w, "Command3")->click();
        CancelModalWatchers();
        QVERIFY2(!asked, rule);
        QVERIFY2(fs::exists(t.path("ziel/nur_hier.txt")), rule);
        QVERIFY2(fs::exists(t.path("ziel/a.txt")), rule);
    }
}

void RunTest::closingDuringARunFinishesTheFileThenCloses() {
    TreeBuilder& t = home_->trees;
    for (int i = 0; i < 6; ++i)
        t.file("start/f" + std::to_string(i) + ".bin", 3 << 20, UnixTime(12, 0, 0));
    t.folder("ziel");
    UseRule("0|0|1|1");
    auto* w = new Form1;
    w->show();
    LoadFolders(w, t.path("start"), t.path("ziel"));
    const auto slow = SlowCopiesFor(*w);
    // Closed as soon as the first file is being copied.
    QTimer watcher;
    auto* name = Control<QLabel>(w, "Label8_0");
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!name->text().isEmpty()) {
            watcher.stop();
            w->close();
        }
    });
    watcher.start(0);
    Control<QPushButton>(w, "Command3")->click();
    QVERIFY(!w->isVisible());
    int copied = 0;
    for (int i = 0; i < 6; ++i) {
        const std::string dst = t.path("ziel/f" + std::to_string(i) + ".bin");
        if (fs::exists(dst)) {
            ++copied;
            QCOMPARE(fs::file_size(dst), std::uintmax_t(3 << 20));
        }
    }
    QVERIFY(copied >= 1 && copied < 6);
    for (const auto& e : fs::directory_iterator(t.path("ziel")))
        QVERIFY(e.path().filename().string()[0] != '.');
    // The window saved its state on the way out.
    QCOMPARE(Q(home_->reg.GetStringValue(HKCU, kRootKey, "LastStartDir")), Q(t.path("start")));
    delete w;
}

void RunTest::closingDuringALoadStopsItAndCloses() {
    TreeBuilder& t = home_->trees;
    for (int d = 0; d < 30; ++d)
        for (int f = 0; f < 20; ++f)
            t.file("start/d" + std::to_string(d) + "/f" + std::to_string(f), 1);
    t.folder("ziel");
    UseRule("0|4|1|1");
    auto* w = new Form1;
    w->show();
    const auto slow = SlowListingsFor(*w);
    QTimer::singleShot(0, w, &QWidget::close);
    LoadFolders(w, t.path("start"), t.path("ziel"));
    QVERIFY(!w->isVisible());
    QVERIFY(w->session().StartFiles.size() < 600);
    QCOMPARE(Q(home_->reg.GetStringValue(HKCU, kRootKey, "LastDestinationDir")), Q(t.path("ziel")));
    delete w;
}

void RunTest::filesChangedAfterTheLoadAreLeftAndListed() {
    TreeBuilder& t = home_->trees;
    t.folder("start");
    t.text("ziel/bleibt_nicht.txt", "1");
    t.text("ziel/neu_bearbeitet.txt", "2");
    const auto window = LoadedWindow("0|5|1|1", t);
    Form1& w = *window;
    t.text("ziel/neu_bearbeitet.txt", "nach dem Laden gespeichert");
    QString title, text, report, details;
    OnNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        OnNextModal([&](QWidget* second) {
            auto* failures = qobject_cast<QMessageBox*>(second);
            QVERIFY(failures != nullptr);
            report = failures->text();
            details = failures->informativeText();
            QCOMPARE(failures->parentWidget(), &w);
        });
        for (QAbstractButton* b : box->buttons())
            if (b->text() == "Ja")
                b->click();
    });
    Control<QPushButton>(&w, "Command3")->click();
    QCOMPARE(report, QString("Folgende Dateien konnten nicht gelöscht werden:"));
    QCOMPARE(details, Q(t.path("ziel/neu_bearbeitet.txt")) +
                          " (Die Zieldatei wurde nach dem Laden geändert.)");
    QCOMPARE(ReadFile(t.path("ziel/neu_bearbeitet.txt")), "nach dem Laden gespeichert");
    QVERIFY(!fs::exists(t.path("ziel/bleibt_nicht.txt")));
    QCOMPARE(Control<StatusBar>(&w, "StatusBar1")->panelText(1),
             QString("Synchronisierung beendet"));
}

void RunTest::errorListsScrollSidewaysOnlyWhenAnEntryIsTooWide() {
    Form1 w;
    auto* errors = new Form4(&w);
    errors->AddCopyError("/kurz", "/auch/kurz", "Unbekannter Fehler");
    auto* list1 = Control<QListWidget>(errors, "List1");
    errors->show();
    errors->SetHScrollbar(list1);
    QCOMPARE(list1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    errors->AddCopyError("/" + QString(400, 'x'), "/y", "Unbekannter Fehler");
    errors->SetHScrollbar(list1);
    QCOMPARE(list1->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QCOMPARE(errors->ErrorReasons().size(), 2);
    errors->close();
}

GLEICHWART_UI_TEST_MAIN(RunTest)
