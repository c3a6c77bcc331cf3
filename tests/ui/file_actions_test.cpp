// The main window's lists as a user meets them: the mouse, the keyboard and the context menu
// of their files, and what the window does when a verb of the menu took a file away.
#include "menu_test_support.h"

#include "desktop/shell_menu.h"
#include "engine/texts.h"
#include "platform/failing_file_ops.h"

#include <QApplication>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <ctime>

namespace {

QString Totals(int files, std::int64_t bytes, const char* what = "kopiert") {
    return Q("Es müssen " + std::to_string(files) + " Dateien mit insgesamt " + FormatSize(bytes) +
             " " + what + " werden.");
}

void ClickEntry(QListView* list, int row, Qt::MouseButton button = Qt::RightButton) {
    QTest::mouseClick(list->viewport(), button, Qt::NoModifier,
                      list->visualRect(list->model()->index(row, 0)).center());
}

// How many entries of both lists are ticked.
int TickedCount(Form1& w) {
    int ticked = 0;
    for (const FileList* list : {&w.session().CopyList, &w.session().DeleteList})
        for (const MyFile* f : *list)
            ticked += f->Selected ? 1 : 0;
    return ticked;
}

// Three text files to copy of 1 KB each, and two to delete.
std::unique_ptr<Form1> LoadedLists(TreeBuilder& t) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        t.file(std::string("start/") + name, 1024, UnixTime(12, 0, 0));
    t.text("ziel/x.txt", "x");
    t.text("ziel/y.txt", "yy");
    auto window = LoadedWindow("0|4|1|1", t);
    window->resize(900, 560);
    return window;
}

} // namespace

class FileActionsTest : public UiTestCase {
    Q_OBJECT
private slots:
    void theTickItemInvertsTheEntryInItsListOnly_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("unticked"); // the totals then
        QTest::newRow("copy list") << 0 << 1 << "Kopieren" << Totals(2, 2048);
        QTest::newRow("delete list") << 1 << 0 << "Löschen" << Totals(1, 2, "gelöscht");
    }
    void theTickItemInvertsTheEntryInItsListOnly() {
        QFETCH(int, tab);
        QFETCH(int, row);
        QFETCH(QString, item);
        QFETCH(QString, unticked);
        const auto w = LoadedLists(trees());
        Control<QTabBar>(w.get(), "TabStrip1Tabs")->setCurrentIndex(tab);
        auto* list = Control<QListView>(w.get(), tab == 0 ? "List1" : "List2");
        const MyFile* entry = (tab == 0 ? w->session().CopyList : w->session().DeleteList)[row];
        const QString ticked = TextOf(w.get(), "Label6");
        MenuSeen seen;
        Choose(item, &seen);
        ClickEntry(list, row);
        QCOMPARE(seen.texts.mid(0, 4),
                 (QStringList{item, "Im Dateimanager zeigen", "-", "Öffnen mit Testeditor"}));
        QStringList captions = seen.texts;
        captions.removeAll("-");
        QCOMPARE(captions.removeDuplicates(), 0);
        QVERIFY(seen.ticked.contains(item));
        QCOMPARE(list->currentIndex().row(), row);
        QVERIFY(!entry->Selected);
        QCOMPARE(TickedCount(*w), 4);
        QCOMPARE(TextOf(w.get(), "Label6"), unticked);
        QVERIFY(!Checked(w.get(), "Check1"));
        QVERIFY(FileExists(entry->Path()));

        // Now unticked, the item shows no tick; choosing it ticks the entry again.
        ClickEntry(list, row);
        QCOMPARE(seen.opened, 2);
        QVERIFY(!seen.ticked.contains(item));
        QVERIFY(entry->Selected);
        QCOMPARE(TextOf(w.get(), "Label6"), ticked);
        QVERIFY(Checked(w.get(), "Check1"));
    }

    void onlyTheRightButtonAndTheMenuKeysOpenTheMenuOfTheEntry() {
        const auto w = LoadedLists(trees());
        auto* list = Control<QListView>(w.get(), "List1");
        MenuSeen seen;
        Choose({}, &seen);
        // Beside every entry no click changes anything.
        list->setCurrentIndex(list->model()->index(1, 0));
        const QRect last = list->visualRect(list->model()->index(2, 0));
        const QPoint below(last.center().x(), last.bottom() + 20);
        for (Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton, Qt::MiddleButton}) {
            QTest::mouseClick(list->viewport(), button, Qt::NoModifier, below);
            QTest::mouseDClick(list->viewport(), button, Qt::NoModifier, below);
        }
        QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(TextOf(w.get(), "Frame2"), Q(trees().path("start/b.txt")));
        // On an entry every button makes it current.
        ClickEntry(list, 2, Qt::LeftButton);
        QCOMPARE(TextOf(w.get(), "Frame2"), Q(trees().path("start/c.txt")));
        ClickEntry(list, 1, Qt::MiddleButton);
        QCOMPARE(list->currentIndex().row(), 1);
        QCOMPARE(seen.opened, 0);
        ClickEntry(list, 0);
        QCOMPARE(list->currentIndex().row(), 0);
        QCOMPARE(seen.opened, 1);
        QCOMPARE(TickedCount(*w), 5); // dismissed: nothing changed
        QVERIFY(Enabled(w.get(), "Command3"));

        // A click on a tick box makes its entry current too.
        QStyleOptionViewItem option;
        option.initFrom(list->viewport());
        option.rect = list->visualRect(list->model()->index(2, 0));
        option.features =
            QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->style()
                              ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list)
                              .center());
        QVERIFY(!w->session().CopyList[2]->Selected);
        QCOMPARE(TextOf(w.get(), "Frame2"), Q(trees().path("start/c.txt")));
        QCOMPARE(TextOf(w.get(), "Label6"), Totals(2, 2048));

        // The keys open the menu of the current entry; F10 alone is no menu key.
        Choose("Kopieren", &seen);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(w->session().CopyList[2]->Selected);
        QTest::keyClick(list, Qt::Key_Menu);
        QVERIFY(!w->session().CopyList[2]->Selected);
        QTest::keyClick(list, Qt::Key_F10);
        QCOMPARE(seen.opened, 3);
    }

    void verbsThatTakeTheFileAwayTakeTheEntryOff_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("verb");
        QTest::newRow("rename on the copy list") << 0 << "Umbenennen...";
        QTest::newRow("trash on the copy list") << 0 << "In den Papierkorb verschieben";
        QTest::newRow("delete on the delete list") << 1 << "Endgültig löschen...";
    }
    void verbsThatTakeTheFileAwayTakeTheEntryOff() {
        QFETCH(int, tab);
        QFETCH(QString, verb);
        const auto w = LoadedLists(trees());
        Control<QTabBar>(w.get(), "TabStrip1Tabs")->setCurrentIndex(tab);
        auto* list = Control<QListView>(w.get(), tab == 0 ? "List1" : "List2");
        FileList& entries = tab == 0 ? w->session().CopyList : w->session().DeleteList;
        const int before = int(entries.size());
        MyFile* gone = entries[1];
        const std::string path = gone->Path();
        if (verb == "Umbenennen...")
            AnswerRename("umbenannt.txt");
        Choose(verb);
        Messages([&] { ClickEntry(list, 1); });
        QVERIFY(!FileExists(path));
        QVERIFY(std::find(entries.begin(), entries.end(), gone) == entries.end());
        QCOMPARE(Rows(w.get(), list->objectName()), before - 1);
        QVERIFY(!Items(w.get(), list->objectName()).contains(Q(path)));
        QVERIFY(!Enabled(w.get(), "Command3"));
        // The totals count what is left.
        QVERIFY2(TextOf(w.get(), "Label6").startsWith(QString("Es müssen %1 ").arg(before - 1)),
                 qPrintable(TextOf(w.get(), "Label6")));
    }

    void verbsThatLeaveTheFileChangeNothing() {
        const auto w = LoadedLists(trees());
        auto* list = Control<QListView>(w.get(), "List1");
        FailingOps failingTrash;
        failingTrash.failAt = 1;
        const auto unchanged = [&](const QString& verb) {
            Choose(verb);
            const QStringList messages = Messages([&] { ClickEntry(list, 1); });
            QCOMPARE(messages.size(), verb.startsWith("In den Papierkorb") ? 1 : 0);
            QCOMPARE(w->session().CopyList.size(), std::size_t(3));
            QCOMPARE(Rows(w.get(), "List1"), 3);
            QVERIFY(Enabled(w.get(), "Command3"));
            QVERIFY(FileExists(trees().path("start/b.txt")));
        };
        unchanged("Eigenschaften");
        unchanged("Öffnen mit Testeditor");
        QCOMPARE(TakeStartedApplication("editor").arguments,
                 QStringList{Q(trees().path("start/b.txt"))});
        OnNextModal([](QWidget*) {}); // the rename given up
        unchanged("Umbenennen...");
        w->findChild<clsShellMenu*>("S")->setFileOps(failingTrash);
        unchanged("In den Papierkorb verschieben");
    }

    void noMenuOpensWhileARunCopies() {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            trees().file(std::string("start/") + name, 3 << 20);
        trees().folder("ziel");
        const auto w = LoadedWindow("0|0|1|1", trees());
        const auto slow = SlowCopiesFor(*w);
        auto* list = Control<QListView>(w.get(), "List1");
        MenuSeen seen;
        Choose({}, &seen);
        bool tried = false;
        QTimer::singleShot(30, [&] {
            tried = true;
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Menu);
            ClickEntry(list, 1);
        });
        Click(w.get(), "Command3");
        QVERIFY(tried);
        QCOMPARE(seen.opened, 0);
        QVERIFY(FileExists(trees().path("ziel/c.txt")));
    }

    void entriesShowOnOneLineWithLocalTime() {
        // 2024-05-17 10:00 UTC is 12:00 in Central European summer time.
        for (const char* name : {"mit\tTab.txt", "schlicht.txt", "zwei\nZeilen.txt"})
            trees().file(std::string("start/") + name, 1, UnixTime(10, 0, 0));
        trees().folder("ziel");
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
        ::tzset();
        const auto w = LoadedWindow("0|0|1|1", trees());
        const QString details = TextOf(w.get(), "Label10");
        qputenv("TZ", "UTC");
        ::tzset();
        QVERIFY2(details.contains("zuletzt geändert: 17.05.24 12:00:00\n"), qPrintable(details));
        // The comparison still works on UTC: the record keeps the time as scanned.
        QCOMPARE(w->session().CopyList[0]->LastWrite, At(10, 0, 0));
        QStringList texts = Items(w.get(), "List1");
        texts.sort();
        const QString folder = Q(trees().path("start/"));
        QCOMPARE(texts, (QStringList{folder + "mit\u2409Tab.txt", folder + "schlicht.txt",
                                     folder + "zwei\u240aZeilen.txt"}));
        auto* list = Control<QListView>(w.get(), "List1");
        for (int row = 0; row < 3; ++row)
            QVERIFY(list->visualRect(list->model()->index(row, 0)).height() <
                    2 * list->fontMetrics().height());
    }

    void theMenuOverTheCopyListLooksFinished() {
        const auto w = LoadedLists(trees());
        auto* list = Control<QListView>(w.get(), "List1");
        list->setFocus();
        // The real menu, opened from the keyboard beside the entry; a picture of the window
        // with the menu over it, then the menu is dismissed.
        clsShellMenu::setMenuChooser(nullptr);
        QImage picture;
        QString first;
        QTimer::singleShot(200, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            first = menu->actions().value(0)->text();
            picture = w->grab().toImage();
            QPainter(&picture).drawPixmap(menu->mapToGlobal(QPoint()) - w->mapToGlobal(QPoint()),
                                          menu->grab());
            menu->close();
        });
        QTest::keyClick(list, Qt::Key_Menu);
        Choose({});
        QCOMPARE(first, QString("Kopieren"));
        const QString folder = qEnvironmentVariable("GLEICHWART_SCREENSHOTS");
        QVERIFY(folder.isEmpty() || picture.save(folder + "/context-menu.png"));
    }
};

GLEICHWART_MENU_TEST_MAIN(FileActionsTest)
#include "file_actions_test.moc"
