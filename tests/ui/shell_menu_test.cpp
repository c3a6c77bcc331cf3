// The context menu of files: what it offers from the test's own application database, how it
// starts applications, its signals and extra items, and its file verbs: renaming without
// overwriting, verbs that fail and leave the file, the properties window.
#include "menu_test_support.h"

#include "desktop/file_verbs.h"
#include "desktop/shell_menu.h"
#include "dialogs/file_properties.h"
#include "dialogs/rename_dialog.h"
#include "engine/copy_errors.h"
#include "kit/date_time_text.h"
#include "platform/failing_file_ops.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QStringList kTextFileMenu =
    QString("Öffnen mit Testeditor|Öffnen mit|-|Umbenennen...|In den "
            "Papierkorb verschieben|Endgültig löschen...|-|Eigenschaften")
        .split('|');
} // namespace

class ShellMenuTest : public UiTestCase {
    Q_OBJECT
private slots:
    void cleanup() {
        CancelModalWatchers();
        clsShellMenu().ClearExtraItems();
        home_.reset();
    }

    void extraItemsStandByPositionForEveryInstanceAroundTheDefaultFirst() {
        const std::string file = trees().text("Brief.txt", "Hallo");
        clsShellMenu registering, showing;
        QPixmap mark(16, 16);
        mark.fill(Qt::darkGreen);
        registering.AddExtraItem("Eins", 1);
        registering.AddExtraItem("-", 2);
        registering.AddExtraItem("Gesperrt", 3, false);
        registering.AddExtraItem("Angehakt", 0, true, true, mark, mark);
        MenuSeen seen;
        Choose({}, &seen);
        QVERIFY(!showing.ShellMenu(nullptr, Q(file)));
        QCOMPARE(seen.texts,
                 QStringList({"Eins", "-", "Gesperrt"}) + kTextFileMenu + QStringList{"Angehakt"});
        // Shell commands are numbered from 1 in the order they are offered, extra items
        // from 500 in the order they were added.
        QCOMPARE(seen.numbers, (QList<int>{1, 2, 3, 4, 5, 6, 500, 502, 503}));
        QCOMPARE(seen.checkable, QStringList{"Angehakt"});
        QCOMPARE(seen.ticked, QStringList{"Angehakt"});
        QCOMPARE(seen.disabled, QStringList{"Gesperrt"});
        QVERIFY(seen.pictured.contains("Angehakt") && !seen.pictured.contains("Eins"));

        showing.ClearExtraItems();
        QVERIFY(!registering.ShellMenu(nullptr, Q(file)));
        QCOMPARE(seen.texts, kTextFileMenu);
        QCOMPARE(seen.openWith, QStringList{"Testbetrachter"});
        QCOMPARE(seen.numbers, (QList<int>{1, 2, 3, 4, 5, 6}));
    }

    void anApplicationGetsExactlyTheFileAsItsArgument_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("byDefault"); // else by the other application
        QTest::newRow("plain, default") << "Brief.txt" << true;
        QTest::newRow("plain, other") << "Brief.txt" << false;
        QTest::newRow("quotes") << "mit \"doppelten\" und 'einfachen' Anführungen.txt" << true;
        QTest::newRow("dollar and backticks") << "$HOME $(touch x) `id` ;&|.txt" << false;
        QTest::newRow("leading dash") << "-rf --help.txt" << true;
        QTest::newRow("percent codes") << "%f %U 100%.txt" << false;
    }
    void anApplicationGetsExactlyTheFileAsItsArgument() {
        QFETCH(QString, name);
        QFETCH(bool, byDefault);
        const QString choice = byDefault ? "Öffnen mit Testeditor" : "Testbetrachter";
        const std::string file = trees().text("Ordner mit Leerzeichen/" + name.toStdString(), "x");
        clsShellMenu s;
        MenuSignals events(s);
        Choose(choice);
        QVERIFY(s.ShellMenu(nullptr, Q(file)));
        const StartedApplication started = TakeStartedApplication(byDefault ? "editor" : "viewer");
        QCOMPARE(started.arguments, QStringList{Q(file)});
        // Started on its own: the program is not its parent.
        QVERIFY(started.parentProcess != 0 && started.parentProcess != ::getpid());
        QCOMPARE(events.events, (QStringList{"vorher:" + choice, "nachher:" + choice}));
    }

    void filesOfOneFolderShareOneMenu() {
        const std::string a = trees().text("Ordner/a.txt", "A");
        const std::string b = trees().text("Ordner/b.txt", "B");
        const std::string picture = trees().text("Ordner/c.png", "\x89PNG\r\n\x1a\n");
        clsShellMenu s;
        MenuSeen seen;
        Choose("Öffnen mit Testeditor", &seen);
        QVERIFY(s.ShellMenu(nullptr, QStringList{Q(a), Q(b)}));
        // Renaming and the properties are for one file; the rest applies to all of them.
        QCOMPARE(seen.texts,
                 (QStringList{"Öffnen mit Testeditor", "Öffnen mit", "-",
                              "In den Papierkorb verschieben", "Endgültig löschen..."}));
        QCOMPARE(TakeStartedApplication("editor").arguments, (QStringList{Q(a), Q(b)}));
        // No application of the database opens a picture: none is offered for both.
        Choose({}, &seen);
        QVERIFY(!s.ShellMenu(nullptr, QVariantList{Q(a), QByteArray::fromStdString(picture)}));
        QCOMPARE(seen.texts,
                 (QStringList{"In den Papierkorb verschieben", "Endgültig löschen..."}));
        Choose("In den Papierkorb verschieben");
        QVERIFY(s.ShellMenu(nullptr, QStringList{Q(a), Q(b)}));
        QVERIFY(!FileExists(a) && !FileExists(b) && FileExists(picture));
        QCOMPARE(TrashedNames(Q(home_->home.path())), (QStringList{"a.txt", "b.txt"}));
    }

    void filesThatCannotBeShownGiveNoMenu_data() {
        QTest::addColumn<QVariant>("files"); // relative to the trees' folder
        QTest::newRow("a number") << QVariant(42);
        QTest::newRow("nothing") << QVariant();
        QTest::newRow("an empty list") << QVariant(QStringList{});
        QTest::newRow("a list with a number") << QVariant(QVariantList{"a.txt", 7});
        QTest::newRow("a missing file") << QVariant("fehlt.txt");
        QTest::newRow("two folders") << QVariant(QStringList{"a.txt", "unter/a.txt"});
        QTest::newRow("a folder's path") << QVariant("unter/");
    }
    void filesThatCannotBeShownGiveNoMenu() {
        QFETCH(QVariant, files);
        trees().text("a.txt", "A");
        trees().text("unter/a.txt", "B");
        const QString before = QDir::currentPath();
        QDir::setCurrent(Q(trees().root()));
        clsShellMenu s;
        s.AddExtraItem("Eins", 1);
        MenuSignals events(s);
        MenuSeen seen;
        Choose("Eins", &seen);
        const bool shown = s.ShellMenu(nullptr, files);
        QDir::setCurrent(before);
        QVERIFY(!shown);
        QCOMPARE(seen.opened, 0);
        QCOMPARE(events.events, QStringList());
    }

    void commandsRaiseBeforeThenAfterUnlessCancelled_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QStringList>("expected");
        const QString before = "vorher:Endgültig löschen... (da)";
        QTest::newRow("carried out")
            << false << QStringList{before, "nachher:Endgültig löschen... (weg)"};
        QTest::newRow("cancelled") << true << QStringList{before};
    }
    void commandsRaiseBeforeThenAfterUnlessCancelled() {
        QFETCH(bool, cancel);
        QFETCH(QStringList, expected);
        const std::string file = trees().text("weg.txt", "x");
        clsShellMenu s;
        MenuSignals events(s, file);
        events.cancel = cancel;
        Choose("Endgültig löschen...");
        const QVariant files = QByteArray::fromStdString(file);
        const QStringList asked = Messages([&] { QVERIFY(s.ShellMenu(nullptr, files)); });
        QCOMPARE(asked, cancel
                            ? QStringList()
                            : QStringList{"Soll diese Datei wirklich endgültig gelöscht werden?"});
        QCOMPARE(events.events, expected);
        QCOMPARE(events.files, files);
        QCOMPARE(FileExists(file), cancel);
    }

    void anExtraItemRunsNothingAndDismissingRaisesNothing() {
        const std::string file = trees().text("a.txt", "A");
        clsShellMenu s;
        s.AddExtraItem("Eins", 1);
        s.AddExtraItem("Zwei", 2);
        MenuSignals events(s, file);
        Choose("Zwei");
        QVERIFY(s.ShellMenu(nullptr, Q(file)));
        QCOMPARE(events.events, QStringList{"extra:1"});
        QCOMPARE(events.files, QVariant(Q(file)));
        QCOMPARE(TakeStartedApplication("editor", 300).arguments, QStringList());
        QCOMPARE(ReadFile(file), std::string("A"));
        MenuSeen seen;
        Choose({}, &seen);
        QVERIFY(!s.ShellMenu(nullptr, Q(file)));
        QCOMPARE(seen.opened, 1);
        QCOMPARE(events.events, QStringList{"extra:1"});
    }

    void renameRefusesATakenNameAndTouchesNeitherFile() {
        const std::string a = trees().text("a.txt", "A");
        const std::string b = trees().text("b.txt", "B");
        const std::string folder = trees().root() + "/";
        clsShellMenu s;
        MenuSignals events(s);
        AnswerRename("b.txt");
        Choose("Umbenennen...");
        QCOMPARE(Messages([&] { QVERIFY(s.ShellMenu(nullptr, Q(a))); }),
                 QStringList{RenameDialog::TakenText("b.txt")});
        QCOMPARE(ReadFile(a) + ReadFile(b), std::string("AB"));
        QCOMPARE(events.events, (QStringList{"vorher:Umbenennen...", "nachher:Umbenennen..."}));
        // A name taken between the question and the renaming is not replaced either.
        platform::FileOps ops;
        QCOMPARE(RenameEntry(ops, folder, "a.txt", "b.txt"), EEXIST);
        QCOMPARE(ReadFile(a) + ReadFile(b), std::string("AB"));
        // Names that are no names are refused before anything is tried; the old name is no
        // refusal.
        const RenameDialog dialog(nullptr, folder, "a.txt");
        for (const QString& bad : {QString(), QString("x/y"), QString("."), QString(".."),
                                   QString(256, 'n'), QString("b.txt")})
            QVERIFY2(!dialog.problem(bad).isEmpty(), qPrintable(bad));
        QCOMPARE(dialog.problem("a.txt"), QString());
        // The name is offered with its part before the extension selected.
        for (const QString& shown :
             QStringList{"[Brief].txt", "[archiv.tar].gz", "[.profile]", "[LIESMICH]"}) {
            RenameDialog offered(nullptr, folder,
                                 QString(shown).remove('[').remove(']').toStdString());
            const auto* box = Control<QLineEdit>(&offered, "NewName");
            QCOMPARE(
                box->text().insert(box->selectionEnd(), ']').insert(box->selectionStart(), '['),
                shown);
        }
        AnswerRename("neu.txt");
        QVERIFY(s.ShellMenu(nullptr, Q(a)));
        QVERIFY(!FileExists(a));
        QCOMPARE(ReadFile(folder + "neu.txt"), std::string("A"));
    }

    void failingVerbsSayWhyAndLeaveTheFile() {
        const std::string file = trees().text("a.txt", "A");
        clsShellMenu s;
        MenuSignals events(s, file);
        FailingOps ops; // the folder opens; every call after that fails
        ops.failAt = 2;
        ops.persist = true;
        s.setFileOps(ops);
        const QString reason = "„a.txt“: " + Q(ErrorDescription(EIO));
        const auto run = [&](const QString& verb) {
            ops.calls = 0;
            Choose(verb);
            return Messages([&] { QVERIFY(s.ShellMenu(nullptr, Q(file))); });
        };
        QVERIFY(run("In den Papierkorb verschieben").value(0).endsWith(reason));
        QVERIFY(TrashedNames(Q(home_->home.path())).isEmpty());
        QVERIFY(run("Endgültig löschen...").value(1).endsWith(reason)); // after the question
        AnswerRename("neu.txt");
        QCOMPARE(run("Umbenennen..."),
                 QStringList{"„a.txt“ konnte nicht umbenannt werden: " + Q(ErrorDescription(EIO))});
        QVERIFY(!FileExists(trees().path("neu.txt")));
        // Before and after each, and the file there all the time.
        QCOMPARE(events.events.filter(" (da)").size(), 6);
    }

    void propertiesShowWhatTheFileSystemSays() {
        const std::string file = trees().file("Ordner/Brief.txt", 1234, UnixTime(9, 30, 15));
        QCOMPARE(::chmod(file.c_str(), 0640), 0);
        clsShellMenu s;
        Choose("Eigenschaften");
        QVERIFY(s.ShellMenu(nullptr, Q(file)));
        FileProperties* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "FileProperties" && w->isVisible())
                window = static_cast<FileProperties*>(w);
        QVERIFY(window != nullptr && !window->isModal());
        const auto field = [window](const char* name) { return TextOf(window, name); };
        QCOMPARE(field("PropName"), QString("Brief.txt"));
        QCOMPARE(field("PropFolder"), Q(trees().path("Ordner")));
        QCOMPARE(field("PropType"), QString("Einfaches Textdokument (text/plain)"));
        QVERIFY2(field("PropSize").endsWith("(1.234 Bytes)"), qPrintable(field("PropSize")));
        QCOMPARE(field("PropModified"), LocalDateTimeText(UnixTime(9, 30, 15), false));
        QCOMPARE(field("PropPermissions"), QString("rw-r----- (640)"));
        QVERIFY(field("PropOwner").endsWith(QString("(%1)").arg(::getuid())));
        QVERIFY(field("PropGroup").endsWith(QString("(%1)").arg(::getgid())));
        SaveScreenshot(window, "file-properties");
        window->close();
        QCOMPARE(FileProperties(nullptr, trees().path("fehlt.txt")).error(), ENOENT);
    }
};

GLEICHWART_MENU_TEST_MAIN(ShellMenuTest)
#include "shell_menu_test.moc"
