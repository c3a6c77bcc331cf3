// "Synchronisieren": the progress panel, the copy-error window, the delete question, and
// closing the window while it loads or runs.
#include "ui_test_support.h"

#include "dialogs/copy_errors_window.h"

#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

class RunTest : public UiTestCase {
    Q_OBJECT
private slots:
    void runCopiesTickedEntriesFillsThePanelAndEndsIdle() {
        TreeBuilder& t = trees();
        t.file("start/gross.bin", 24 << 20, UnixTime(12, 0, 0));
        t.text("start/a.txt", "aaa", UnixTime(12, 0, 0));
        t.text("start/b.txt", "bbbb", UnixTime(12, 0, 0));
        t.text("start/sub/c.txt", "ccccc", UnixTime(12, 0, 0));
        t.folder("ziel");
        const auto window = LoadedWindow("0|0|1|1", t);
        Form1& w = *window;
        Tick(&w, "List1", 1, false);
        const auto slow = SlowCopiesFor(w);
        // The caption shows the progress half way through the large file; a picture of the panel
        // then.
        QString captionDuringRun;
        QObject::connect(&w, &QWidget::windowTitleChanged, [&](const QString& title) {
            if (captionDuringRun.isEmpty() &&
                Control<QProgressBar>(&w, "ProgressBar2")->value() >= 40) {
                captionDuringRun = title;
                SaveScreenshot(&w, "run-progress");
            }
        });
        Click(&w, "Command3");
        QVERIFY(captionDuringRun.endsWith("% kopiert"));
        QVERIFY(fs::exists(t.path("ziel/a.txt")));
        QVERIFY(!fs::exists(t.path("ziel/b.txt")));
        QCOMPARE(Q(ReadFile(t.path("ziel/sub/c.txt"))), QString("ccccc"));
        QCOMPARE(StatusText(&w), QString("Synchronisierung beendet"));
        QCOMPARE(EnabledOf(&w, {"Command1", "Command3", "Text1"}),
                 (QStringList{"Command1", "Text1"}));
    }

    void failedCopiesAreListedModallyWithTheirReasons() {
        TreeBuilder& t = trees();
        QStringList sources;
        for (const char* name : {"1_weg.txt", "2_gesperrt.txt", "3_weg.txt"})
            sources << Q(t.text(std::string("start/") + name, "neu", UnixTime(12, 0, 0)));
        const std::string locked = t.text("ziel/2_gesperrt.txt", "alt", UnixTime(1, 0, 0));
        ::chmod(locked.c_str(), 0444);
        const auto window = LoadedWindow("0|0|1|1", t);
        fs::remove(t.path("start/1_weg.txt"));
        fs::remove(t.path("start/3_weg.txt"));
        bool shown = false;
        OnNextModal([&](QWidget* errors) {
            QVERIFY(qobject_cast<Form4*>(errors) != nullptr && errors->isModal());
            QCOMPARE(Items(errors, "List1"), sources);
            QCOMPARE(TextOf(errors, "Label5"), QString("Quelldatei existiert nicht"));
            shown = true;
        });
        Click(window.get(), "Command3");
        QVERIFY(shown);
    }

    // The list the user works in leads, the other follows before any further event is
    // handled, and cannot be moved away on its own.
    void copyErrorListsMoveInStepAtOnce() {
        QPointer<Form4> errors = new Form4(nullptr);
        for (int i = 0; i < 40; ++i)
            errors->AddCopyError(QString("/q/%1").arg(i), QString("/z/%1").arg(i),
                                 QString("Grund %1").arg(i));
        errors->show();
        QVERIFY(QTest::qWaitForWindowActive(errors));
        auto* source = Control<QListWidget>(errors, "List1");
        auto* destination = Control<QListWidget>(errors, "List2");
        destination->setFocus();
        destination->setCurrentRow(25);
        QCOMPARE(source->currentRow(), 25);
        QCOMPARE(TextOf(errors, "Label5"), QString("Grund 25"));
        QCOMPARE(source->verticalScrollBar()->value(), destination->verticalScrollBar()->value());
        source->setFocus();
        source->verticalScrollBar()->setValue(3);
        QCOMPARE(destination->verticalScrollBar()->value(), 3);
        destination->verticalScrollBar()->setValue(10);
        QCOMPARE(destination->verticalScrollBar()->value(), 3);
        errors->close();
    }

    void deletingAsksOnceAndRemovesOnlyTickedFiles() {
        // Two of three to the trash, one for good.
        const struct {
            std::string rule;
            int files;
            QString question;
            QStringList trashed;
        } rows[] = {{"0|4|1|1", 3,
                     "Sollen diese 2 Dateien wirklich in den Papierkorb verschoben werden?",
                     QStringList{"f0.txt", "f2.txt"}},
                    {"0|5|1|1", 1, "Soll diese Datei wirklich endgültig gelöscht werden?", {}}};
        for (const auto& [rule, files, question, trashed] : rows) {
            renewHome();
            trees().folder("start");
            for (int i = 0; i < files; ++i)
                trees().text("ziel/f" + std::to_string(i) + ".txt", std::to_string(i));
            const auto window = LoadedWindow(rule, trees());
            QCOMPARE(Rows(window.get(), "List2"), files);
            if (files > 1)
                Tick(window.get(), "List2", 1, false);
            SeenBox asked;
            OnNextModal([&](QWidget* box) {
                asked = Seen(box);
                PressYes(box);
            });
            // The desktop's own trash location, which follows XDG_DATA_HOME (a temporary folder).
            QStandardPaths::setTestModeEnabled(false);
            Click(window.get(), "Command3");
            QStandardPaths::setTestModeEnabled(true);
            QCOMPARE(asked.text, question);
            for (int i = 0; i < files; ++i)
                QCOMPARE(fs::exists(trees().path("ziel/f" + std::to_string(i) + ".txt")), i == 1);
            QCOMPARE(TrashedNames(Q(home_->home.path())), trashed);
        }
    }

    void closingDuringALoadOrARunStopsItThenCloses() {
        for (const bool running : {false, true}) { // a load, a run
            renewHome();
            TreeBuilder& t = trees();
            // Six files that take a while to copy, or 600 that take a while to scan.
            for (int i = 0; i < (running ? 6 : 600); ++i)
                t.file("start/d" + std::to_string(i / 20) + "/f" + std::to_string(i % 20) + ".bin",
                       running ? 3 << 20 : 1, UnixTime(12, 0, 0));
            t.folder("ziel");
            UseRule("0|0|1|1");
            auto w = std::make_unique<Form1>();
            w->show();
            const auto slowScan = SlowListingsFor(*w);
            // A load is closed at once, a run as soon as its first file is being copied.
            QTimer closer;
            QObject::connect(&closer, &QTimer::timeout, [&] {
                if (!running || !TextOf(w.get(), "Label8_0").isEmpty()) {
                    closer.stop();
                    w->close();
                }
            });
            closer.start(0);
            LoadFolders(w.get(), t.path("start"), t.path("ziel"));
            const auto slow = SlowCopiesFor(*w);
            if (running)
                Click(w.get(), "Command3");
            QVERIFY(!w->isVisible());
            // The run ended after the file being copied (what such a stop leaves, the run's own
            // tests and "Abbrechen" show); the load before its end.
            if (running) {
                const auto copied = std::distance(fs::directory_iterator(t.path("ziel/d0")), {});
                QVERIFY2(copied >= 1 && copied < 6, qPrintable(QString::number(copied)));
            } else {
                QVERIFY(w->session().StartFiles.size() < 600);
            }
            // The window saved its state on the way out.
            QCOMPARE(Q(reg().GetStringValue(HKCU, kRootKey, "LastDestinationDir")),
                     Q(t.path("ziel")));
        }
    }
};

GLEICHWART_UI_TEST_MAIN(RunTest)
#include "run_test.moc"
