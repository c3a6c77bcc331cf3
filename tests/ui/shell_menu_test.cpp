// The context menu of files: what it offers from the test's own application database, how it
// starts applications, its signals and its extra items.
#include "shell_menu_test.h"

#include "core/temp_home.h"
#include "core/tree_builder.h"
#include "desktop/shell_menu.h"
#include "menu_test_support.h"
#include "test_applications.h"
#include "ui_test_support.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>

#include <unistd.h>

struct ShellMenuTest::Home {
    TempHome home;
    TreeBuilder trees;
};

namespace {} // namespace

void ShellMenuTest::init() {
    home_ = new Home;
    ForgetStartedApplications();
    Choose({}); // no test may open a real menu, which would wait for a person
}

void ShellMenuTest::cleanup() {
    CancelModalWatchers();
    clsShellMenu().ClearExtraItems();
    delete home_;
    home_ = nullptr;
}

void ShellMenuTest::aTextFileOffersBothApplicationsTheDefaultFirst() {
    const std::string file = home_->trees.text("Brief.txt", "Hallo");
    clsShellMenu s;
    MenuSeen seen;
    Choose({}, &seen);
    QVERIFY(!s.ShellMenu(nullptr, Q(file)));
    QCOMPARE(seen.texts, (QStringList{"Öffnen mit Testeditor", "Öffnen mit", "-", "Umbenennen...",
                                      "In den Papierkorb verschieben", "Endgültig löschen...", "-",
                                      "Eigenschaften"}));
    QCOMPARE(seen.openWith, QStringList{"Testbetrachter"});
    // Shell commands are numbered from 1, in the order they are offered.
    QCOMPARE(seen.numbers, (QList<int>{1, 2, 3, 4, 5, 6}));
}

void ShellMenuTest::anApplicationGetsExactlyTheFileAsItsArgument_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("which");
    QTest::newRow("plain, default") << "Brief.txt"
                                    << "Öffnen mit Testeditor"
                                    << "editor";
    QTest::newRow("plain, other") << "Brief.txt"
                                  << "Testbetrachter"
                                  << "viewer";
    QTest::newRow("blanks and quotes") << "mit \"doppelten\" und 'einfachen' Anführungen.txt"
                                       << "Öffnen mit Testeditor"
                                       << "editor";
    QTest::newRow("dollar and backticks") << "$HOME $(touch x) `id` ;&|.txt"
                                          << "Testbetrachter"
                                          << "viewer";
    QTest::newRow("leading dash") << "-rf --help.txt"
                                  << "Öffnen mit Testeditor"
                                  << "editor";
    QTest::newRow("percent codes") << "%f %U 100%.txt"
                                   << "Testbetrachter"
                                   << "viewer";
}

void ShellMenuTest::anApplicationGetsExactlyTheFileAsItsArgument() {
    QFETCH(QString, name);
    QFETCH(QString, choice);
    QFETCH(QString, which);
    const std::string file =
        home_->trees.text("Ordner mit Leerzeichen/" + name.toStdString(), "Inhalt");
    clsShellMenu s;
    MenuSignals events(s);
    Choose(choice);
    QVERIFY(s.ShellMenu(nullptr, Q(file)));
    const StartedApplication started = TakeStartedApplication(which);
    QCOMPARE(started.arguments, QStringList{Q(file)});
    // Started on its own: the program is not its parent.
    QVERIFY(started.parentProcess != 0);
    QVERIFY(started.parentProcess != qint64(::getpid()));
    QCOMPARE(events.events, (QStringList{"vorher:" + choice, "nachher:" + choice}));
}

void ShellMenuTest::filesOfOneFolderShareOneMenu() {
    const std::string a = home_->trees.text("Ordner/a.txt", "A");
    const std::string b = home_->trees.text("Ordner/b.txt", "B");
    const std::string picture = home_->trees.text("Ordner/c.png", "\x89PNG\r\n\x1a\n");
    clsShellMenu s;
    MenuSeen seen;
    Choose("Öffnen mit Testeditor", &seen);
    QVERIFY(s.ShellMenu(nullptr, QStringList{Q(a), Q(b)}));
    // Renaming and the properties are for one file; the rest applies to all of them.
    QCOMPARE(seen.texts, (QStringList{"Öffnen mit Testeditor", "Öffnen mit", "-",
                                      "In den Papierkorb verschieben", "Endgültig löschen..."}));
    QCOMPARE(TakeStartedApplication("editor").arguments, (QStringList{Q(a), Q(b)}));

    // No application of the database opens a picture: none is offered for both.
    Choose({}, &seen);
    QVERIFY(!s.ShellMenu(nullptr, QVariantList{Q(a), QByteArray::fromStdString(picture)}));
    QCOMPARE(seen.texts, (QStringList{"In den Papierkorb verschieben", "Endgültig löschen..."}));

    Choose("In den Papierkorb verschieben");
    QVERIFY(s.ShellMenu(nullptr, QStringList{Q(a), Q(b)}));
    QVERIFY(!FileExists(a));
    QVERIFY(!FileExists(b));
    QVERIFY(FileExists(picture));
    QCOMPARE(TrashedNames(Q(home_->home.path() + "/data/Trash")), (QStringList{"a.txt", "b.txt"}));
}

void ShellMenuTest::filesThatCannotBeShownGiveNoMenu_data() {
    QTest::addColumn<QVariant>("files");
    QTest::addColumn<QString>("existing"); // made before the call
    QTest::newRow("a number") << QVariant(42) << "a.txt";
    QTest::newRow("nothing") << QVariant() << "a.txt";
    QTest::newRow("an empty list") << QVariant(QStringList{}) << "a.txt";
    QTest::newRow("a list with a number") << QVariant(QVariantList{"a.txt", 7}) << "a.txt";
    QTest::newRow("a missing file") << QVariant("fehlt.txt") << "a.txt";
    QTest::newRow("two folders") << QVariant(QStringList{"a.txt", "unter/b.txt"}) << "a.txt";
    QTest::newRow("a folder's path") << QVariant("unter/") << "unter/b.txt";
}

void ShellMenuTest::filesThatCannotBeShownGiveNoMenu() {
    QFETCH(QVariant, files);
    QFETCH(QString, existing);
    home_->trees.text("a.txt", "A");
    home_->trees.text("unter/b.txt", "B");
    // Relative names are taken in the trees' folder.
    const QString before = QDir::currentPath();
    QDir::setCurrent(Q(home_->trees.root()));
    clsShellMenu s;
    s.AddExtraItem("Eins", 1);
    MenuSignals events(s);
    MenuSeen seen;
    Choose("Eins", &seen);
    const bool shown = s.ShellMenu(nullptr, files);
    QDir::setCurrent(before);
    QVERIFY(!shown);
    QVERIFY(!seen.opened);
    QVERIFY(events.events.isEmpty());
    QVERIFY(FileExists(home_->trees.path(existing.toStdString())));
}

void ShellMenuTest::commandsRaiseBeforeThenAfter() {
    const std::string file = home_->trees.text("weg.txt", "x");
    clsShellMenu s;
    MenuSignals events(s, file);
    QString question;
    OnNextModal([&](QWidget* modal) {
        question = Seen(modal).text;
        PressYes(modal);
    });
    Choose("Endgültig löschen...");
    const QVariant files = QByteArray::fromStdString(file);
    QVERIFY(s.ShellMenu(nullptr, files));
    QCOMPARE(question, QString("Soll diese Datei wirklich endgültig gelöscht werden?"));
    QCOMPARE(events.events, (QStringList{"vorher:Endgültig löschen... (da)",
                                         "nachher:Endgültig löschen... (weg)"}));
    QCOMPARE(events.files, files);
}

void ShellMenuTest::cancelStopsTheCommandAndTheAfterEvent() {
    const std::string file = home_->trees.text("bleibt.txt", "x");
    clsShellMenu s;
    MenuSignals events(s, file);
    events.cancel = true;
    bool asked = false;
    OnNextModal([&asked](QWidget*) { asked = true; });
    Choose("Endgültig löschen...");
    QVERIFY(s.ShellMenu(nullptr, Q(file)));
    QTest::qWait(50);
    QVERIFY(!asked);
    QVERIFY(FileExists(file));
    QCOMPARE(events.events, QStringList{"vorher:Endgültig löschen... (da)"});
}

void ShellMenuTest::extraItemsStandByPositionForEveryInstance() {
    const std::string file = home_->trees.text("a.txt", "A");
    clsShellMenu registering, showing;
    QPixmap mark(16, 16);
    mark.fill(Qt::darkGreen);
    registering.AddExtraItem("Eins", 1);
    registering.AddExtraItem("-", 2);
    registering.AddExtraItem("Gesperrt", 3, false);
    registering.AddExtraItem("Angehakt", 0, true, true, mark, mark);
    struct Item {
        QString text;
        bool checkable, checked, enabled, icon;
        int number;
    };
    QList<Item> items;
    clsShellMenu::setMenuChooser([&items](QMenu& m) -> QAction* {
        for (QAction* a : m.actions())
            items.append({a->isSeparator() ? QString("-") : a->text(), a->isCheckable(),
                          a->isChecked(), a->isEnabled(), !a->icon().isNull(), a->data().toInt()});
        return nullptr;
    });
    QVERIFY(!showing.ShellMenu(nullptr, Q(file)));
    QVERIFY(items.size() > 5);
    QCOMPARE(items[0].text, QString("Eins"));
    QCOMPARE(items[1].text, QString("-"));
    QCOMPARE(items[2].text, QString("Gesperrt"));
    QCOMPARE(items[3].text, QString("Öffnen mit Testeditor"));
    QCOMPARE(items.last().text, QString("Angehakt"));
    QVERIFY(!items[0].checkable);
    QVERIFY(items[0].enabled);
    QVERIFY(!items[2].enabled);
    QVERIFY(items.last().checked);
    QVERIFY(items.last().icon);
    QCOMPARE(items[0].number, 500);
    QCOMPARE(items[2].number, 502);
    QCOMPARE(items.last().number, 503);

    showing.ClearExtraItems();
    MenuSeen seen;
    Choose({}, &seen);
    registering.ShellMenu(nullptr, Q(file));
    QCOMPARE(seen.texts.first(), QString("Öffnen mit Testeditor"));
}

void ShellMenuTest::anExtraItemRunsNothing() {
    const std::string file = home_->trees.text("a.txt", "A");
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
}

void ShellMenuTest::dismissingRaisesNothing() {
    const std::string file = home_->trees.text("a.txt", "A");
    clsShellMenu s;
    s.AddExtraItem("Eins", 1);
    MenuSignals events(s);
    MenuSeen seen;
    Choose({}, &seen);
    QVERIFY(!s.ShellMenu(nullptr, Q(file)));
    QVERIFY(seen.opened);
    QVERIFY(events.events.isEmpty());
}

int main(int argc, char* argv[]) {
    UseTestApplications();
    return RunUiTest(argc, argv, [] { return std::make_unique<ShellMenuTest>(); });
}
