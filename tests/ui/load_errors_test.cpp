#include "load_errors_test.h"

#include "core/fake_file_system.h"
#include "core/temp_home.h"
#include "core/tree_builder.h"
#include "mainwindow/form1.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <cerrno>

struct LoadErrorsTest::Home {
    TempHome home;
    TreeBuilder trees;
};

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

struct Box {
    QString objectName, title, text, informative, details;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool listsShown = false;
};

// Presses "Ordner laden" and records the message box it opens.
Box LoadAndCatchBox(Form1& w) {
    Box seen;
    OnNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        seen = {box->objectName(),
                box->windowTitle(),
                box->text(),
                box->informativeText(),
                box->detailedText(),
                box->icon(),
                Control<QListView>(&w, "List1")->isVisible()};
    });
    Control<QPushButton>(&w, "Command1")->click();
    return seen;
}

} // namespace

void LoadErrorsTest::init() {
    home_ = new Home;
}

void LoadErrorsTest::cleanup() {
    CancelModalWatchers();
    delete home_;
    home_ = nullptr;
}

void LoadErrorsTest::aStartRootThatCannotBeReadLeavesNothingToRun() {
    TreeBuilder& t = home_->trees;
    t.file("start/a.txt", 1, UnixTime(12, 0, 0));
    t.file("ziel/alt.txt", 1);
    UseRule("0|5|1|1");
    FailingFileSystem fs;
    Form1 w;
    w.setFileSystem(fs);
    w.show();
    LoadFolders(&w, t.path("start"), t.path("ziel"));
    QCOMPARE(Control<QListView>(&w, "List2")->model()->rowCount(), 1);
    QVERIFY(Control<QPushButton>(&w, "Command3")->isEnabled());

    // The folder is still there, but its entries cannot be listed.
    fs.failBelow(t.path("start/"), EACCES);
    const Box box = LoadAndCatchBox(w);
    QCOMPARE(box.objectName, QString("ErrorMessage"));
    QCOMPARE(box.title, QString("Fehler..."));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, Q("Der Startordner \"" + t.path("start") +
                         "\" kann nicht gelesen werden: Zugriff verweigert."));
    for (const char* name : {"List1", "List2"}) {
        QVERIFY(Control<QListView>(&w, name)->isHidden());
        QCOMPARE(Control<QListView>(&w, name)->model()->rowCount(), 0);
    }
    QVERIFY(w.session().DeleteList.empty());
    QVERIFY(!Control<QPushButton>(&w, "Command3")->isEnabled());
    QVERIFY(Control<QPushButton>(&w, "Command1")->isEnabled());
}

void LoadErrorsTest::unreadableFoldersAreListedWithTheirReasonsAfterTheLoad() {
    TreeBuilder& t = home_->trees;
    t.file("start/a.txt", 1, UnixTime(12, 0, 0));
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
    Form1 w;
    w.setFileSystem(fs);
    w.show();
    Control<QLineEdit>(&w, "Text1")->setText(Q(t.path("start")));
    Control<QLineEdit>(&w, "Text2")->setText(Q(t.path("ziel")));
    const Box box = LoadAndCatchBox(w);
    QCOMPARE(box.objectName, QString("ScanProblems"));
    QCOMPARE(box.title, QString("Lesefehler"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.text, QString("Folgende Ordner und Dateien konnten nicht gelesen werden:"));
    QCOMPARE(box.informative, expected.mid(0, 10).join("\n") + "\n…");
    QCOMPARE(box.details, expected.join("\n"));
    // The lists were shown before the box and stay usable.
    QVERIFY(box.listsShown);
    QCOMPARE(Control<QListView>(&w, "List1")->model()->rowCount(), 1);
    QVERIFY(Control<QPushButton>(&w, "Command3")->isEnabled());
}

GLEICHWART_UI_TEST_MAIN(LoadErrorsTest)
