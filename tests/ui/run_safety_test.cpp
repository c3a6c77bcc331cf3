// A run that is stopped, a rule changed after the load, roots that are no longer the loaded
// folders, and files changed after the load: the window must never do more than was shown.
#include "ui_test_support.h"

#include "dialogs/rule_editor.h"
#include "rules/rule_store.h"

#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

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

} // namespace

class RunSafetyTest : public UiTestCase {
    Q_OBJECT
private slots:
    void abbrechenStopsAfterTheCurrentFileAndSkipsDeleting() {
        TreeBuilder& t = trees();
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
        const auto slow = SlowCopiesFor(w);

        // "Abbrechen" is pressed when the run first moves the total bar; the press is queued, so
        // it reaches the button only through the events the run lets in while copying.
        auto* stop = Control<QPushButton>(&w, "Command2");
        bool pressed = false, stopUsable = false;
        const auto connection = QObject::connect(
            Control<QProgressBar>(&w, "ProgressBar2"), &QProgressBar::valueChanged, &w, [&] {
                if (pressed)
                    return;
                pressed = true;
                stopUsable = stop->isVisible() && stop->isEnabled();
                QMetaObject::invokeMethod(
                    stop, [stop] { QTest::mouseClick(stop, Qt::LeftButton); },
                    Qt::QueuedConnection);
            });
        // The file on view when the press is handled is the one the run finishes.
        QString fileWhenStopped;
        QObject::connect(stop, &QPushButton::clicked, &w,
                         [&] { fileWhenStopped = TextOf(&w, "Label8_0"); });
        const bool asked = RunAsksAnything(&w);
        QObject::disconnect(connection);

        QVERIFY(stopUsable);
        // The files up to the one being copied were finished, complete; none after it was
        // started.
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
        // No delete phase: no question, and the file only in the target is still there.
        QVERIFY(!asked);
        QCOMPARE(ReadFile(t.path("ziel/nur_im_ziel.txt")), std::string("bleibt"));
        // The window is idle again; a new run needs a new load.
        QCOMPARE(EnabledOf(&w, {"Command1", "Command3", "Combo1"}),
                 (QStringList{"Command1", "Combo1"}));
    }

    void aRuleChangedAfterTheLoadBlocksTheRun_data() {
        QTest::addColumn<bool>("edited");
        QTest::newRow("another rule chosen") << false;
        QTest::newRow("the rule edited") << true;
    }
    void aRuleChangedAfterTheLoadBlocksTheRun() {
        QFETCH(bool, edited);
        trees().folder("start");
        trees().text("ziel/geprueft.txt", "im Papierkorb wiederzufinden");
        StoreRules(reg(), {{"Weg", "0|5|1|1"}});
        const auto window = LoadedWindow("0|4|1|1", trees()); // "Test", to the trash
        Form1& w = *window;
        QVERIFY(Enabled(&w, "Command3"));
        if (edited) {
            // In the rule editor the loaded rule is switched from the trash to deleting for good.
            OnNextModal([&](QWidget* editor) {
                Click(editor, "Option4");
                Click(editor, "Command1");
            });
            Click(&w, "Command5_2");
        } else {
            // The user steps from "Test" to "Weg" in the rule list with the arrow key.
            auto* combo = Control<QComboBox>(&w, "Combo1");
            combo->setFocus();
            QTest::keyClick(combo, Qt::Key_Down);
        }
        QCOMPARE(w.CurrentRule().ReverseAction, 5);
        QVERIFY(!Enabled(&w, "Command3"));
        QCOMPARE(Rows(&w, "List2"), 0);
        QVERIFY(!RunAsksAnything(&w));
        QVERIFY(fs::exists(trees().path("ziel/geprueft.txt")));
    }

    void rootsThatAreNoLongerTheLoadedFoldersAreRefused_data() {
        QTest::addColumn<bool>("replaced");
        QTest::newRow("replaced") << true;
        QTest::newRow("removed") << false;
    }
    void rootsThatAreNoLongerTheLoadedFoldersAreRefused() {
        QFETCH(bool, replaced);
        TreeBuilder& t = trees();
        t.text("start/a.txt", "a", UnixTime(12, 0, 0));
        t.text("start/unter/b.txt", "b", UnixTime(12, 0, 0));
        t.text("start/c.txt", "alt", UnixTime(1, 0, 0));
        t.text("ziel/c.txt", "neu", UnixTime(12, 0, 0)); // copied back under this rule
        const auto window = LoadedWindow("0|3|1|1", t);
        Form1& w = *window;
        const QStringList startBefore = Snapshot(t.path("start"));

        const std::string target = t.path("ziel");
        if (replaced) {
            fs::rename(target, t.path("ziel_vorher"));
            fs::create_directory(target);
        } else {
            fs::remove_all(target);
        }
        const SeenBox box = CatchBox([&] { Click(&w, "Command3"); });
        const QString why = replaced ? "ist nicht mehr derselbe Ordner wie beim Laden."
                                     : "ist nicht mehr vorhanden.";
        QCOMPARE(box.text, "Der Zielordner \"" + Q(target) + "\" " + why +
                               " Bitte laden Sie die Ordner neu.");
        if (replaced) {
            QVERIFY(fs::is_empty(target));
            QCOMPARE(Snapshot(t.path("ziel_vorher")), QStringList{"c.txt=neu"});
        } else {
            QVERIFY(!fs::exists(target));
        }
        QCOMPARE(Snapshot(t.path("start")), startBefore);
        QVERIFY(!Enabled(&w, "Command3"));
    }

    void filesChangedAfterTheLoadAreLeftAndListed() {
        trees().folder("start");
        trees().text("ziel/bleibt_nicht.txt", "1");
        trees().text("ziel/neu_bearbeitet.txt", "2");
        const auto window = LoadedWindow("0|5|1|1", trees());
        Form1& w = *window;
        trees().text("ziel/neu_bearbeitet.txt", "nach dem Laden gespeichert");
        SeenBox failures;
        QWidget* owner = nullptr;
        OnNextModal([&](QWidget* question) {
            OnNextModal([&](QWidget* report) {
                failures = Seen(report);
                owner = report->parentWidget();
            });
            PressYes(question);
        });
        Click(&w, "Command3");
        QCOMPARE(failures.text, QString("Folgende Dateien konnten nicht gelöscht werden:"));
        QCOMPARE(failures.informative, Q(trees().path("ziel/neu_bearbeitet.txt")) +
                                           " (Die Zieldatei wurde nach dem Laden geändert.)");
        QCOMPARE(ReadFile(trees().path("ziel/neu_bearbeitet.txt")), "nach dem Laden gespeichert");
        QVERIFY(!fs::exists(trees().path("ziel/bleibt_nicht.txt")));
        QCOMPARE(owner, &w);
    }
};

GLEICHWART_UI_TEST_MAIN(RunSafetyTest)
#include "run_safety_test.moc"
