// "Synchronisieren": the progress panel, the copy-error window, the delete question, the
// summary over the background afterwards, closing the window while it loads or runs, and
// undoing the run; a run that is stopped, and roots that are no longer the loaded folders: the
// window must never do more than was shown.
#include "ui_test_support.h"

#include "core/trash_test_support.h"
#include "dialogs/copy_errors_window.h"
#include "kit/twips.h"

#include <QAction>
#include <QGroupBox>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollBar>

#include <algorithm>

namespace {

QGroupBox* Summary(QWidget* w) {
    return Control<QGroupBox>(w, "RunSummary");
}

// The labels of the summary's lines that are on view, top to bottom.
QList<QLabel*> ShownCaptions(QWidget* w) {
    QGroupBox* panel = Summary(w);
    QList<QLabel*> captions;
    for (QLabel* l : panel->findChildren<QLabel*>())
        if (!l->objectName().endsWith("Value") && l->isVisibleTo(panel))
            captions << l;
    std::ranges::sort(captions, {}, &QWidget::y);
    return captions;
}

// The lines the summary shows, top to bottom, each as "label value"; the duration, which
// depends on the machine, as "Dauer: <mm:ss> min" once it has the form.
QStringList SummaryLines(QWidget* w) {
    QStringList lines;
    for (QLabel* caption : ShownCaptions(w))
        lines << caption->text() + " " +
                     Control<QLabel>(Summary(w), caption->objectName() + "Value")->text();
    return lines.replaceInStrings(QRegularExpression("^Dauer: \\d\\d:\\d\\d min$"),
                                  "Dauer: <mm:ss> min");
}

// Every shown line is whole: its label and value are as wide as their text needs, side by
// side in the panel, which lies over the background, inside its frame, left of the input panel.
void CheckNothingIsCut(QWidget* w) {
    QGroupBox* panel = Summary(w);
    QWidget* background = Control<QWidget>(w, "Picture5");
    QVERIFY(panel->isVisible() && background->geometry().contains(panel->geometry()));
    QVERIFY(!panel->geometry().intersects(Control<QWidget>(w, "Picture6")->geometry()));
    const QObjectList& stack = panel->parentWidget()->children();
    QVERIFY(stack.indexOf(panel) > stack.indexOf(background));
    int lastBottom = panel->fontMetrics().height(); // below the title
    for (QLabel* caption : ShownCaptions(w)) {
        auto* value = Control<QLabel>(panel, caption->objectName() + "Value");
        for (QLabel* l : {caption, value})
            QVERIFY2(l->sizeHint().width() <= l->width() &&
                         l->fontMetrics().height() <= l->height() &&
                         panel->contentsRect().contains(l->geometry()),
                     qPrintable(l->objectName() + ": " + l->text()));
        QVERIFY(caption->geometry().right() < value->x() && caption->y() >= lastBottom);
        lastBottom = caption->geometry().bottom();
    }
}

// Calls `seen` whenever a control it filters the events of is enabled or disabled.
struct EnabledWatch : QObject {
    std::function<void()> seen;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange)
            seen();
        return false;
    }
};

} // namespace

class RunTest : public UiTestCase {
    Q_OBJECT
private slots:
    // The sizes in the German notation, as on a German desktop, whatever the machine's locale.
    void initTestCase() { qputenv("LC_ALL", "de_DE.UTF-8"); }

    // Both directions: copies (one entry unticked), copies back, a source gone before its copy,
    // and a target file changed after the load. The caption shows the progress, the modal list
    // of the failed copies comes up over the summary, and the summary follows the window's
    // width till the next load.
    void aRunCopiesBothWaysCountsEachAndItsSummaryFollowsTheWidthTillTheNextLoad() {
        TreeBuilder& t = trees();
        t.file("start/unter/gross.bin", 24 << 20, UnixTime(12, 0, 0));
        t.text("start/neu.txt", "aaa", UnixTime(12, 0, 0));
        t.text("start/b.txt", "bbbb", UnixTime(12, 0, 0)); // unticked
        t.text("start/alt.txt", "alt", UnixTime(1, 0, 0));
        t.text("ziel/alt.txt", "neuer", UnixTime(12, 0, 0));      // copied back
        t.text("ziel/nur_im_ziel.txt", "zz", UnixTime(12, 0, 0)); // copied back
        t.text("start/weg.txt", "w", UnixTime(12, 0, 0));
        t.text("start/bearbeitet.txt", "neu", UnixTime(12, 0, 0));
        t.text("ziel/bearbeitet.txt", "alt", UnixTime(1, 0, 0));
        const auto window = LoadedWindow("0|3|1|1", t);
        Form1& w = *window;
        QVERIFY(!Summary(&w)->isVisible());
        Tick(&w, "List1", Items(&w, "List1").indexOf(Q(t.path("start/b.txt"))), false);
        fs::remove(t.path("start/weg.txt"));
        t.text("ziel/bearbeitet.txt", "nach dem Laden gespeichert");
        const auto slow = SlowCopiesFor(w);
        // The caption shows the progress half way through the large file. (The text fit test
        // saves a picture of the window then.)
        QString captionDuringRun;
        QObject::connect(&w, &QWidget::windowTitleChanged, [&](const QString& title) {
            if (captionDuringRun.isEmpty() &&
                Control<QProgressBar>(&w, "ProgressBar2")->value() >= 40)
                captionDuringRun = title;
        });
        QStringList errors, behindTheErrors;
        OnNextModal([&](QWidget* modal) {
            QVERIFY(qobject_cast<Form4*>(modal) != nullptr);
            errors = Items(modal, "List1") << TextOf(modal, "Label5");
            behindTheErrors = SummaryLines(&w);
        });
        Click(&w, "Command3");
        QVERIFY(captionDuringRun.endsWith("% kopiert"));
        QCOMPARE(errors, (QStringList{Q(t.path("start/bearbeitet.txt")), Q(t.path("start/weg.txt")),
                                      "Die Zieldatei wurde nach dem Laden geändert."}));
        QVERIFY(fs::exists(t.path("ziel/neu.txt")) && !fs::exists(t.path("ziel/b.txt")));
        const QStringList expected{"Kopiert: 2 Dateien (24,00 MB)",
                                   "Zurückkopiert: 2 Dateien (7 B)",
                                   "Gelöscht: 0 Dateien",
                                   "Fehlgeschlagen: 1 Datei",
                                   "Nach dem Laden geändert: 1 Datei, nicht angetastet",
                                   "Dauer: <mm:ss> min"};
        QCOMPARE(SummaryLines(&w), expected);
        QCOMPARE(behindTheErrors, expected);
        QCOMPARE(TextOf(&w, "RunSummary"), QString("Ergebnis der Synchronisierung"));
        QVERIFY(!Control<QWidget>(&w, "Picture2")->isVisible()); // the lists
        SaveScreenshot(&w, "run-summary");
        QCOMPARE(StatusText(&w), QString("Synchronisierung beendet"));
        QCOMPARE(EnabledOf(&w, {"Command1", "Command3", "Text1"}),
                 (QStringList{"Command1", "Text1"}));
        // The summary follows the window's width as the background does, and the next "Ordner
        // laden" takes it away as soon as it starts.
        QGroupBox* panel = Summary(&w);
        QWidget* background = Control<QWidget>(&w, "Picture5");
        for (const double width : {11670.0, 16000.0, 11670.0}) {
            w.resize(TwipsToPixelsX(width), w.height());
            // As far inside the background's frame on the right as on the left.
            QVERIFY2(std::abs((background->geometry().right() - panel->geometry().right()) -
                              (panel->x() - background->x())) <= 1,
                     qPrintable(QString::number(width)));
            CheckNothingIsCut(&w);
        }
        // The load turns "Ordner laden" off as it starts: the summary is gone by then.
        bool loading = false, shownDuringLoad = false;
        EnabledWatch watch;
        watch.seen = [&] {
            loading = loading || !Enabled(&w, "Command1");
            shownDuringLoad = shownDuringLoad || (loading && panel->isVisible());
        };
        Control<QWidget>(&w, "Command1")->installEventFilter(&watch);
        Click(&w, "Command1");
        QVERIFY(loading && !shownDuringLoad);
        QVERIFY(!panel->isVisible() && Control<QWidget>(&w, "List1")->isVisible());
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

    // Into the trash (two of three ticked, one of them changed after the load) or for good
    // (one file): one question, only the ticked files go, the changed one is listed in a
    // message over the window, and the summary counts what went.
    void deletingAsksOnceRemovesOnlyTickedFilesAndCountsThem() {
        const struct {
            std::string rule;
            int files;
            QString question;
            QStringList summary;
        } rows[] = {{"0|4|1|1",
                     3,
                     "Sollen diese 2 Dateien wirklich in den Papierkorb verschoben werden?",
                     {"Kopiert: 0 Dateien (0 B)", "In den Papierkorb verschoben: 1 Datei (1 B)",
                      "Fehlgeschlagen: 0 Dateien",
                      "Nach dem Laden geändert: 1 Datei, nicht angetastet", "Dauer: <mm:ss> min"}},
                    {"0|5|1|1",
                     1,
                     "Soll diese Datei wirklich endgültig gelöscht werden?",
                     {"Kopiert: 0 Dateien (0 B)", "Endgültig gelöscht: 1 Datei (1 B)",
                      "Fehlgeschlagen: 0 Dateien", "Dauer: <mm:ss> min"}}};
        for (const auto& [rule, files, question, summary] : rows) {
            renewHome();
            trees().folder("start");
            for (int i = 0; i < files; ++i)
                trees().text("ziel/f" + std::to_string(i) + ".txt", std::to_string(i));
            const auto window = LoadedWindow(rule, trees());
            Form1& w = *window;
            if (files > 1) {
                Tick(&w, "List2", 1, false);
                trees().text("ziel/f2.txt", "nach dem Laden gespeichert");
            }
            QString asked, failures;
            OnNextModal([&](QWidget* box) {
                asked = Seen(box).text;
                OnNextModal([&](QWidget* report) {
                    failures = Seen(report).text + " " + Seen(report).informative;
                    QCOMPARE(report->parentWidget(), &w);
                });
                PressYes(box);
            });
            Click(&w, "Command3");
            CancelModalWatchers();
            QCOMPARE(asked, question);
            QCOMPARE(failures, files == 1 ? QString()
                                          : "Folgende Dateien konnten nicht gelöscht werden: " +
                                                Q(trees().path("ziel/f2.txt")) +
                                                " (Die Zieldatei wurde nach dem Laden geändert.)");
            for (int i = 0; i < files; ++i)
                QCOMPARE(fs::exists(trees().path("ziel/f" + std::to_string(i) + ".txt")), i > 0);
            QCOMPARE(SummaryLines(&w), summary);
            CheckNothingIsCut(&w);
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
            const auto w = std::make_unique<Shown<Form1>>();
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
                QVERIFY(w->session().StartFileCount < 600);
            }
            // The window saved its state on the way out.
            QCOMPARE(reg().GetStringValue(HKCU, kRootKey, "LastDestinationDir"), t.path("ziel"));
        }
    }
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
        Click(&w, "Command3");
        QObject::disconnect(connection);

        QVERIFY(stopUsable);
        // The files up to the one on view when the press was handled were copied, none after
        // it (that each is whole, and no temporary file is left, the terminal program's test of
        // a stop shows).
        QStringList copied = QDir(Q(t.path("ziel"))).entryList(QDir::Files);
        copied.removeOne("nur_im_ziel.txt");
        QVERIFY(!copied.isEmpty() && copied.size() < kFiles);
        QCOMPARE(copied.constLast(), fileWhenStopped);
        // No delete phase: no question (which would fail the case), and the file only in the
        // target is still there.
        QCOMPARE(ReadFile(t.path("ziel/nur_im_ziel.txt")), std::string("bleibt"));
        // The window says so and is idle again; a new run needs a new load.
        QCOMPARE(StatusText(&w), QString("Synchronisierung abgebrochen"));
        QCOMPARE(EnabledOf(&w, {"Command1", "Command3", "Combo1"}),
                 (QStringList{"Command1", "Combo1"}));
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

GLEICHWART_UI_TEST_MAIN(RunTest)
#include "run_test.moc"
