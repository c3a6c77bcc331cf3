// A run that is stopped, a rule changed after the load, and roots that are no longer the loaded
// folders: the window must never do more than was shown.
#include "ui_test_support.h"

#include "core/trash_test_support.h"

#include <QProgressBar>

class RunSafetyTest : public UiTestCase {
    Q_OBJECT
private slots:
    void abbrechenStopsAfterTheCurrentFileAndSkipsDeleting() {
        TreeBuilder& t = trees();
        constexpr int kFiles = 40;
        for (int i = 0; i < kFiles; ++i)
            t.file("start/f" + std::to_string(100 + i) + ".bin", 512 << 10);
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
        // The files up to the one on view when the press was handled were copied, none after
        // it (that each is whole, and no temporary file is left, the terminal program's test of
        // a stop shows).
        QStringList copied = QDir(Q(t.path("ziel"))).entryList(QDir::Files);
        copied.removeOne("nur_im_ziel.txt");
        QVERIFY(!copied.isEmpty() && copied.size() < kFiles);
        QCOMPARE(copied.constLast(), fileWhenStopped);
        // No delete phase: no question, and the file only in the target is still there.
        QVERIFY(!asked);
        QCOMPARE(ReadFile(t.path("ziel/nur_im_ziel.txt")), std::string("bleibt"));
        // The window says so and is idle again; a new run needs a new load.
        QCOMPARE(StatusText(&w), QString("Synchronisierung abgebrochen"));
        QCOMPARE(EnabledOf(&w, {"Command1", "Command3", "Combo1"}),
                 (QStringList{"Command1", "Combo1"}));
    }

    // Another rule chosen, or the loaded rule edited.
    void aRuleChangedAfterTheLoadBlocksTheRun() {
        trees().folder("start");
        trees().text("ziel/geprueft.txt", "im Papierkorb wiederzufinden");
        StoreRules(reg(), {{"Weg", "0|5|1|1"}});
        for (const bool edited : {false, true}) {
            const auto window = LoadedWindow("0|4|1|1", trees()); // "Test", to the trash
            Form1& w = *window;
            QVERIFY(Enabled(&w, "Command3"));
            if (edited) {
                // In the rule editor the loaded rule is switched from the trash to deleting for
                // good.
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
    }

    // Which way a root stopped being the loaded folder, and the message, the run's own
    // tests show; the window shows it and changes neither tree.
    void aTargetThatIsNoLongerTheLoadedFolderIsRefused() {
        TreeBuilder& t = trees();
        t.text("start/a.txt", "a", UnixTime(12, 0, 0));
        t.text("start/unter/b.txt", "b", UnixTime(12, 0, 0));
        t.text("start/c.txt", "alt", UnixTime(1, 0, 0));
        t.text("ziel/c.txt", "neu", UnixTime(12, 0, 0)); // copied back under this rule
        const auto window = LoadedWindow("0|3|1|1", t);
        const auto startBefore = Entries(t.path("start"));
        const std::string target = t.path("ziel");
        fs::rename(target, t.path("ziel_vorher"));
        fs::create_directory(target);
        const SeenBox box = CatchBox([&] { Click(window.get(), "Command3"); });
        QCOMPARE(box.text, "Der Zielordner \"" + Q(target) +
                               "\" ist nicht mehr derselbe Ordner wie beim Laden. Bitte laden Sie "
                               "die Ordner neu.");
        QVERIFY(fs::is_empty(target));
        QVERIFY(Entries(t.path("ziel_vorher")) ==
                (std::map<std::string, std::string>{{"c.txt", "neu"}}));
        QVERIFY(Entries(t.path("start")) == startBefore);
        QVERIFY(!Enabled(window.get(), "Command3"));
    }
};

GLEICHWART_UI_TEST_MAIN(RunSafetyTest)
#include "run_safety_test.moc"
