// The main window's lists and the context menu of their files: ticking from the menu, what the
// window does when a verb took a file away or left it, showing the file in the desktop's file
// manager (over D-Bus where one answers, else by opening the folder), and no menu during a run.
// The test runs a message bus of its own.
#include "menu_test_support.h"
#include "private_bus.h"

#include "desktop/file_manager.h"
#include "desktop/shell_menu.h"
#include "platform/failing_file_ops.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QUrl>

namespace {

constexpr const char* kFileManager = "org.freedesktop.FileManager1";

void ClickEntry(QListView* list, int row, Qt::MouseButton button = Qt::RightButton) {
    QTest::mouseClick(list->viewport(), button, Qt::NoModifier,
                      list->visualRect(list->model()->index(row, 0)).center());
}

// How many entries of both lists are ticked.
int TickedCount(Form1& w) {
    int ticked = 0;
    for (const FileList* list : {&w.session().CopyList, &w.session().DeleteList})
        ticked += std::ranges::count_if(*list, &MyFile::Selected);
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

// The desktop as the test sees it: what its file manager was asked to show over D-Bus, and
// what was opened with its default application.
class FakeDesktop : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;
    QList<QUrl> opened;
public slots:
    Q_SCRIPTABLE void ShowItems(const QStringList& uris, const QString&) { shown << uris; }
    void open(const QUrl& url) { opened << url; }
};

class FileActionsTest : public UiTestCase {
    Q_OBJECT
    FakeDesktop desktop_;

private slots:
    void initTestCase() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY2(bus.isConnected(), "dbus-daemon did not start");
        QVERIFY(bus.registerObject("/org/freedesktop/FileManager1", &desktop_,
                                   QDBusConnection::ExportScriptableSlots));
        QDesktopServices::setUrlHandler("file", &desktop_, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("file"); }
    // Beside the fresh home: a file manager answers, and nothing was shown or opened yet.
    void init() {
        home_ = std::make_unique<UiHome>();
        desktop_.shown.clear();
        desktop_.opened.clear();
        QVERIFY(QDBusConnection::sessionBus().registerService(kFileManager));
    }

    void theMenuItemShowsTheEntrysFileElseItsFolderOpens() {
        // Blanks, an umlaut, characters with a meaning in addresses, and a byte that is no UTF-8.
        trees().text("start/Ein Ordner/Über#?%\xff.txt", "x");
        trees().folder("ziel");
        const auto window = LoadedWindow("0|0|1|1", trees());
        auto* list = Control<QListView>(window.get(), "List1");
        Choose("Im Dateimanager zeigen", 2);
        ClickEntry(list, 0);
        QTRY_COMPARE(desktop_.shown, QStringList{"file://" + Q(trees().root()) +
                                                 "/start/Ein%20Ordner/%C3%9Cber%23%3F%25%FF.txt"});
        QTest::qWait(50);
        QCOMPARE(desktop_.opened, QList<QUrl>());
        QVERIFY(window->session().CopyList[0]->Selected);

        QDBusConnection::sessionBus().unregisterService(kFileManager);
        ClickEntry(list, 0);
        QTRY_COMPARE(desktop_.opened,
                     QList<QUrl>{QUrl::fromLocalFile(Q(trees().path("start/Ein Ordner")))});
        QCOMPARE(desktop_.shown.size(), 1);
    }
    void theTickItemInvertsTheEntryInItsListOnly() {
        const auto w = LoadedLists(trees());
        const QString ticked[] = {Totals(3, 3072), Totals(2, 3, "gelöscht")};
        const QString unticked[] = {Totals(2, 2048), Totals(1, 2, "gelöscht")};
        for (const int tab : {0, 1}) {
            const QString item = tab == 0 ? "Kopieren" : "Löschen";
            const int row = 1 - tab;
            Control<QTabBar>(w.get(), "TabStrip1Tabs")->setCurrentIndex(tab);
            auto* list = Control<QListView>(w.get(), tab == 0 ? "List1" : "List2");
            const MyFile* entry = (tab == 0 ? w->session().CopyList : w->session().DeleteList)[row];
            QCOMPARE(TextOf(w.get(), "Label6"), ticked[tab]);
            MenuSeen seen;
            Choose(item, 1, &seen);
            ClickEntry(list, row);
            QVERIFY(seen.ticked.contains(item));
            QVERIFY(!entry->Selected);
            QCOMPARE(TickedCount(*w), 4);
            QCOMPARE(TextOf(w.get(), "Label6"), unticked[tab]);
            QVERIFY(!Checked(w.get(), "Check1"));

            // Now unticked, the item shows no tick; choosing it ticks the entry again.
            ClickEntry(list, row);
            QVERIFY(!seen.ticked.contains(item));
            QVERIFY(entry->Selected);
            QCOMPARE(TextOf(w.get(), "Label6"), ticked[tab]);
        }
    }

    void verbsTakeTheEntryOffOnlyWhenTheFileIsGone() {
        // Below the list's three entries come the applications, a separator, the verbs. A
        // new name for "Umbenennen...", none: given up.
        const struct {
            int tab;
            QString verb, newName;
            bool gone;
            int place;
        } rows[] = {{0, "Umbenennen...", "umbenannt.txt", true, 7},
                    {1, "Endgültig löschen...", "", true, 9},
                    {0, "Umbenennen...", "", false, 7},
                    {0, "Öffnen mit Testeditor", "", false, 4},
                    {0, "In den Papierkorb verschieben", "", false, 8}}; // that fails
        for (const auto& [tab, verb, newName, gone, place] : rows) {
            renewHome();
            const auto w = LoadedLists(trees());
            Control<QTabBar>(w.get(), "TabStrip1Tabs")->setCurrentIndex(tab);
            auto* list = Control<QListView>(w.get(), tab == 0 ? "List1" : "List2");
            FileList& entries = tab == 0 ? w->session().CopyList : w->session().DeleteList;
            const int before = int(entries.size());
            MyFile* entry = entries[1];
            const std::string path = entry->Path();
            FailingOps failingTrash;
            failingTrash.failAt = 1;
            if (verb.startsWith("In den Papierkorb"))
                w->findChild<clsShellMenu*>("S")->setFileOps(failingTrash);
            if (!newName.isEmpty())
                AnswerRename(newName);
            else if (verb == "Umbenennen...")
                OnNextModal([](QWidget*) {});
            Choose(verb, place);
            Messages([&] { ClickEntry(list, 1); });
            if (verb.startsWith("Öffnen"))
                QCOMPARE(TakeStartedApplication("editor").arguments, QStringList{Q(path)});
            QCOMPARE(FileExists(path), !gone);
            QCOMPARE(std::find(entries.begin(), entries.end(), entry) == entries.end(), gone);
            QCOMPARE(Rows(w.get(), list->objectName()), before - gone);
            QCOMPARE(Enabled(w.get(), "Command3"), !gone);
            // The totals count what is left.
            QVERIFY2(
                TextOf(w.get(), "Label6").startsWith(QString("Es müssen %1 ").arg(before - gone)),
                qPrintable(TextOf(w.get(), "Label6")));
        }
    }

    void noMenuOpensWhileARunCopies() {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            trees().file(std::string("start/") + name, 3 << 20);
        trees().folder("ziel");
        const auto w = LoadedWindow("0|0|1|1", trees());
        const auto slow = SlowCopiesFor(*w);
        auto* list = Control<QListView>(w.get(), "List1");
        MenuSeen seen;
        Dismiss(&seen);
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
};

int main(int argc, char* argv[]) {
    UseTestApplications();
    const PrivateBus bus; // its address replaces the unreachable one
    return RunUiTest(argc, argv, [] { return std::make_unique<FileActionsTest>(); });
}
#include "file_actions_test.moc"
