// The main window itself: each panel follows the resize rules, also when they turn sizes
// negative; what it shows first, what it keeps for next time, and that a stored place never
// puts it off the screen; a start with a command line, which names the paths and the rule
// and loads once after the start, or is reported when its rule or folder is missing; and the
// desktop shortcut that holds such a command line: what the desktop's own launcher makes of
// the written file, the name it gets, and the menu item's way through the information box and
// the save dialog.
#include <gio/gdesktopappinfo.h>

#include "desktop/shortcut.h"
#include "kit/twips.h"
#include "ui_test_support.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QTreeView>

#include <cmath>

namespace {

// A twip is a fraction of a pixel taken from the font, so a window holds a size in twips only
// to within a pixel: under 20 twips for every font the tests use.
constexpr double kOnePixel = 20;

// Resizes the window so that its inner area is the given size in twips.
void ResizeInner(Form1& w, double widthTwips, double heightTwips) {
    w.resize(TwipsToPixelsX(widthTwips),
             TwipsToPixelsY(heightTwips) + w.menuBar()->sizeHint().height());
    QVERIFY(std::abs(w.ScaleWidth() - widthTwips) < kOnePixel);
    QVERIFY(std::abs(w.ScaleHeight() - heightTwips) < kOnePixel);
}

} // namespace

class Form1Test : public UiTestCase {
    Q_OBJECT
private slots:
    // A narrow and a larger inner area in twips, and where a control of each panel must then
    // stand, in twips, in the order of the names below. The narrow window would turn
    // ProgressBar3's width negative: it keeps the 6500 it had at 11670 × 6210.
    void everyPanelFollowsTheResizeRules() {
        const std::vector<std::pair<const char*, double Twips::*>> spots = {
            {"Picture2", &Twips::width},   {"Picture5", &Twips::height},
            {"TabStrip1", &Twips::height}, {"List2", &Twips::width},
            {"List1", &Twips::height},     {"Frame2", &Twips::top},
            {"Frame3", &Twips::width},     {"ProgressBar3", &Twips::width},
            {"Picture6", &Twips::left},    {"StatusBar1", &Twips::top}};
        const struct {
            double width, height;
            std::vector<double> expected;
        } rows[] = {{4845, 5010, {995, 4575, 3495, 755, 2340, 3600, 875, 6500, 1265, 4755}},
                    {13995, 7005, {10145, 6570, 5490, 9905, 4335, 5595, 10025, 8825, 10415, 6750}}};
        for (const auto& [width, height, expected] : rows) {
            Shown<Form1> w;
            ResizeInner(w, 11670, 6210);
            ResizeInner(w, width, height);
            for (std::size_t i = 0; i < spots.size(); ++i) {
                const auto& [name, field] = spots[i];
                const double actual = TwipsOf(Control<QWidget>(&w, name)).*field;
                QVERIFY2(
                    std::abs(actual - expected[i]) < kOnePixel,
                    qPrintable(QString("%1: %2, not %3").arg(name).arg(actual).arg(expected[i])));
            }
        }
    }

    void whatShutdownWritesIsWhatTheNextStartShows() {
        {
            Shown<Form1> w;
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            Control<QLineEdit>(&w, "Text1")->setText("/home/anna/Fotos \"alt\"");
            Control<QLineEdit>(&w, "Text2")->setText("/media/Sicherung/Größe");
            auto* combo = Control<QComboBox>(&w, "Combo1");
            combo->setCurrentIndex(combo->findText("Spiegeln"));
            w.resize(TwipsToPixelsX(9000), TwipsToPixelsY(7200));
            w.move(TwipsToPixelsX(300), TwipsToPixelsY(450));
            w.close();
        }
        QCOMPARE(reg().GetNumericValue(HKCU, kRootKey, "SyncMode"), 2);
        Form1 next;
        QCOMPARE(TextOf(&next, "Text1"), QString("/home/anna/Fotos \"alt\""));
        QCOMPARE(TextOf(&next, "Text2"), QString("/media/Sicherung/Größe"));
        QCOMPARE(Control<QComboBox>(&next, "Combo1")->currentText(), QString("Spiegeln"));
        QCOMPARE(next.geometry().size(), QSize(TwipsToPixelsX(9000), TwipsToPixelsY(7200)));
        QCOMPARE(next.pos(), QPoint(TwipsToPixelsX(300), TwipsToPixelsY(450)));
    }

    void storedGeometryIsBroughtOntoTheScreen() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // Far beyond 16 bits: a window once left on a monitor that is gone.
        reg().SetNumericValue(HKCU, kRootKey, "Left", 200000);
        reg().SetNumericValue(HKCU, kRootKey, "Top", -90000);
        QVERIFY(area.contains(Form1().geometry()));
        // Some 35000 pixels each way: unchecked, gigabytes of window and seconds to start.
        for (const auto& [name, value] :
             {std::pair{"Left", 300}, {"Top", 450}, {"Width", 0x80000}, {"Height", 0x80000}})
            reg().SetNumericValue(HKCU, kRootKey, name, value);
        QVERIFY(area.contains(Form1().geometry()));
    }

    void threePartsLoadTheFoldersOnceAfterTheStart() {
        TreeBuilder& t = trees(); // a first start: the three starter rules are stored
        t.text("Meine Fotos/a.jpg", "a");
        t.text("Meine Fotos/b.jpg", "b");
        t.text("ziel/alt.jpg", "alt");
        Form1 w;
        // Blanks around the keys; and a rule stored after the list was filled, ahead of the
        // others in the store's order, so that an index into the store is one too small. A
        // message box would fail the case.
        w.setCommandLine("/Startordner |" + t.path("Meine Fotos") + "  / ZIELORDNER|" +
                         t.path("ziel") + " /regel |spiegeln");
        reg().SetStringValue(HKCU, kRulesKey, "Abgleich", "0|5|1|1");
        w.show();
        auto* copies = Control<QListView>(&w, "List1");
        QCOMPARE(copies->model()->rowCount(), 0); // nothing before the timer
        QSignalSpy resets(copies->model(), &QAbstractItemModel::modelReset);
        QTRY_COMPARE_WITH_TIMEOUT(copies->model()->rowCount(), 2, 5000);
        QCOMPARE(TextOf(&w, "Text2"), Q(t.path("ziel")));
        QCOMPARE(Control<QComboBox>(&w, "Combo1")->currentText(), QString("Spiegeln"));
        QCOMPARE(Control<QListView>(&w, "List2")->model()->rowCount(), 1); // alt.jpg goes
        // Once only: later turns of the event loop load nothing again.
        const qsizetype afterLoad = resets.count();
        QTest::qWait(1200);
        QCOMPARE(resets.count(), afterLoad);
    }

    void anUnknownRuleOrAMissingFolderIsReportedAndNothingIsLoaded() {
        TreeBuilder& t = trees();
        t.text("Meine Fotos/a.txt", "a");
        t.folder("ziel");
        // The folder is checked as read: one blank more is another folder, not this one.
        const std::string missing = t.path("Meine  Fotos");
        const struct {
            std::string start, rule;
            QString message;
        } rows[] = {
            {t.path("Meine Fotos"), "Gibt es nicht",
             "Die Regel: Gibt es nicht\r\nexistiert nicht !!"},
            {missing, "Aktualisieren", "Der Startpfad: \"" + Q(missing) + "\"existiert nicht !!"},
        };
        for (const auto& row : rows) {
            Form1 w;
            w.setCommandLine("/Startordner|" + row.start + " /Zielordner|" + t.path("ziel") +
                             " /Regel|" + row.rule);
            QString text;
            OnNextModal([&](QWidget* modal) { text = Seen(modal).text; });
            w.show();
            QTRY_VERIFY_WITH_TIMEOUT(!text.isEmpty(), 5000);
            QCOMPARE(text, row.message);
            // The paths stay as given; no load follows.
            QCOMPARE(TextOf(&w, "Text1"), Q(row.start));
            QTest::qWait(300);
            QVERIFY(w.session().StartFileCount == 0);
        }
    }

    // A shortcut's control characters are blanks in its name and comment and refused in its
    // paths; its name gets one ".desktop"; the file may be started, and the desktop's own
    // launcher hands over exactly its arguments.
    void theShortcutFileHoldsNoControlCharacterAndHandsOverExactlyItsArguments() {
        const QString root = Q(home_->home.path());
        // A program that writes each argument it gets, one per line.
        const QString program = root + "/zeige args";
        const QString out = root + "/args.txt";
        const struct {
            QString link, description, workingDirectory, argument, program;
            QString expectedLine; // empty: refused, no file
        } rows[] = {
            {"Na\x01me", "", root, "/Regel|x", program, "Name=Na me\n"},
            {"K", "Ein\x7f Tipp\x1f", root, "/Regel|x", program, "Comment=Ein  Tipp \n"},
            {"K", "", root + "/a\x02", "/Regel|x", program, ""},
            {"K", "", root, "/Startordner|/a\x7f", program, ""},
            {"K", "", root, "/Regel|x", program + "\x03", ""},
            // A name that already ends in ".desktop" keeps it as it is.
            {"Fertig.desktop", "", root, "/Regel|x", program, "Name=Fertig\n"},
            {"GROSS.DESKTOP", "", root, "/Regel|x", program, "Name=GROSS\n"},
        };
        for (const auto& row : rows) {
            const QString name = row.link.endsWith(".desktop", Qt::CaseInsensitive)
                                     ? row.link
                                     : row.link + ".desktop";
            const QString reason =
                CreateShortcut(row.program, root + "/" + row.link, {row.argument}, row.description,
                               row.workingDirectory);
            QCOMPARE(reason.isEmpty(), !row.expectedLine.isEmpty());
            // Upper and lower case alike: no file at all, or this one with one suffix.
            QCOMPARE(QDir(root).entryList({"*.desktop"}, QDir::Files),
                     row.expectedLine.isEmpty() ? QStringList() : QStringList{name});
            if (row.expectedLine.isEmpty())
                continue;
            const QString text = Q(ReadFile((root + "/" + name).toStdString()));
            QVERIFY2(text.contains(row.expectedLine), qPrintable(text));
            QFile::remove(root + "/" + name);
        }
        // A folder that does not exist: a reason, and nothing written.
        QVERIFY(!CreateShortcut(program, root + "/fehlt/K", {}, {}, root).isEmpty());
        QVERIFY(!QFile::exists(root + "/fehlt"));

        WriteFile(program.toStdString(),
                  ("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + out + "'\n")
                      .toStdString());
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
        const QStringList arguments = {
            "/Startordner|/home/anna/Meine \"Fotos\" $HOME 100% `x`",
            "/Zielordner|/media/stick/a\\b;c|d 'e' #f",
            "/Regel|Beide Richtungen",
        };
        QCOMPARE(CreateShortcut(program, root + "/Test", arguments, QString(), root), QString());
        const QString link = root + "/Test.desktop";
        QVERIFY(QFile::permissions(link) & QFile::ExeOwner);
        GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(link.toUtf8().constData());
        QVERIFY(info != nullptr);
        GError* error = nullptr;
        const bool started = g_app_info_launch(G_APP_INFO(info), nullptr, nullptr, &error);
        g_object_unref(info);
        QVERIFY2(started, error != nullptr ? error->message : "");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out) && QFile(out).size() > 0, 5000);
        QTest::qWait(100);
        QCOMPARE(Q(ReadFile(out.toStdString())).split('\n', Qt::SkipEmptyParts), arguments);
    }

    void theMenuItemRefusesPathsTheCommandLineWouldChangeElseWritesTheShortcut() {
        const QString desktop = Q(home_->home.path()) + "/Desktop";
        QDir().mkpath(desktop);
        Shown<Form1> w;
        Control<QLineEdit>(&w, "Text1")->setText("/home/anna/Fotos ");
        Control<QLineEdit>(&w, "Text2")->setText("/media/stick/Fotos");
        SeenBox seen;
        OnNextModal([&](QWidget* modal) {
            seen = Seen(modal);
            OnNextModal([](QWidget*) {}); // a save dialog after it goes unanswered
        });
        Control<QAction>(&w, "CreateLink")->trigger();
        CancelModalWatchers();
        QVERIFY2(seen.text.startsWith("Die Verknüpfung wurde nicht erstellt: Der Startpfad "
                                      "\"/home/anna/Fotos \" käme beim Öffnen"),
                 qPrintable(seen.text));
        QCOMPARE(QDir(desktop).entryList(QDir::Files), QStringList());

        // Without the blank: the information, then the file's name asked for.
        Control<QLineEdit>(&w, "Text1")->setText("/home/anna/Fotos");
        OnNextModal([&](QWidget* modal) {
            seen = Seen(modal);
            OnNextModal([&](QWidget* dialog) {
                auto* files = qobject_cast<QFileDialog*>(dialog);
                QVERIFY(files != nullptr);
                files->findChild<QLineEdit*>("fileNameEdit")->setText("Fotos sichern");
                QMetaObject::invokeMethod(files, "accept", Qt::DirectConnection);
            });
        });
        Control<QAction>(&w, "CreateLink")->trigger();
        QVERIFY(!seen.text.startsWith("Die Verknüpfung wurde nicht erstellt"));
        const QString text = Q(ReadFile((desktop + "/Fotos sichern.desktop").toStdString()));
        QVERIFY(
            text.contains("\"/Startordner|/home/anna/Fotos\" \"/Zielordner|/media/stick/Fotos\""));
        QVERIFY(text.contains(" \"/Regel|Aktualisieren\"\n"));
        // The same name again: the dialog asks before it replaces the file; unanswered, the
        // file stays as it was.
        OnNextModal([&](QWidget*) {
            OnNextModal([&](QWidget* dialog) {
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText("Fotos sichern");
                OnNextModal([&](QWidget* box) { seen = Seen(box); });
                QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
            });
        });
        Control<QLineEdit>(&w, "Text2")->setText("/media/stick/Anderes");
        Control<QAction>(&w, "CreateLink")->trigger();
        QVERIFY2(seen.text.startsWith("Die Datei Fotos sichern.desktop existiert bereits."),
                 qPrintable(seen.text));
        QCOMPARE(Q(ReadFile((desktop + "/Fotos sichern.desktop").toStdString())), text);
    }

    // After a run "Letzten Abgleich rückgängig machen..." is on. Its window lists what undo
    // does, kind by kind, and puts the target back: the new file into the trash, the replaced
    // one's old version in its place, a file changed since left with its reason. The lists
    // loaded since are put away, and with no run left to undo the item is off, also after a run
    // that could keep no journal.
    void undoingTheLastRunPutsTheTargetBackAndTheItemGoesOff() {
        TreeBuilder& t = trees();
        t.text("start/neu.txt", "neu", UnixTime(12, 0, 0));
        t.text("start/bearbeitet.txt", "b", UnixTime(12, 0, 0));
        t.text("start/alt.txt", "neue Fassung", UnixTime(12, 0, 0));
        t.text("ziel/alt.txt", "alte Fassung", UnixTime(1, 0, 0));
        const auto window = LoadedWindow("0|0|1|1", t);
        Form1& w = *window;
        auto* undo = Control<QAction>(&w, "mnuRueckgaengig");
        QVERIFY(!undo->isEnabled());
        Click(&w, "Command3"); // asks nothing, nor says that the run cannot be undone
        QVERIFY(undo->isEnabled());
        t.text("ziel/bearbeitet.txt", "nach dem Abgleich bearbeitet");
        Click(&w, "Command1");
        QVERIFY(Enabled(&w, "Command3"));
        QStringList groups, left;
        OnNextModal([&](QWidget* modal) {
            groups = TextOf(modal, "UndoGroups").split('\n');
            Click(modal, "UndoStart");
            SaveScreenshot(modal, "undo-window");
            left = Items(modal, "UndoLeftList");
            QAbstractItemModelTester(Control<QTreeView>(modal, "UndoLeftList")->model());
        });
        undo->trigger();
        QCOMPARE(groups, (QStringList{"Zielordner: 2 neue Dateien kommen in den Papierkorb",
                                      "Zielordner: 1 ersetzte Datei bekommt die alte Fassung "
                                      "zurück"}));
        QCOMPARE(left, QStringList{Q(t.path("ziel/bearbeitet.txt"))});
        QCOMPARE(ReadFile(t.path("ziel/alt.txt")), std::string("alte Fassung"));
        QVERIFY(!fs::exists(t.path("ziel/neu.txt")));
        QCOMPARE(StatusText(&w), QString("Letzter Abgleich rückgängig gemacht"));
        QVERIFY(!Enabled(&w, "Command3") && !Control<QWidget>(&w, "Picture2")->isVisible());
        QVERIFY(!undo->isEnabled());
        // A run that cannot keep its journal (a file where its folder would be) says so.
        qputenv("XDG_STATE_HOME", Q(t.path("ziel/alt.txt")).toUtf8());
        Click(&w, "Command1");
        const SeenBox note = CatchBox([&] { Click(&w, "Command3"); });
        QVERIFY2(note.text.startsWith("Dieser Abgleich lässt sich nicht rückgängig machen"),
                 qPrintable(note.text));
        QVERIFY(fs::exists(t.path("ziel/neu.txt")) && !undo->isEnabled());
    }
};

GLEICHWART_UI_TEST_MAIN(Form1Test)
#include "form1_test.moc"
