#include "run_safety_test.h"

#include "core/temp_home.h"
#include "core/tree_builder.h"
#include "dialogs/form3.h"
#include "kit/status_bar.h"
#include "mainwindow/form1.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"
#include "ui_test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <filesystem>

struct RunSafetyTest::Home {
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

// `size` bytes that differ from file to file, so a copy of the wrong file or a part of one
// never compares equal.
std::string Content(int number, std::size_t size) {
    std::string bytes(size, char('a' + number % 26));
    const std::string head = "Datei " + std::to_string(number) + "\n";
    bytes.replace(0, head.size(), head);
    return bytes;
}

// Every folder and file below `root` with the file's content, to see that nothing changed.
QStringList Snapshot(const std::string& root) {
    QStringList entries;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(e.path(), root).string();
        entries << (e.is_directory() ? Q(relative + "/") : Q(relative + "=" + ReadFile(e.path())));
    }
    entries.sort();
    return entries;
}

// Presses "Synchronisieren" and reports whether any window (a delete question, an error
// list) came up during the run; one that does is closed unanswered.
bool RunAsksAnything(Form1& w) {
    bool asked = false;
    OnNextModal([&](QWidget*) { asked = true; });
    Control<QPushButton>(&w, "Command3")->click(); // does nothing while it is disabled
    CancelModalWatchers();
    return asked;
}

// What a run refused with: the box's title, icon and text.
struct Refusal {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

Refusal RunAndCatchRefusal(Form1& w, const QString& screenshot) {
    Refusal r;
    OnNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        r = {box->windowTitle(), box->text(), box->icon()};
        SaveScreenshot(box, screenshot);
    });
    Control<QPushButton>(&w, "Command3")->click();
    CancelModalWatchers();
    return r;
}

} // namespace

void RunSafetyTest::init() {
    home_ = new Home;
}

void RunSafetyTest::cleanup() {
    delete home_;
    home_ = nullptr;
}

void RunSafetyTest::abbrechenStopsAfterTheCurrentFileAndSkipsDeleting() {
    TreeBuilder& t = home_->trees;
    constexpr int kFiles = 40;
    std::vector<std::string> contents;
    for (int i = 0; i < kFiles; ++i) {
        contents.push_back(Content(i, 512 << 10));
        t.text("start/f" + std::to_string(100 + i) + ".bin", contents.back());
    }
    // Mirrored with deleting for good: a stopped run must not go on to delete this.
    t.text("ziel/nur_im_ziel.txt", "bleibt");
    const auto window = LoadedWindow("0|5|1|1", t);
    Form1& w = *window;
    QCOMPARE(Control<QListView>(&w, "List2")->model()->rowCount(), 1);

    const auto slow = SlowCopiesFor(w);

    // "Abbrechen" is pressed when the run first moves the total bar; the press is queued, so it
    // reaches the button only through the events the run lets in while copying.
    auto* stop = Control<QPushButton>(&w, "Command2");
    bool pressed = false, stopUsable = false;
    const auto connection = QObject::connect(
        Control<QProgressBar>(&w, "ProgressBar2"), &QProgressBar::valueChanged, &w, [&] {
            if (pressed)
                return;
            pressed = true;
            stopUsable = stop->isVisible() && stop->isEnabled();
            QMetaObject::invokeMethod(
                stop, [stop] { QTest::mouseClick(stop, Qt::LeftButton); }, Qt::QueuedConnection);
        });
    // The file on view when the press is handled is the one the run finishes.
    QString fileWhenStopped;
    QObject::connect(stop, &QPushButton::clicked, &w,
                     [&] { fileWhenStopped = Control<QLabel>(&w, "Label8_0")->text(); });
    const bool asked = RunAsksAnything(w);
    QObject::disconnect(connection);
    SaveScreenshot(&w, "run-stopped");

    QVERIFY(pressed);
    QVERIFY(stopUsable);
    QCOMPARE(Control<StatusBar>(&w, "StatusBar1")->panelText(1),
             QString("Synchronisierung abgebrochen"));
    // The files up to the one being copied were finished, complete; none after it was started.
    QStringList copied;
    for (const auto& e : fs::directory_iterator(t.path("ziel"))) {
        const std::string name = e.path().filename().string();
        QVERIFY2(name.rfind(".gleichwart-", 0) != 0, name.c_str());
        if (name != "nur_im_ziel.txt")
            copied << Q(name);
    }
    copied.sort();
    QVERIFY(!copied.isEmpty() && copied.size() < kFiles);
    QCOMPARE(copied.constLast(), fileWhenStopped);
    for (int i = 0; i < copied.size(); ++i) {
        QCOMPARE(copied.at(i), QString("f%1.bin").arg(100 + i));
        QCOMPARE(ReadFile(t.path("ziel/" + copied.at(i).toStdString())), contents.at(i));
    }
    QCOMPARE(Control<QLabel>(&w, "Label9_3")->text(),
             QString("%1 Dateien").arg(kFiles - copied.size()));
    // No delete phase: no question, and the file only in the target is still there.
    QVERIFY(!asked);
    QCOMPARE(ReadFile(t.path("ziel/nur_im_ziel.txt")), std::string("bleibt"));
    // The window is idle again; a new run needs a new load.
    for (const char* name : {"Command1", "Command2", "Command5_0", "Command5_1", "Command5_2"})
        QVERIFY2(Control<QPushButton>(&w, name)->isEnabled(), name);
    QVERIFY(Control<QLineEdit>(&w, "Text1")->isEnabled());
    QVERIFY(Control<QLineEdit>(&w, "Text2")->isEnabled());
    QVERIFY(Control<QComboBox>(&w, "Combo1")->isEnabled());
    QVERIFY(!Control<QPushButton>(&w, "Command3")->isEnabled());
}

void RunSafetyTest::choosingAnotherRuleAfterTheLoadBlocksTheRun() {
    TreeBuilder& t = home_->trees;
    t.folder("start");
    t.text("ziel/geprueft.txt", "im Papierkorb wiederzufinden");
    UseRule("0|4|1|1"); // "Test", to the trash
    home_->reg.SetStringValue(HKCU, kRulesKey, "Weg", "0|5|1|1");
    Form1 w;
    w.show();
    LoadFolders(&w, t.path("start"), t.path("ziel"));
    QCOMPARE(Control<QListView>(&w, "List2")->model()->rowCount(), 1);
    QVERIFY(Control<QPushButton>(&w, "Command3")->isEnabled());

    // The user steps from "Test" to "Weg" in the rule list with the arrow key.
    auto* combo = Control<QComboBox>(&w, "Combo1");
    QSignalSpy activated(combo, &QComboBox::activated);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(activated.count(), 1);
    QCOMPARE(combo->currentText(), QString("Weg"));
    QCOMPARE(w.CurrentRule().ReverseAction, 5);

    QVERIFY(!Control<QPushButton>(&w, "Command3")->isEnabled());
    QCOMPARE(Control<QListView>(&w, "List1")->model()->rowCount(), 0);
    QCOMPARE(Control<QListView>(&w, "List2")->model()->rowCount(), 0);
    QVERIFY(!RunAsksAnything(w));
    QVERIFY(fs::exists(t.path("ziel/geprueft.txt")));
}

void RunSafetyTest::editingTheCurrentRuleAfterTheLoadBlocksTheRun() {
    TreeBuilder& t = home_->trees;
    t.folder("start");
    t.text("ziel/geprueft.txt", "im Papierkorb wiederzufinden");
    const auto window = LoadedWindow("0|4|1|1", t);
    Form1& w = *window;
    QVERIFY(Control<QPushButton>(&w, "Command3")->isEnabled());

    // In the rule editor the loaded rule is switched from the trash to deleting for good.
    bool saved = false;
    OnNextModal([&](QWidget* modal) {
        auto* editor = qobject_cast<Form3*>(modal);
        QVERIFY(editor != nullptr);
        QCOMPARE(Control<QLineEdit>(editor, "Text1")->text(), QString("Test"));
        Control<QRadioButton>(editor, "Option4")->click();
        Control<QPushButton>(editor, "Command1")->click();
        saved = true;
    });
    Control<QPushButton>(&w, "Command5_2")->click();
    QVERIFY(saved);
    QCOMPARE(w.CurrentRule().ReverseAction, 5);

    QVERIFY(!Control<QPushButton>(&w, "Command3")->isEnabled());
    QCOMPARE(Control<QListView>(&w, "List2")->model()->rowCount(), 0);
    QVERIFY(!RunAsksAnything(w));
    QVERIFY(fs::exists(t.path("ziel/geprueft.txt")));
}

void RunSafetyTest::rootsThatAreNoLongerTheLoadedFoldersAreRefused_data() {
    QTest::addColumn<bool>("replaced");
    QTest::newRow("replaced") << true;
    QTest::newRow("removed") << false;
}

void RunSafetyTest::rootsThatAreNoLongerTheLoadedFoldersAreRefused() {
    QFETCH(bool, replaced);
    TreeBuilder& t = home_->trees;
    t.text("start/a.txt", "a", UnixTime(12, 0, 0));
    t.text("start/unter/b.txt", "b", UnixTime(12, 0, 0));
    t.text("start/c.txt", "alt", UnixTime(1, 0, 0));
    t.text("ziel/c.txt", "neu", UnixTime(12, 0, 0)); // copied back under this rule
    const auto window = LoadedWindow("0|3|1|1", t);
    Form1& w = *window;
    QCOMPARE(Control<QListView>(&w, "List1")->model()->rowCount(), 3);
    const QStringList startBefore = Snapshot(t.path("start"));

    const std::string target = t.path("ziel");
    if (replaced) {
        fs::rename(target, t.path("ziel_vorher"));
        fs::create_directory(target);
    } else {
        fs::remove_all(target);
    }
    const Refusal r = RunAndCatchRefusal(w, replaced ? "root-replaced" : "root-removed");

    QCOMPARE(r.title, QString("Fehler..."));
    QCOMPARE(r.icon, QMessageBox::Critical);
    const QString why =
        replaced ? "ist nicht mehr derselbe Ordner wie beim Laden." : "ist nicht mehr vorhanden.";
    QCOMPARE(r.text,
             "Der Zielordner \"" + Q(target) + "\" " + why + " Bitte laden Sie die Ordner neu.");
    if (replaced) {
        QVERIFY(fs::is_empty(target));
        QCOMPARE(Snapshot(t.path("ziel_vorher")), QStringList{"c.txt=neu"});
    } else {
        QVERIFY(!fs::exists(target));
    }
    QCOMPARE(Snapshot(t.path("start")), startBefore);
    QVERIFY(!Control<QPushButton>(&w, "Command3")->isEnabled());
    QCOMPARE(Control<StatusBar>(&w, "StatusBar1")->panelText(1),
             QString("Synchronisierung nicht ausgeführt"));
}

void RunSafetyTest::oneFileToTheTrashIsAskedForInTheSingular() {
    TreeBuilder& t = home_->trees;
    t.folder("start");
    t.text("ziel/einzeln.txt", "1");
    const auto window = LoadedWindow("0|4|1|1", t);
    Form1& w = *window;
    QString title, text;
    AnswerDeleteQuestion(title, text);
    // The desktop's own trash location, which follows XDG_DATA_HOME (a temporary folder here).
    QStandardPaths::setTestModeEnabled(false);
    Control<QPushButton>(&w, "Command3")->click();
    QStandardPaths::setTestModeEnabled(true);
    QCOMPARE(title, QString("Dateien löschen"));
    QCOMPARE(text, QString("Soll diese Datei wirklich in den Papierkorb verschoben werden?"));
    QVERIFY(!fs::exists(t.path("ziel/einzeln.txt")));
    QCOMPARE(TrashedNames(Q(home_->home.path() + "/data/Trash")), QStringList{"einzeln.txt"});
}

GLEICHWART_UI_TEST_MAIN(RunSafetyTest)
