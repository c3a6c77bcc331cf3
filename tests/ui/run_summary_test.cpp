// What the main window tells after "Synchronisieren": the summary over the background, its
// numbers after real runs, where it lies, and that the next load takes it away.
#include "ui_test_support.h"

#include "kit/twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

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
    std::sort(captions.begin(), captions.end(),
              [](const QLabel* a, const QLabel* b) { return a->y() < b->y(); });
    return captions;
}

// The lines the summary shows, top to bottom, each as "label value"; the duration, which
// depends on the machine, as "Dauer: <mm:ss> min" once it has the form.
QStringList SummaryLines(QWidget* w) {
    QStringList lines;
    for (QLabel* caption : ShownCaptions(w)) {
        const QString value = Control<QLabel>(Summary(w), caption->objectName() + "Value")->text();
        QString line = caption->text() + " " + value;
        if (caption->objectName() == "lblSummaryDuration" &&
            QRegularExpression("^Dauer: \\d\\d:\\d\\d min$").match(line).hasMatch())
            line = "Dauer: <mm:ss> min";
        lines << line;
    }
    return lines;
}

// Every shown line is whole: its label and value are as wide as their text needs, side by
// side in the panel, which lies in the background's frame, left of the input panel.
void CheckNothingIsCut(QWidget* w) {
    QGroupBox* panel = Summary(w);
    QVERIFY(panel->isVisible());
    const QRect background = Control<QWidget>(w, "Picture5")->geometry();
    QVERIFY2(background.contains(panel->geometry()), qPrintable(QString("%1,%2 %3x%4")
                                                                    .arg(panel->x())
                                                                    .arg(panel->y())
                                                                    .arg(panel->width())
                                                                    .arg(panel->height())));
    QVERIFY(!panel->geometry().intersects(Control<QWidget>(w, "Picture6")->geometry()));
    // The summary lies above the background.
    const QObjectList& stack = panel->parentWidget()->children();
    QVERIFY(stack.indexOf(panel) > stack.indexOf(Control<QWidget>(w, "Picture5")));
    int lastBottom = panel->fontMetrics().height(); // below the title
    for (QLabel* caption : ShownCaptions(w)) {
        auto* value = Control<QLabel>(panel, caption->objectName() + "Value");
        for (QLabel* l : {caption, value}) {
            QVERIFY2(l->sizeHint().width() <= l->width(),
                     qPrintable(l->objectName() + ": " + l->text()));
            QVERIFY2(l->fontMetrics().height() <= l->height(), qPrintable(l->objectName()));
            QVERIFY(panel->contentsRect().contains(l->geometry()));
        }
        QVERIFY(caption->geometry().right() < value->x());
        QVERIFY2(caption->y() >= lastBottom, qPrintable(caption->objectName()));
        lastBottom = caption->geometry().bottom();
    }
}

// Calls `changed` whenever `watched` is turned on or off, with its new state.
class EnabledWatch : public QObject {
public:
    EnabledWatch(QWidget* watched, std::function<void(bool)> changed)
        : watched_(watched), changed_(std::move(changed)) {
        watched_->installEventFilter(this);
    }
    ~EnabledWatch() override { watched_->removeEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange)
            changed_(watched_->isEnabled());
        return false;
    }

private:
    QWidget* watched_;
    std::function<void(bool)> changed_;
};

} // namespace

class RunSummaryTest : public UiTestCase {
    Q_OBJECT
    QByteArray numericLocale_;

private slots:
    // The sizes in the German notation, as on a German desktop, whatever the machine's locale.
    void initTestCase() {
        numericLocale_ = qgetenv("LC_ALL");
        qputenv("LC_ALL", "de_DE.UTF-8");
    }
    void cleanupTestCase() {
        if (numericLocale_.isEmpty())
            qunsetenv("LC_ALL");
        else
            qputenv("LC_ALL", numericLocale_);
    }

    // Both directions: copies, copies back, a source gone before its copy, and a target file
    // changed after the load; the errors' list comes up over the summary.
    void copiesBackAFailureAndAChangedFileAreCountedEach() {
        TreeBuilder& t = trees();
        t.text("start/neu.txt", "aaa", UnixTime(12, 0, 0));
        t.file("start/unter/gross.bin", 1536, UnixTime(12, 0, 0));
        t.text("start/alt.txt", "alt", UnixTime(1, 0, 0));
        t.text("ziel/alt.txt", "neuer", UnixTime(12, 0, 0));      // copied back
        t.text("ziel/nur_im_ziel.txt", "zz", UnixTime(12, 0, 0)); // copied back
        t.text("start/weg.txt", "w", UnixTime(12, 0, 0));
        t.text("start/bearbeitet.txt", "neu", UnixTime(12, 0, 0));
        t.text("ziel/bearbeitet.txt", "alt", UnixTime(1, 0, 0));
        const auto window = LoadedWindow("0|3|1|1", t);
        Form1& w = *window;
        QVERIFY(!Summary(&w)->isVisible());
        fs::remove(t.path("start/weg.txt"));
        t.text("ziel/bearbeitet.txt", "nach dem Laden gespeichert");

        // The summary is already there behind the list of errors.
        QStringList behindTheErrors;
        OnNextModal([&](QWidget*) { behindTheErrors = SummaryLines(&w); });
        Click(&w, "Command3");
        const QStringList expected{"Kopiert: 2 Dateien (1,50 KB)",
                                   "Zurückkopiert: 2 Dateien (7 B)",
                                   "Gelöscht: 0 Dateien",
                                   "Fehlgeschlagen: 1 Datei",
                                   "Nach dem Laden geändert: 1 Datei, nicht angetastet",
                                   "Dauer: <mm:ss> min"};
        QCOMPARE(SummaryLines(&w), expected);
        QCOMPARE(behindTheErrors, expected);
        QCOMPARE(TextOf(&w, "RunSummary"), QString("Ergebnis der Synchronisierung"));
        QCOMPARE(StatusText(&w), QString("Synchronisierung beendet"));
        QVERIFY(!Control<QWidget>(&w, "Picture2")->isVisible()); // the lists
        QCOMPARE(Q(ReadFile(t.path("start/alt.txt"))), QString("neuer"));
        QCOMPARE(Q(ReadFile(t.path("ziel/bearbeitet.txt"))), QString("nach dem Laden gespeichert"));
        CheckNothingIsCut(&w);
        SaveScreenshot(&w, "run-summary");
    }

    // Into the trash: what was trashed and its size; a file changed after the load stays.
    void filesMovedToTheTrashAreCountedWithTheirSize() {
        TreeBuilder& t = trees();
        t.text("start/a.txt", "abcd", UnixTime(12, 0, 0));
        t.text("ziel/weg1.txt", "12345");
        t.text("ziel/unter/weg2.txt", "1");
        t.text("ziel/bearbeitet.txt", "x");
        const auto window = LoadedWindow("0|4|1|1", t);
        Form1& w = *window;
        t.text("ziel/bearbeitet.txt", "nach dem Laden gespeichert");
        OnNextModal([&](QWidget* question) {
            OnNextModal([](QWidget*) {}); // the file left alone is listed
            PressYes(question);
        });
        // The desktop's own trash location, which follows XDG_DATA_HOME (a temporary folder).
        QStandardPaths::setTestModeEnabled(false);
        Click(&w, "Command3");
        QStandardPaths::setTestModeEnabled(true);
        QCOMPARE(TrashedNames(Q(home_->home.path())), (QStringList{"weg1.txt", "weg2.txt"}));
        QCOMPARE(SummaryLines(&w),
                 (QStringList{
                     "Kopiert: 1 Datei (4 B)", "In den Papierkorb verschoben: 2 Dateien (6 B)",
                     "Fehlgeschlagen: 0 Dateien",
                     "Nach dem Laden geändert: 1 Datei, nicht angetastet", "Dauer: <mm:ss> min"}));
        CheckNothingIsCut(&w);
    }

    // Deleting for good, nothing to copy: the copies, the failures and the time are there
    // all the same.
    void aRunThatOnlyDeletesShowsTheCopiesAsNone() {
        trees().folder("start");
        trees().text("ziel/x.txt", "xyz");
        const auto window = LoadedWindow("0|5|1|1", trees());
        Form1& w = *window;
        OnNextModal([](QWidget* question) { PressYes(question); });
        Click(&w, "Command3");
        QVERIFY(!fs::exists(trees().path("ziel/x.txt")));
        QCOMPARE(SummaryLines(&w),
                 (QStringList{"Kopiert: 0 Dateien (0 B)", "Endgültig gelöscht: 1 Datei (3 B)",
                              "Fehlgeschlagen: 0 Dateien", "Dauer: <mm:ss> min"}));
    }

    // The summary follows the window's width as the background does, and the next "Ordner
    // laden" takes it away as soon as it starts.
    void theSummaryFollowsTheWidthAndGoesWithTheNextLoad() {
        trees().text("start/a.txt", "a", UnixTime(12, 0, 0));
        trees().folder("ziel");
        const auto window = LoadedWindow("0|0|1|1", trees());
        Form1& w = *window;
        Click(&w, "Command3");
        QGroupBox* panel = Summary(&w);
        QWidget* background = Control<QWidget>(&w, "Picture5");
        for (const double width : {11670.0, 16000.0, 11670.0}) {
            w.resize(TwipsToPixelsX(width), w.height());
            QVERIFY(panel->isVisible());
            // As far inside the background's frame on the right as on the left.
            QVERIFY2(std::abs((background->geometry().right() - panel->geometry().right()) -
                              (panel->x() - background->x())) <= 1,
                     qPrintable(QString::number(width)));
            CheckNothingIsCut(&w);
        }

        // The load turns "Ordner laden" off as it starts: the summary is gone by then.
        bool loadSeen = false, shownDuringLoad = false;
        EnabledWatch watch(Control<QWidget>(&w, "Command1"), [&](bool enabled) {
            if (!enabled) {
                loadSeen = true;
                shownDuringLoad = shownDuringLoad || panel->isVisible();
            }
        });
        Click(&w, "Command1");
        QVERIFY(loadSeen);
        QVERIFY(!shownDuringLoad);
        QVERIFY(!panel->isVisible());
        QVERIFY(Control<QWidget>(&w, "List1")->isVisible());
    }
};

GLEICHWART_UI_TEST_MAIN(RunSummaryTest)
#include "run_summary_test.moc"
