// The context menu of files: how it starts applications from the test's own database, when it
// offers none, its signals, and its file verbs: renaming without overwriting, verbs that fail
// and leave the file.
#include "menu_test_support.h"

#include "desktop/file_verbs.h"
#include "desktop/rename_dialog.h"
#include "desktop/shell_menu.h"
#include "engine/copy_errors.h"
#include "platform/failing_file_ops.h"

#include <unistd.h>

class ShellMenuTest : public UiTestCase {
    Q_OBJECT
private slots:
    void cleanup() {
        CancelModalWatchers();
        clsShellMenu().ClearExtraItems();
        home_.reset();
    }

    void anApplicationGetsExactlyTheFileAsItsArgument() {
        // By the default application, and by the other one.
        for (const auto& [name, byDefault] :
             {std::pair{"mit \"doppelten\" und 'einfachen' $HOME $(touch x) `id` ;&|.txt", true},
              {"-rf --help %f %U 100%.txt", false}}) {
            const QString choice = byDefault ? "Öffnen mit Testeditor" : "Testbetrachter";
            const std::string file =
                trees().text(std::string("Ordner mit Leerzeichen/") + name, "x");
            clsShellMenu s;
            MenuSignals events(s);
            Choose(choice, 1); // the first of the menu, the first of "Öffnen mit"
            QVERIFY(s.ShellMenu(nullptr, Q(file)));
            const StartedApplication started =
                TakeStartedApplication(byDefault ? "editor" : "viewer");
            QCOMPARE(started.arguments, QStringList{Q(file)});
            // Started on its own: the program is not its parent.
            QVERIFY(started.parentProcess != 0 && started.parentProcess != ::getpid());
            QCOMPARE(events.events, (QStringList{"vorher:" + choice, "nachher:" + choice}));
        }
    }

    // A missing file, files of two folders and a folder's path, relative to the current folder,
    // give no menu. On a file an extra item raises its signal and runs nothing else, and
    // dismissing the menu raises nothing.
    void extraItemsRunNothingAndFilesThatCannotBeShownGiveNoMenu() {
        const std::string file = trees().text("a.txt", "A");
        trees().text("unter/a.txt", "B");
        clsShellMenu s;
        s.AddExtraItem("Eins", 1);
        s.AddExtraItem("Zwei", 2);
        MenuSignals events(s, file);
        MenuSeen seen;
        Choose("Zwei", 2, &seen);
        const QString before = QDir::currentPath();
        QDir::setCurrent(Q(trees().root()));
        for (const QVariant& files :
             {QVariant("fehlt.txt"), QVariant(QStringList{"a.txt", "unter/a.txt"}),
              QVariant("unter/")})
            QVERIFY2(!s.ShellMenu(nullptr, files), qPrintable(files.toStringList().join(" ")));
        QDir::setCurrent(before);
        QCOMPARE(seen.opened, 0);
        QCOMPARE(events.events, QStringList());
        QVERIFY(s.ShellMenu(nullptr, Q(file)));
        QCOMPARE(events.events, QStringList{"extra:1"});
        QCOMPARE(events.files, QVariant(Q(file)));
        QCOMPARE(TakeStartedApplication("editor", 300).arguments, QStringList());
        QCOMPARE(ReadFile(file), std::string("A"));
        Dismiss(&seen);
        QVERIFY(!s.ShellMenu(nullptr, Q(file)));
        QCOMPARE(seen.opened, 2);
        QCOMPARE(events.events, QStringList{"extra:1"});
    }

    void renameRefusesATakenNameAndACancelledCommandDoesNothing() {
        const std::string a = trees().text("a.txt", "A");
        const std::string b = trees().text("b.txt", "B");
        const std::string folder = trees().root() + "/";
        clsShellMenu s;
        MenuSignals events(s, a);
        AnswerRename("b.txt");
        Choose("Umbenennen...", 4);
        QCOMPARE(Messages([&] { QVERIFY(s.ShellMenu(nullptr, Q(a))); }),
                 QStringList{RenameDialog::TakenText("b.txt")});
        QCOMPARE(ReadFile(a) + ReadFile(b), std::string("AB"));
        QCOMPARE(events.events,
                 (QStringList{"vorher:Umbenennen... (da)", "nachher:Umbenennen... (da)"}));
        // A name taken between the question and the renaming is not replaced either.
        platform::FileOps ops;
        QCOMPARE(RenameEntry(ops, folder, "a.txt", "b.txt"), EEXIST);
        QCOMPARE(ReadFile(a) + ReadFile(b), std::string("AB"));
        // Names that are no names are refused before anything is tried; the old name is no
        // refusal.
        const RenameDialog dialog(nullptr, folder, "a.txt");
        for (const QString& bad : {QString(), QString("x/y"), QString(".."), QString("b.txt")})
            QVERIFY2(!dialog.problem(bad).isEmpty(), qPrintable(bad));
        QCOMPARE(dialog.problem("a.txt"), QString());
        // A command cancelled before it runs: no question, no "after", the file stays.
        events.events.clear();
        events.cancel = true;
        Choose("Endgültig löschen...", 6);
        QCOMPARE(Messages([&] { QVERIFY(s.ShellMenu(nullptr, Q(a))); }), QStringList());
        events.cancel = false;
        AnswerRename("neu.txt");
        Choose("Umbenennen...", 4);
        QVERIFY(s.ShellMenu(nullptr, Q(a)));
        QCOMPARE(ReadFile(folder + "neu.txt"), std::string("A"));
        // "after" comes when the file is gone; the files of both are the one given.
        QCOMPARE(events.events,
                 (QStringList{"vorher:Endgültig löschen... (da)", "vorher:Umbenennen... (da)",
                              "nachher:Umbenennen... (weg)"}));
        QCOMPARE(events.files, QVariant(Q(a)));
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
        const auto run = [&](const QString& verb, int place) {
            ops.calls = 0;
            Choose(verb, place);
            return Messages([&] { QVERIFY(s.ShellMenu(nullptr, Q(file))); });
        };
        QVERIFY(run("In den Papierkorb verschieben", 5).value(0).endsWith(reason));
        QVERIFY(run("Endgültig löschen...", 6).value(1).endsWith(reason)); // after the question
        AnswerRename("neu.txt");
        QCOMPARE(run("Umbenennen...", 4),
                 QStringList{"„a.txt“ konnte nicht umbenannt werden: " + Q(ErrorDescription(EIO))});
        QVERIFY(!FileExists(trees().path("neu.txt")));
        // Before and after each, and the file there all the time.
        QCOMPARE(events.events.filter(" (da)").size(), 6);
    }
};

int main(int argc, char* argv[]) {
    UseTestApplications();
    return RunUiTest(argc, argv, [] { return std::make_unique<ShellMenuTest>(); });
}
#include "shell_menu_test.moc"
