// "Ordner laden": paths refused, the lists with their details, totals and ticks, a load that
// is stopped or cannot read everything, and a million entries.
#include "ui_test_support.h"

#include "dialogs/folder_browser.h"
#include "engine/texts.h"
#include "platform/fake_file_system.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

class LoadingTest : public UiTestCase {
    Q_OBJECT
private slots:
    // A folder chosen with the button goes into its box and is checked as a typed one is;
    // which paths are refused with which message, the folder checks' own test shows.
    void aChosenFolderGoesIntoItsBoxAndBadPathsAreRefused() {
        const std::string dir = trees().folder("da"), inner = trees().folder("da/drin");
        Shown<Form1> w;
        OnNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<FolderBrowser*>(modal);
            QVERIFY(dialog != nullptr);
            dialog->selectPath(Q(inner));
            QVERIFY(QTest::qWaitFor([&] { return !dialog->isSelecting(); }, 5000));
            Click(dialog, "OK");
        });
        Click(&w, "Command5_1");
        QCOMPARE(TextOf(&w, "Text2"), Q(inner));
        Control<QLineEdit>(&w, "Text1")->setText(Q(dir));
        QCOMPARE(CatchBox([&] { Click(&w, "Command1"); }).text,
                 Q("Der Zielpfad: \"" + inner + "\" liegt innerhalb des Startpfads !!"));
        QVERIFY(Enabled(&w, "Command1"));
    }

    void loadShowsListsWithDetailsAndTotalsThatFollowTheTicks() {
        TreeBuilder& t = trees();
        t.file("start/a.txt", 1024, UnixTime(12, 0, 0));
        t.file("start/b.txt", 1024, UnixTime(12, 0, 0));
        t.file("start/sub/c.txt", 1024, UnixTime(12, 0, 0));
        t.file("ziel/b.txt", 5, UnixTime(11, 0, 0));
        t.file("ziel/sub/c.txt", 5, UnixTime(13, 0, 0));
        t.file("ziel/alt.txt", 7, UnixTime(0, 0, 0));
        const auto window = LoadedWindow("0|4|1|1", t);
        Form1& w = *window;
        w.resize(900, 560);
        QAbstractItemModelTester tester(Control<QListView>(&w, "List1")->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(Items(&w, "List1"),
                 (QStringList{Q(t.path("start/a.txt")), Q(t.path("start/b.txt"))}));
        QCOMPARE(TextOf(&w, "Frame2"), Q(t.path("start/a.txt")));
        QCOMPARE(TextOf(&w, "Label6"), Totals(2, 2048, "kopiert"));
        QCOMPARE(StatusText(&w), Q("Es wurden 6 Dateien (" + FormatSize(3072) + ") verglichen."));
        SaveScreenshot(&w, "main-window-loaded");

        // Unticking an entry changes the totals and "alle auswählen"; the record follows.
        Tick(&w, "List1", 1, false);
        QCOMPARE(TextOf(&w, "Label6"), Totals(1, 1024, "kopiert"));
        QVERIFY(!Checked(&w, "Check1"));
        QVERIFY(!w.session().CopyList[1]->Selected);
        Tick(&w, "List1", 1, true);
        QVERIFY(Checked(&w, "Check1"));

        Control<QTabBar>(&w, "TabStrip1Tabs")->setCurrentIndex(1);
        QCOMPARE(TextOf(&w, "Label6"), Totals(1, 7, "gelöscht"));
        // "alle auswählen" on the delete tab unticks every record of that list only.
        Click(&w, "Check1");
        QVERIFY(!w.session().DeleteList[0]->Selected && w.session().CopyList[0]->Selected);
        QCOMPARE(TextOf(&w, "Label6"), Totals(0, 0, "gelöscht"));
    }

    void abortDuringTheScanEndsIdleWithEmptyLists() {
        for (int d = 0; d < 40; ++d)
            for (int f = 0; f < 10; ++f)
                trees().file("start/d" + std::to_string(d) + "/f" + std::to_string(f), 1);
        trees().folder("ziel");
        UseRule("0|4|1|1");
        Shown<Form1> w;
        const auto slow = SlowListingsFor(w);
        // Enter in a path box loads as "Ordner laden" does.
        Control<QLineEdit>(&w, "Text1")->setText(Q(trees().path("start")));
        Control<QLineEdit>(&w, "Text2")->setText(Q(trees().path("ziel")));
        QTest::keyClick(Control<QWidget>(&w, "Text2"), Qt::Key_Return);
        QCOMPARE(int(w.session().StartFileCount), 400);
        // "Abbrechen" is pressed as soon as the scan lets events run; neither the rule nor a
        // second load can be started under the running load, and both scans stop (how soon,
        // the threaded load's test counts).
        const QStringList locked = {"Command1", "Command5_2", "Combo1"};
        QStringList usable;
        QTimer::singleShot(0, &w, [&] {
            usable = EnabledOf(&w, locked);
            // Not while the button is locked: the empty path would be refused with a message.
            Control<QLineEdit>(&w, "Text1")->clear();
            QTest::keyClick(Control<QWidget>(&w, "Text1"), Qt::Key_Enter);
            Click(&w, "Command2");
        });
        LoadFolders(&w, trees().path("start"), trees().path("ziel"));
        QCOMPARE(usable, QStringList());
        QVERIFY(w.session().StartFileCount < 400);
        QCOMPARE(Rows(&w, "List1"), 0);
        QCOMPARE(EnabledOf(&w, locked + QStringList{"Command3"}), locked + QStringList{"Command3"});
    }

    void unreadableFoldersAreListedAndAnUnreadableStartLeavesNothingToRun() {
        TreeBuilder& t = trees();
        t.file("start/a.txt", 1, UnixTime(12, 0, 0));
        t.file("ziel/alt.txt", 1);
        FailingFileSystem fs;
        QStringList expected;
        for (int i = 10; i < 22; ++i) {
            const std::string folder = "start/g" + std::to_string(i) + "/";
            t.file(folder + "x.txt", 1);
            fs.failBelow(t.path(folder), EACCES);
            expected << Q(t.path(folder)) + " (Zugriff verweigert.)";
        }
        t.file("ziel/kaputt/y.txt", 1);
        fs.failBelow(t.path("ziel/kaputt/"), EIO);
        expected << Q(t.path("ziel/kaputt/")) +
                        " (Ein-/Ausgabefehler beim Zugriff auf den Datenträger.)";
        UseRule("0|5|1|1");
        Shown<Form1> w;
        w.setFileSystem(fs);
        bool listsShown = false;
        const SeenBox problems =
            CatchBox([&] { LoadFolders(&w, t.path("start"), t.path("ziel")); },
                     [&] { listsShown = Control<QListView>(&w, "List1")->isVisible(); });
        QCOMPARE(problems.informative, expected.mid(0, 10).join("\n") + "\n…");
        QCOMPARE(problems.details, expected.join("\n"));
        // The lists were shown before the box and stay usable.
        QVERIFY(listsShown);
        QCOMPARE(Rows(&w, "List2"), 1);
        QVERIFY(Enabled(&w, "Command3"));

        // The start folder is still there, but its entries cannot be listed.
        fs.failBelow(t.path("start/"), EACCES);
        const SeenBox error =
            CatchBox([&] { QTest::keyClick(Control<QWidget>(&w, "Combo1"), Qt::Key_Enter); });
        QCOMPARE(error.text, Q("Der Startordner \"" + t.path("start") +
                               "\" kann nicht gelesen werden: Zugriff verweigert."));
        QCOMPARE(Rows(&w, "List1") + Rows(&w, "List2"), 0);
        QCOMPARE(EnabledOf(&w, {"Command1", "Command3"}), QStringList{"Command1"});
    }

    // A million entries: shown with one reset of the list, scrolled without measuring each
    // row, and all unticked with one change; the totals follow.
    void aMillionEntriesAreShownAndUntickedInOneGo() {
        constexpr int kCount = 1000000;
        Shown<Form1> w;
        SyncSession& s = w.session();
        s.ResetCollections();
        s.StartPath = "/daten";
        s.TargetPath = "/sicherung";
        for (int i = 0; i < kCount; ++i) {
            MyFile* f = s.NewRecord("/daten/ordner" + std::to_string(i / 1000) + "/",
                                    "datei" + std::to_string(i));
            f->Size = 1000;
            f->Selected = f->IsStart = true;
            s.CopyList.push_back(f);
        }
        auto* list = Control<QListView>(&w, "List1");
        QSignalSpy inserted(list->model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(list->model(), &QAbstractItemModel::dataChanged);
        w.showComparedLists();
        QCOMPARE(Rows(&w, "List1"), kCount);
        QVERIFY(list->uniformItemSizes()); // else the view measures every row as it scrolls
        list->scrollToBottom();
        Click(&w, "Check1");
        QCOMPARE(inserted.count() + changed.count(), 1);
        QVERIFY(!s.CopyList.back()->Selected);
        QCOMPARE(TextOf(&w, "Label6"), Totals(0, 0, "kopiert"));
    }
};

GLEICHWART_UI_TEST_MAIN(LoadingTest)
#include "loading_test.moc"
