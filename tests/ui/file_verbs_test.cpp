// The file verbs of the context menu: renaming without overwriting, the properties window,
// and verbs that fail and leave the file as it was.
#include "file_verbs_test.h"

#include "core/temp_home.h"
#include "core/tree_builder.h"
#include "desktop/file_verbs.h"
#include "desktop/shell_menu.h"
#include "dialogs/file_properties.h"
#include "dialogs/rename_dialog.h"
#include "engine/copy_errors.h"
#include "kit/date_time_text.h"
#include "menu_test_support.h"
#include "platform/failing_file_ops.h"
#include "test_applications.h"
#include "ui_test_support.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

struct FileVerbsTest::Home {
    TempHome home;
    TreeBuilder trees;
};

namespace {} // namespace

void FileVerbsTest::init() {
    home_ = new Home;
    Choose({});
}

void FileVerbsTest::cleanup() {
    CancelModalWatchers();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "FileProperties")
            delete w;
    delete home_;
    home_ = nullptr;
}

void FileVerbsTest::renameRefusesATakenNameAndTouchesNeitherFile() {
    const std::string a = home_->trees.text("a.txt", "A");
    const std::string b = home_->trees.text("b.txt", "B");
    clsShellMenu s;
    MenuSignals events(s);
    QString refusal;
    AnswerRename("b.txt", &refusal);
    Choose("Umbenennen...");
    QVERIFY(s.ShellMenu(nullptr, Q(a)));
    QCOMPARE(refusal, RenameDialog::TakenText("b.txt"));
    QCOMPARE(ReadFile(a), std::string("A"));
    QCOMPARE(ReadFile(b), std::string("B"));
    QCOMPARE(events.events, (QStringList{"vorher:Umbenennen...", "nachher:Umbenennen..."}));

    // A name taken between the question and the renaming is not replaced either.
    platform::FileOps ops;
    const std::string folder = home_->trees.root() + "/";
    QCOMPARE(RenameEntry(ops, folder, "a.txt", "b.txt"), EEXIST);
    QCOMPARE(ReadFile(a), std::string("A"));
    QCOMPARE(ReadFile(b), std::string("B"));

    // Names that are no names are refused before anything is tried.
    RenameDialog dialog(nullptr, folder, "a.txt");
    for (const QString& bad : {QString(), QString("x/y"), QString("."), QString(".."),
                               QString(256, 'n'), QString("b.txt")})
        QVERIFY2(!dialog.problem(bad).isEmpty(), qPrintable(bad));
    QCOMPARE(dialog.problem("neu.txt"), QString());
    QCOMPARE(dialog.problem("a.txt"), QString()); // unchanged: nothing to do

    AnswerRename("neu.txt");
    Choose("Umbenennen...");
    QVERIFY(s.ShellMenu(nullptr, Q(a)));
    QVERIFY(!FileExists(a));
    QCOMPARE(ReadFile(folder + "neu.txt"), std::string("A"));
}

void FileVerbsTest::renameOffersTheNameWithoutItsExtension_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("selected");
    QTest::newRow("extension") << "Brief.txt"
                               << "Brief";
    QTest::newRow("two dots") << "archiv.tar.gz"
                              << "archiv.tar";
    QTest::newRow("hidden") << ".profile"
                            << ".profile";
    QTest::newRow("none") << "LIESMICH"
                          << "LIESMICH";
}

void FileVerbsTest::renameOffersTheNameWithoutItsExtension() {
    QFETCH(QString, name);
    QFETCH(QString, selected);
    RenameDialog dialog(nullptr, home_->trees.root() + "/", name.toStdString());
    auto* box = Control<QLineEdit>(&dialog, "NewName");
    QCOMPARE(box->text(), name);
    QCOMPARE(box->selectedText(), selected);
    QCOMPARE(box->selectionStart(), 0);
}

void FileVerbsTest::failingVerbsSayWhyAndLeaveTheFile() {
    const std::string file = home_->trees.text("a.txt", "A");
    clsShellMenu s;
    MenuSignals events(s, file);
    // The folder opens; every call after that fails.
    FailingOps ops;
    ops.failAt = 2;
    ops.persist = true;
    ops.error = EIO;
    s.setFileOps(ops);
    const QString reason = QString::fromStdString(ErrorDescription(EIO));

    QString message;
    CatchMessage(message);
    Choose("In den Papierkorb verschieben");
    QVERIFY(s.ShellMenu(nullptr, Q(file)));
    QVERIFY2(message.endsWith("„a.txt“: " + reason), qPrintable(message));
    QVERIFY(FileExists(file));
    QVERIFY(TrashedNames(Q(home_->home.path())).isEmpty());

    ops.calls = 0;
    message.clear();
    OnNextModal([&message](QWidget* question) {
        CatchMessage(message); // the failure, once the question is answered
        for (QAbstractButton* b : static_cast<QMessageBox*>(question)->buttons())
            if (b->text() == "Ja")
                b->click();
    });
    Choose("Endgültig löschen...");
    QVERIFY(s.ShellMenu(nullptr, Q(file)));
    QVERIFY2(message.endsWith("„a.txt“: " + reason), qPrintable(message));
    QVERIFY(FileExists(file));

    ops.calls = 0;
    message.clear();
    OnNextModal([&message](QWidget* modal) {
        Control<QLineEdit>(modal, "NewName")->setText("neu.txt");
        CatchMessage(message);
        static_cast<QDialog*>(modal)->accept();
    });
    Choose("Umbenennen...");
    QVERIFY(s.ShellMenu(nullptr, Q(file)));
    QCOMPARE(message, "„a.txt“ konnte nicht umbenannt werden: " + reason);
    QVERIFY(FileExists(file));
    QVERIFY(!FileExists(home_->trees.path("neu.txt")));
    QCOMPARE(events.events.size(), 6); // before and after each, failed or not
}

void FileVerbsTest::propertiesShowWhatTheFileSystemSays() {
    const std::string file = home_->trees.file("Ordner/Brief.txt", 1234, UnixTime(9, 30, 15));
    QCOMPARE(::chmod(file.c_str(), 0640), 0);
    clsShellMenu s;
    Choose("Eigenschaften");
    QVERIFY(s.ShellMenu(nullptr, Q(file)));
    FileProperties* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "FileProperties" && w->isVisible())
            window = static_cast<FileProperties*>(w);
    QVERIFY(window != nullptr);
    QVERIFY(!window->isModal());
    const auto field = [window](const char* name) { return Control<QLabel>(window, name)->text(); };
    QCOMPARE(field("PropName"), QString("Brief.txt"));
    QCOMPARE(field("PropFolder"), Q(home_->trees.path("Ordner")));
    QCOMPARE(field("PropType"), QString("Einfaches Textdokument (text/plain)"));
    QVERIFY2(field("PropSize").endsWith("(1.234 Bytes)"), qPrintable(field("PropSize")));
    QCOMPARE(field("PropModified"), LocalDateTimeText(UnixTime(9, 30, 15), false));
    QCOMPARE(field("PropPermissions"), QString("rw-r----- (640)"));
    QVERIFY(field("PropOwner").endsWith(QString("(%1)").arg(::getuid())));
    QVERIFY(field("PropGroup").endsWith(QString("(%1)").arg(::getgid())));
    SaveScreenshot(window, "file-properties");

    FileProperties missing(nullptr, home_->trees.path("fehlt.txt"));
    QCOMPARE(missing.error(), ENOENT);
}

int main(int argc, char* argv[]) {
    UseTestApplications();
    return RunUiTest(argc, argv, [] { return std::make_unique<FileVerbsTest>(); });
}
