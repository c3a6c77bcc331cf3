#include "folder_browser_test.h"

#include "core/unprivileged.h"
#include "desktop/special_folders.h"
#include "dialogs/folder_browser.h"
#include "dialogs/folder_listing.h"
#include "dialogs/folder_places.h"
#include "dialogs/folder_tree_model.h"
#include "dialogs/new_folder.h"
#include "ui_test_support.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kPrompt = "Wählen Sie das Verzeichnis aus, bei dem\r\n"
                        "die Synchronisierung gestartet werden soll.";

QString MakeFolders(const QTemporaryDir& tmp, const QString& relative) {
    const QString path = tmp.path() + "/" + relative;
    QDir().mkpath(path);
    return path;
}

// A shown browser that has finished selecting its initial folder.
std::unique_ptr<FolderBrowser> OpenBrowser(const QString& initial, bool includeFiles = false) {
    FolderBrowserOptions options;
    options.prompt = kPrompt;
    options.caption = "Startordner suchen...";
    options.initialFolder = initial;
    options.includeFiles = includeFiles;
    auto browser = std::make_unique<FolderBrowser>(options);
    browser->show();
    if (!QTest::qWaitForWindowExposed(browser.get()))
        qWarning("the folder browser was not shown");
    if (!QTest::qWaitFor([&] { return !browser->isSelecting(); }, 10000))
        qWarning("the folder browser is still selecting its initial folder");
    return browser;
}

QTreeView* Tree(QWidget* browser) {
    return Control<QTreeView>(browser, "FolderTree");
}

QString BrowserStatus(QWidget* browser) {
    return Control<QLabel>(browser, "StatusText")->text();
}

} // namespace

void FolderBrowserTest::folderThatCannotBeListedIsGreyAndClosed() {
    // First of the cases: the listing check runs in a child process, best before any
    // worker thread of a browser exists.
    QTemporaryDir tmp;
    const QString base = MakeFolders(tmp, "basis");
    MakeFolders(tmp, "basis/offen");
    MakeFolders(tmp, "basis/gesperrt");
    const auto everyoneMayLook =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(tmp.path(), everyoneMayLook);
    QFile::setPermissions(base, everyoneMayLook);
    QFile::setPermissions(base + "/gesperrt", {});
    MakeFolders(tmp, "basis/leer");
    const int checks = AsUnprivileged([&] {
        const FolderListing listing = ListFolder(base, false);
        if (listing.error != 0 || listing.entries.size() != 3)
            return 1;
        if (listing.entries[0].name != "gesperrt" || listing.entries[0].readable)
            return 2;
        if (!listing.entries[1].readable || !listing.entries[2].readable)
            return 3;
        return ListFolder(base + "/gesperrt", false).error == EACCES ? 0 : 4;
    });
    QCOMPARE(checks, 0);

    // A folder that vanishes before it is opened fails to list, as root too; an empty one
    // lists and has nothing to open.
    auto browser = OpenBrowser(base);
    QTreeView* tree = Tree(browser.get());
    const QPersistentModelIndex folder = tree->currentIndex();
    tree->expand(folder);
    QTRY_COMPARE(tree->model()->rowCount(folder), 3);
    const QPersistentModelIndex empty = tree->model()->index(1, 0, folder);
    const QPersistentModelIndex gone = tree->model()->index(2, 0, folder);
    QCOMPARE(gone.data().toString(), QString("offen"));
    QVERIFY(tree->model()->hasChildren(gone));
    QVERIFY(QDir(base).rmdir("offen"));
    tree->expand(gone);
    tree->expand(empty);
    QTRY_VERIFY(!gone.data(FolderTreeModel::ReadableRole).toBool());
    QVERIFY(!tree->model()->hasChildren(gone));
    QVERIFY(gone.data(Qt::ForegroundRole).isValid());
    QVERIFY(gone.data(Qt::ToolTipRole).toString().contains("Kein Zugriff"));
    QTRY_VERIFY(!tree->model()->hasChildren(empty));
    QVERIFY(empty.data(FolderTreeModel::ReadableRole).toBool());
    tree->setCurrentIndex(gone);
    SaveScreenshot(browser.get(), "folder_browser_unreadable");
}

void FolderBrowserTest::deepInitialFolderIsOpenedAndSelected() {
    QTemporaryDir tmp;
    const QString deep = MakeFolders(tmp, "eins/zwei/drei/vier/fünf");
    auto browser = OpenBrowser(deep);
    QTreeView* tree = Tree(browser.get());
    QAbstractItemModelTester tester(tree->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(browser->windowTitle(), QString("Startordner suchen..."));
    QCOMPARE(Control<QLabel>(browser.get(), "PromptText")->text().count('\n'), 1);
    const QModelIndex current = tree->currentIndex();
    QCOMPARE(current.data(FolderTreeModel::PathRole).toString(), deep);
    int levels = 0;
    for (QModelIndex up = current.parent(); up.isValid(); up = up.parent(), ++levels)
        QVERIFY(tree->isExpanded(up));
    // "/", one level for each folder of the temporary folder's path, four of our own.
    QCOMPARE(levels, QDir::cleanPath(tmp.path()).count('/') + 5);
    QCOMPARE(BrowserStatus(browser.get()), "Auswahl: " + deep);
    QVERIFY(tree->visualRect(current).intersects(tree->viewport()->rect()));
    SaveScreenshot(browser.get(), "folder_browser_deep");
}

void FolderBrowserTest::longPathIsShortenedInTheMiddle() {
    QTemporaryDir tmp;
    QString relative = "Anfang";
    for (int i = 1; i <= 6; ++i)
        relative += QString("/ein ziemlich langer Ordnername Nummer %1").arg(i);
    const QString deep = MakeFolders(tmp, relative + "/Ende");
    auto browser = OpenBrowser(deep);
    auto* status = Control<QLabel>(browser.get(), "StatusText");
    QVERIFY(status->text().startsWith("Auswahl: "));
    QVERIFY(status->text().contains(QChar(0x2026)));
    QVERIFY(status->text().endsWith("/Ende"));
    QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->width());
    SaveScreenshot(browser.get(), "folder_browser_long_path");
    // Wide enough, the whole path shows again.
    browser->resize(2000, browser->height());
    QTRY_COMPARE(status->text(), "Auswahl: " + deep);
}

void FolderBrowserTest::missingInitialFolderSelectsNothing() {
    QTemporaryDir tmp;
    MakeFolders(tmp, "da");
    auto browser = OpenBrowser(tmp.path() + "/da/nicht/da");
    QTreeView* tree = Tree(browser.get());
    QVERIFY(tree->selectionModel()->selectedIndexes().isEmpty());
    QVERIFY(browser->selectedPath().isEmpty());
    QVERIFY(BrowserStatus(browser.get()).isEmpty());
    QVERIFY(!Control<QPushButton>(browser.get(), "OK")->isEnabled());
    for (int row = 0; row < tree->model()->rowCount(); ++row)
        QVERIFY(!tree->isExpanded(tree->model()->index(row, 0)));
    SaveScreenshot(browser.get(), "folder_browser_nothing_selected");
}

void FolderBrowserTest::choosingGivesThePathWithoutTrailingSlash_data() {
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* root, const char* select, const char* button,
                        const char* expected) {
        QTest::newRow(name) << QString(root) << QString(select) << QString(button)
                            << QString(expected);
    };
    row("file-system root stays /", "", "/", "OK", "/");
    row("one slash dropped", "x/y/", "x/y/", "OK", "x/y");
    row("folder below unchanged", "x/", "x/y", "OK", "x/y");
    row("cancel gives nothing", "", "x/y", "Cancel", "");
}

void FolderBrowserTest::choosingGivesThePathWithoutTrailingSlash() {
    QFETCH(QString, root);
    QFETCH(QString, select);
    QFETCH(QString, button);
    QFETCH(QString, expected);
    QTemporaryDir tmp;
    MakeFolders(tmp, "x/y");
    const auto inTmp = [&](const QString& p) {
        return p.isEmpty() || p.startsWith('/') ? p : tmp.path() + "/" + p;
    };
    OnNextModal([&](QWidget* modal) {
        auto* browser = qobject_cast<FolderBrowser*>(modal);
        QVERIFY(browser != nullptr);
        browser->selectPath(inTmp(select));
        QTRY_VERIFY(!browser->isSelecting());
        QCOMPARE(browser->selectedPath(), inTmp(select));
        Control<QPushButton>(browser, button)->click();
    });
    const QString chosen =
        BrowseForFolder(kPrompt, nullptr, "Zielordner suchen...", {}, true, inTmp(root));
    QCOMPARE(chosen, inTmp(expected));
}

void FolderBrowserTest::hiddenFoldersShowOnlyWhenTicked() {
    QTemporaryDir tmp;
    const QString base = MakeFolders(tmp, "basis");
    MakeFolders(tmp, "basis/.geheim/innen");
    MakeFolders(tmp, "basis/sichtbar");
    auto browser = OpenBrowser(base);
    QTreeView* tree = Tree(browser.get());
    auto* box = Control<QCheckBox>(browser.get(), "ShowHidden");
    QCOMPARE(box->text(), QString("Versteckte Ordner anzeigen"));
    QVERIFY(!box->isChecked());
    const QPersistentModelIndex folder = tree->currentIndex();
    tree->expand(folder);
    QTRY_COMPARE(tree->model()->rowCount(folder), 1);
    QCOMPARE(tree->model()->index(0, 0, folder).data().toString(), QString("sichtbar"));
    box->click();
    QCOMPARE(tree->model()->rowCount(folder), 2);
    QCOMPARE(tree->model()->index(0, 0, folder).data().toString(), QString(".geheim"));
    box->click();
    QCOMPARE(tree->model()->rowCount(folder), 1);

    // A folder asked for inside a hidden one is shown, hidden folders with it.
    auto inside = OpenBrowser(base + "/.geheim/innen");
    QVERIFY(Control<QCheckBox>(inside.get(), "ShowHidden")->isChecked());
    QCOMPARE(inside->selectedPath(), base + "/.geheim/innen");
}

void FolderBrowserTest::newFolderNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("empty") << ""
                           << "Bitte geben Sie einen Namen";
    QTest::newRow("blanks only") << "   "
                                 << "Bitte geben Sie einen Namen";
    QTest::newRow("slash") << "a/b"
                           << "Schrägstrich";
    QTest::newRow("dot") << "."
                         << "„.“ und „..“";
    QTest::newRow("dot dot") << ".."
                             << "„.“ und „..“";
    QTest::newRow("taken") << "schon da"
                           << "schon einen Eintrag";
    QTest::newRow("taken by a file") << "datei"
                                     << "schon einen Eintrag";
    QTest::newRow("fine") << "Neu 2"
                          << "";
    QTest::newRow("hidden is fine") << ".neu"
                                    << "";
}

void FolderBrowserTest::newFolderNames() {
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    QTemporaryDir tmp;
    MakeFolders(tmp, "schon da");
    QFile(tmp.path() + "/datei").open(QIODevice::WriteOnly);
    const QString problem = NewFolderNameProblem(name, tmp.path());
    QCOMPARE(problem.isEmpty(), refusal.isEmpty());
    QVERIFY2(problem.contains(refusal), qPrintable(problem));
}

void FolderBrowserTest::newFolderRefusesASlashThenMakesAndSelectsTheFolder() {
    QTemporaryDir tmp;
    const QString base = MakeFolders(tmp, "basis");
    MakeFolders(tmp, "basis/alt");
    auto browser = OpenBrowser(base);
    QString refusal;
    // Each question offers a name: first a free one, then the one just refused.
    const auto answer = [](QWidget* modal, const QString& offered, const QString& name) {
        auto* ask = qobject_cast<QInputDialog*>(modal);
        QVERIFY(ask != nullptr);
        QCOMPARE(ask->textValue(), offered);
        ask->setTextValue(name);
        ask->accept();
    };
    OnNextModal([&](QWidget* modal) {
        OnNextModal([&](QWidget* box) {
            QCOMPARE(box->windowTitle(), QString("Fehler..."));
            refusal = qobject_cast<QMessageBox*>(box)->text();
            OnNextModal([&](QWidget* again) { answer(again, "a/b", "Neu"); });
        });
        answer(modal, "Neuer Ordner", "a/b");
    });
    Control<QPushButton>(browser.get(), "NewFolder")->click();
    QVERIFY2(refusal.contains("(„/“)"), qPrintable(refusal));
    QVERIFY(QFileInfo(base + "/Neu").isDir());
    QVERIFY(!QFileInfo::exists(base + "/a"));
    QTRY_COMPARE(browser->selectedPath(), base + "/Neu");
    QCOMPARE(BrowserStatus(browser.get()), "Auswahl: " + base + "/Neu");
}

void FolderBrowserTest::staysResponsiveWhileAHugeFolderIsListed() {
    // Empty files, listed with the folders, cost the disk far less than as many folders.
    QTemporaryDir tmp;
    const QString huge = MakeFolders(tmp, "gross");
    constexpr int kCount = 100000;
    QElapsedTimer made;
    made.start();
    for (int i = 0; i < kCount; ++i) {
        const QByteArray name = QFile::encodeName(huge) + "/Datei " + QByteArray::number(i);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
    }
    qInfo("%d files made in %lld ms", kCount, made.elapsed());
    auto browser = OpenBrowser(huge, true);
    QTreeView* tree = Tree(browser.get());
    const QPersistentModelIndex folder = tree->currentIndex();

    QElapsedTimer clock;
    qint64 last = 0, longestGap = 0;
    QTimer ticker;
    ticker.setInterval(10);
    connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
    });
    clock.start();
    ticker.start();
    tree->expand(folder);
    QTRY_COMPARE_WITH_TIMEOUT(tree->model()->rowCount(folder), kCount, 60000);
    const qint64 listed = clock.elapsed();
    QTest::qWait(300); // the view lays the rows out and paints them
    ticker.stop();
    qInfo("100000 entries listed in %lld ms, longest pause of the window %lld ms", listed,
          longestGap);
    QVERIFY2(longestGap < 250, qPrintable(QString::number(longestGap)));
    // Numbers in names go by value.
    QCOMPARE(tree->model()->index(2, 0, folder).data().toString(), QString("Datei 2"));
    QCOMPARE(tree->model()->index(kCount - 1, 0, folder).data().toString(), QString("Datei 99999"));
}

void FolderBrowserTest::volumesAUserLooksFor_data() {
    QTest::addColumn<QString>("mountPoint");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("shown");
    QTest::newRow("usb stick") << "/media/anna/STICK" << QByteArray("vfat") << true;
    QTest::newRow("udisks elsewhere") << "/run/media/anna/Fotos" << QByteArray("ext4") << true;
    QTest::newRow("disk below /mnt") << "/mnt/daten" << QByteArray("btrfs") << true;
    QTest::newRow("network share anywhere") << "/srv/nas" << QByteArray("nfs4") << true;
    QTest::newRow("root file system") << "/" << QByteArray("ext4") << false;
    QTest::newRow("other system disk") << "/boot/efi" << QByteArray("vfat") << false;
    QTest::newRow("snap image") << "/media/snap/core" << QByteArray("squashfs") << false;
    QTest::newRow("memory below /mnt") << "/mnt/ram" << QByteArray("tmpfs") << false;
    QTest::newRow("name only like /mnt") << "/mntx" << QByteArray("ext4") << false;
}

void FolderBrowserTest::volumesAUserLooksFor() {
    QFETCH(QString, mountPoint);
    QFETCH(QByteArray, type);
    QFETCH(bool, shown);
    QCOMPARE(IsUserVolume(mountPoint, type), shown);
}

void FolderBrowserTest::specialFoldersFollowTheUserFolders() {
    QTemporaryDir tmp;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", (tmp.path() + "/temp/").toUtf8());
    MakeFolders(tmp, "temp");
    const QString temp = TempFolderPath();
    const QString zero = SpecialFolderPath(0);
    qputenv("TMPDIR", oldTmp);
    QCOMPARE(temp, tmp.path() + "/temp");
    QCOMPARE(zero, temp);

    // The desktop's user folders are read from the real configuration only.
    QStandardPaths::setTestModeEnabled(false);
    const auto testMode = qScopeGuard([] { QStandardPaths::setTestModeEnabled(true); });
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QDir().mkpath(config);
    QFile dirs(config + "/user-dirs.dirs");
    QVERIFY(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    dirs.close();
    const QString home = QDir::homePath();
    QDir().mkpath(home + "/Schreibtisch");
    QCOMPARE(SpecialFolderPath(16), home + "/Schreibtisch");
    QCOMPARE(SpecialFolderPath(39), QString()); // not made yet
    QDir().mkpath(home + "/Bilder");
    QCOMPARE(SpecialFolderPath(39), home + "/Bilder");
    QCOMPARE(SpecialFolderPath(5), QString());
}

GLEICHWART_UI_TEST_MAIN(FolderBrowserTest)
