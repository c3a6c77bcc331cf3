// The main window's lists as a user meets them: the mouse, the keyboard and the context menu
// of their files, and what the window does when a verb of the menu took a file away.
#include "file_actions_test.h"

#include "core/temp_home.h"
#include "core/tree_builder.h"
#include "desktop/shell_menu.h"
#include "engine/texts.h"
#include "mainwindow/form1.h"
#include "menu_test_support.h"
#include "platform/failing_file_ops.h"
#include "test_applications.h"
#include "ui_test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <ctime>

struct FileActionsTest::Home {
    TempHome home;
    TreeBuilder trees;
};

namespace {

QString Totals(Form1& w) {
    return Control<QLabel>(&w, "Label6")->text();
}

QPoint EntryCenter(QListView* list, int row) {
    return list->visualRect(list->model()->index(row, 0)).center();
}

void Click(QListView* list, Qt::MouseButton button, QPoint at) {
    QTest::mouseClick(list->viewport(), button, Qt::NoModifier, at);
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

void FileActionsTest::init() {
    home_ = new Home;
    ForgetStartedApplications();
    Choose({});
}

void FileActionsTest::cleanup() {
    CancelModalWatchers();
    clsShellMenu().ClearExtraItems();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "FileProperties")
            delete w;
    delete home_;
    home_ = nullptr;
}

void FileActionsTest::theCopyListsTickItemFollowsTheTickAndInvertsIt() {
    const auto window = LoadedLists(home_->trees);
    Form1& w = *window;
    auto* list = Control<QListView>(&w, "List1");
    MenuSeen watch;
    Choose("Kopieren", &watch);
    Click(list, Qt::RightButton, EntryCenter(list, 1));
    QCOMPARE(watch.opened, 1);
    QCOMPARE(watch.texts.mid(0, 4),
             (QStringList{"Kopieren", "Im Dateimanager zeigen", "-", "Öffnen mit Testeditor"}));
    QVERIFY(watch.checked[0]);
    QCOMPARE(list->currentIndex().row(), 1);
    QVERIFY(!w.session().CopyList[1]->Selected);
    QCOMPARE(list->model()->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(Totals(w),
             Q("Es müssen 2 Dateien mit insgesamt " + FormatSize(2048) + " kopiert werden."));
    QVERIFY(!Control<QCheckBox>(&w, "Check1")->isChecked());

    // Now unticked, the item shows no tick; choosing it ticks the entry again.
    Click(list, Qt::RightButton, EntryCenter(list, 1));
    QCOMPARE(watch.opened, 2);
    QVERIFY(!watch.checked[0]);
    QVERIFY(w.session().CopyList[1]->Selected);
    QCOMPARE(Totals(w),
             Q("Es müssen 3 Dateien mit insgesamt " + FormatSize(3072) + " kopiert werden."));
    QVERIFY(Control<QCheckBox>(&w, "Check1")->isChecked());
}

void FileActionsTest::theDeleteListsTickItemInvertsOnlyTheDeleteList() {
    const auto window = LoadedLists(home_->trees);
    Form1& w = *window;
    Control<QTabBar>(&w, "TabStrip1Tabs")->setCurrentIndex(1);
    auto* list = Control<QListView>(&w, "List2");
    MenuSeen watch;
    Choose("Löschen", &watch);
    Click(list, Qt::RightButton, EntryCenter(list, 0));
    QCOMPARE(watch.opened, 1);
    QCOMPARE(watch.texts.first(), QString("Löschen"));
    QVERIFY(watch.texts.contains("Endgültig löschen..."));
    // No two items share a caption.
    QStringList captions = watch.texts;
    captions.removeAll("-");
    QCOMPARE(QSet<QString>(captions.begin(), captions.end()).size(), captions.size());
    QVERIFY(!w.session().DeleteList[0]->Selected);
    QVERIFY(w.session().DeleteList[1]->Selected);
    for (const MyFile* f : w.session().CopyList)
        QVERIFY(f->Selected);
    QCOMPARE(Totals(w),
             Q("Es müssen 1 Dateien mit insgesamt " + FormatSize(2) + " gelöscht werden."));
    QVERIFY(FileExists(home_->trees.path("ziel/x.txt")));
}

void FileActionsTest::clicksBesideEveryEntryChangeNothing() {
    const auto window = LoadedLists(home_->trees);
    Form1& w = *window;
    auto* list = Control<QListView>(&w, "List1");
    list->setCurrentIndex(list->model()->index(1, 0));
    const QString title = Control<QGroupBox>(&w, "Frame2")->title();
    MenuSeen watch;
    Choose({}, &watch);
    const QRect last = list->visualRect(list->model()->index(2, 0));
    const QPoint below(last.center().x(), last.bottom() + 20);
    for (Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton, Qt::MiddleButton}) {
        Click(list, button, below);
        QTest::mouseDClick(list->viewport(), button, Qt::NoModifier, below);
    }
    QCOMPARE(watch.opened, 0);
    QCOMPARE(list->currentIndex().row(), 1);
    QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(Control<QGroupBox>(&w, "Frame2")->title(), title);
    for (const MyFile* f : w.session().CopyList)
        QVERIFY(f->Selected);
}

void FileActionsTest::everyButtonSelectsOnlyTheRightOneOpensTheMenu() {
    const auto window = LoadedLists(home_->trees);
    Form1& w = *window;
    auto* list = Control<QListView>(&w, "List1");
    MenuSeen watch;
    Choose({}, &watch);
    Click(list, Qt::LeftButton, EntryCenter(list, 2));
    QCOMPARE(list->currentIndex().row(), 2);
    QCOMPARE(Control<QGroupBox>(&w, "Frame2")->title(), Q(home_->trees.path("start/c.txt")));
    Click(list, Qt::MiddleButton, EntryCenter(list, 1));
    QCOMPARE(list->currentIndex().row(), 1);
    QCOMPARE(watch.opened, 0);
    Click(list, Qt::RightButton, EntryCenter(list, 0));
    QCOMPARE(list->currentIndex().row(), 0);
    QCOMPARE(watch.opened, 1);
    // Dismissed: nothing changed.
    for (const MyFile* f : w.session().CopyList)
        QVERIFY(f->Selected);
    QVERIFY(Control<QPushButton>(&w, "Command3")->isEnabled());
}

void FileActionsTest::clickingATickBoxMakesItsEntryCurrent() {
    const auto window = LoadedLists(home_->trees);
    Form1& w = *window;
    auto* list = Control<QListView>(&w, "List1");
    QCOMPARE(list->currentIndex().row(), 0);
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.rect = list->visualRect(list->model()->index(2, 0));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QRect box =
        list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    Click(list, Qt::LeftButton, box.center());
    QVERIFY(!w.session().CopyList[2]->Selected);
    QCOMPARE(list->currentIndex().row(), 2);
    QCOMPARE(Control<QGroupBox>(&w, "Frame2")->title(), Q(home_->trees.path("start/c.txt")));
    QCOMPARE(Totals(w),
             Q("Es müssen 2 Dateien mit insgesamt " + FormatSize(2048) + " kopiert werden."));
}

void FileActionsTest::theKeyboardOpensTheMenuOfTheCurrentEntry() {
    const auto window = LoadedLists(home_->trees);
    Form1& w = *window;
    auto* list = Control<QListView>(&w, "List1");
    list->setFocus();
    list->setCurrentIndex(list->model()->index(2, 0));
    MenuSeen watch;
    Choose("Kopieren", &watch);
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(watch.opened, 1);
    QVERIFY(!w.session().CopyList[2]->Selected);
    QTest::keyClick(list, Qt::Key_Menu);
    QCOMPARE(watch.opened, 2);
    QVERIFY(w.session().CopyList[2]->Selected);
    // F10 alone is no menu key.
    QTest::keyClick(list, Qt::Key_F10);
    QCOMPARE(watch.opened, 2);
}

void FileActionsTest::verbsThatTakeTheFileAwayTakeTheEntryOff_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("verb");
    QTest::newRow("rename on the copy list") << 0 << "Umbenennen...";
    QTest::newRow("trash on the copy list") << 0 << "In den Papierkorb verschieben";
    QTest::newRow("delete on the delete list") << 1 << "Endgültig löschen...";
}

void FileActionsTest::verbsThatTakeTheFileAwayTakeTheEntryOff() {
    QFETCH(int, tab);
    QFETCH(QString, verb);
    const auto window = LoadedLists(home_->trees);
    Form1& w = *window;
    Control<QTabBar>(&w, "TabStrip1Tabs")->setCurrentIndex(tab);
    auto* list = Control<QListView>(&w, tab == 0 ? "List1" : "List2");
    FileList& collection = tab == 0 ? w.session().CopyList : w.session().DeleteList;
    const std::size_t before = collection.size();
    MyFile* gone = collection[1];
    const std::string path = gone->Path();
    if (verb == "Umbenennen...")
        AnswerRename("umbenannt.txt");
    else if (verb == "Endgültig löschen...")
        OnNextModal([](QWidget* modal) { PressYes(modal); });
    Choose(verb);
    Click(list, Qt::RightButton, EntryCenter(list, 1));
    QVERIFY(!FileExists(path));
    QCOMPARE(collection.size(), before - 1);
    QVERIFY(std::find(collection.begin(), collection.end(), gone) == collection.end());
    QCOMPARE(list->model()->rowCount(), int(before - 1));
    for (int row = 0; row < list->model()->rowCount(); ++row)
        QVERIFY(list->model()->index(row, 0).data().toString() != Q(path));
    QVERIFY(!Control<QPushButton>(&w, "Command3")->isEnabled());
    // The totals count what is left.
    QVERIFY2(Totals(w).startsWith(QString("Es müssen %1 Dateien").arg(before - 1)),
             qPrintable(Totals(w)));
}

void FileActionsTest::verbsThatLeaveTheFileChangeNothing() {
    const auto window = LoadedLists(home_->trees);
    Form1& w = *window;
    auto* list = Control<QListView>(&w, "List1");
    const auto unchanged = [&] {
        QCOMPARE(w.session().CopyList.size(), std::size_t(3));
        QCOMPARE(list->model()->rowCount(), 3);
        QVERIFY(Control<QPushButton>(&w, "Command3")->isEnabled());
        QVERIFY(FileExists(home_->trees.path("start/b.txt")));
    };
    Choose("Eigenschaften");
    Click(list, Qt::RightButton, EntryCenter(list, 1));
    unchanged();

    Choose("Öffnen mit Testeditor");
    Click(list, Qt::RightButton, EntryCenter(list, 1));
    QCOMPARE(TakeStartedApplication("editor").arguments,
             QStringList{Q(home_->trees.path("start/b.txt"))});
    unchanged();

    // A rename given up, and a trash that fails.
    OnNextModal([](QWidget*) {});
    Choose("Umbenennen...");
    Click(list, Qt::RightButton, EntryCenter(list, 1));
    unchanged();

    FailingOps ops;
    ops.failAt = 1;
    w.findChild<clsShellMenu*>("S")->setFileOps(ops);
    QString message;
    CatchMessage(message);
    Choose("In den Papierkorb verschieben");
    Click(list, Qt::RightButton, EntryCenter(list, 1));
    QVERIFY(!message.isEmpty());
    unchanged();
}

void FileActionsTest::noMenuOpensWhileARunCopies() {
    TreeBuilder& t = home_->trees;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        t.file(std::string("start/") + name, 3 << 20);
    t.folder("ziel");
    const auto window = LoadedWindow("0|0|1|1", t);
    Form1& w = *window;
    const auto slow = SlowCopiesFor(w);
    auto* list = Control<QListView>(&w, "List1");
    MenuSeen watch;
    Choose("Endgültig löschen...", &watch);
    bool tried = false;
    QTimer::singleShot(30, [&] {
        tried = true;
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Menu);
        Click(list, Qt::RightButton, EntryCenter(list, 1));
    });
    Control<QPushButton>(&w, "Command3")->click();
    QVERIFY(tried);
    QCOMPARE(watch.opened, 0);
    QVERIFY(FileExists(t.path("ziel/c.txt")));
}

void FileActionsTest::namesWithControlCharactersStayOnOneLine() {
    TreeBuilder& t = home_->trees;
    t.text("start/zwei\nZeilen.txt", "x");
    t.text("start/mit\tTab.txt", "x");
    t.text("start/schlicht.txt", "x");
    t.folder("ziel");
    const auto window = LoadedWindow("0|0|1|1", t);
    auto* list = Control<QListView>(window.get(), "List1");
    QCOMPARE(list->model()->rowCount(), 3);
    QStringList texts;
    for (int row = 0; row < 3; ++row)
        texts << list->model()->index(row, 0).data().toString();
    texts.sort();
    const QString folder = Q(t.path("start/"));
    QCOMPARE(texts, (QStringList{folder + "mit\u2409Tab.txt", folder + "schlicht.txt",
                                 folder + "zwei\u240aZeilen.txt"}));
    const int height = list->visualRect(list->model()->index(0, 0)).height();
    for (int row = 1; row < 3; ++row)
        QCOMPARE(list->visualRect(list->model()->index(row, 0)).height(), height);
    QVERIFY(height < 2 * list->fontMetrics().height());
}

void FileActionsTest::theDetailsShowLocalTime() {
    TreeBuilder& t = home_->trees;
    // 2024-05-17 10:00 UTC is 12:00 in Central European summer time.
    t.file("start/sommer.txt", 1, UnixTime(10, 0, 0));
    t.folder("ziel");
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    ::tzset();
    const auto window = LoadedWindow("0|0|1|1", t);
    const QString details = Control<QLabel>(window.get(), "Label10")->text();
    qputenv("TZ", "UTC");
    ::tzset();
    QVERIFY2(details.contains("zuletzt geändert: 17.05.24 12:00:00\n"), qPrintable(details));
    // The comparison still works on UTC: the record keeps the time as scanned.
    QCOMPARE(window->session().CopyList[0]->LastWrite, At(10, 0, 0));
}

void FileActionsTest::theMenuOverTheCopyListLooksFinished() {
    const auto window = LoadedLists(home_->trees);
    Form1& w = *window;
    auto* list = Control<QListView>(&w, "List1");
    list->setFocus();
    list->setCurrentIndex(list->model()->index(1, 0));
    // The real menu, opened from the keyboard beside the entry; a picture of the window with
    // the menu over it, then the menu is dismissed.
    clsShellMenu::setMenuChooser(nullptr);
    QImage picture;
    QStringList shown;
    QTimer::singleShot(200, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        shown = MenuTexts(*menu);
        picture = w.grab().toImage();
        QPainter painter(&picture);
        painter.drawPixmap(menu->mapToGlobal(QPoint()) - w.mapToGlobal(QPoint()), menu->grab());
        painter.end();
        menu->close();
    });
    QTest::keyClick(list, Qt::Key_Menu);
    Choose({});
    QCOMPARE(shown.first(), QString("Kopieren"));
    QVERIFY(!picture.isNull());
    const QString folder = qEnvironmentVariable("GLEICHWART_SCREENSHOTS");
    if (!folder.isEmpty())
        QVERIFY(picture.save(folder + "/context-menu.png"));
}

int main(int argc, char* argv[]) {
    UseTestApplications();
    // No file manager answers here: the menu's "Im Dateimanager zeigen" opens the folder.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/gleichwart-test-bus");
    return RunUiTest(argc, argv, [] { return std::make_unique<FileActionsTest>(); });
}
