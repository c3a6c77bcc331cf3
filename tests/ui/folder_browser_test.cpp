// The folder browser: the initial folder, what "OK" and "Abbrechen" give, hidden and
// unreadable folders, "Neuer Ordner", a huge folder; the volumes and the user's folders.
#include "ui_test_support.h"

#include "core/unprivileged.h"
#include "desktop/special_folders.h"
#include "dialogs/folder_browser.h"
#include "dialogs/folder_listing.h"
#include "dialogs/folder_places.h"
#include "dialogs/folder_tree_model.h"
#include "dialogs/new_folder.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kPrompt = "Wählen Sie das Verzeichnis aus, bei dem\r\n"
                        "die Synchronisierung gestartet werden soll.";

// A shown browser that has finished selecting its initial folder.
std::unique_ptr<FolderBrowser> OpenBrowser(const QString& initial, bool includeFiles = false) {
    FolderBrowserOptions options;
    options.prompt = kPrompt;
    options.caption = "Startordner suchen...";
    options.initialFolder = initial;
    options.includeFiles = includeFiles;
    auto browser = std::make_unique<FolderBrowser>(options);
    browser->show();
    if (!QTest::qWaitFor([&] { return !browser->isSelecting(); }, 10000))
        qWarning("the folder browser is still selecting its initial folder");
    return browser;
}

QTreeView* Tree(QWidget* browser) {
    return Control<QTreeView>(browser, "FolderTree");
}

// The names below `folder` in the tree, once it is opened and listed.
QStringList Children(QTreeView* tree, const QModelIndex& folder) {
    QStringList names;
    for (int row = 0; row < tree->model()->rowCount(folder); ++row)
        names << tree->model()->index(row, 0, folder).data().toString();
    return names;
}

} // namespace

class FolderBrowserTest : public UiTestCase {
    Q_OBJECT
    QString folder(const std::string& relative) { return Q(trees().folder(relative)); }

private slots:
    // First of the cases: the listing check runs in a child process, best before any worker
    // thread of a browser exists.
    void folderThatCannotBeListedIsGreyAndClosed() {
        const QString base = folder("basis");
        folder("basis/offen");
        folder("basis/leer");
        QFile::setPermissions(folder("basis/gesperrt"), {});
        // Listed by a user who may not look into it, it is there but not readable.
        const int checks = AsUnprivileged([&] {
            const FolderListing listing = ListFolder(base, false);
            const auto& e = listing.entries;
            const bool seen = listing.error == 0 && e.size() == 3 && e[0].name == "gesperrt" &&
                              !e[0].readable && e[1].readable && e[2].readable;
            return seen && ListFolder(base + "/gesperrt", false).error == EACCES ? 0 : 1;
        });
        QCOMPARE(checks, 0);

        // A folder that vanishes before it is opened fails to list, as root too; an empty one
        // lists and has nothing to open.
        auto browser = OpenBrowser(base);
        QTreeView* tree = Tree(browser.get());
        const QPersistentModelIndex current = tree->currentIndex();
        tree->expand(current);
        QTRY_COMPARE(Children(tree, current), (QStringList{"gesperrt", "leer", "offen"}));
        const QPersistentModelIndex empty = tree->model()->index(1, 0, current);
        const QPersistentModelIndex gone = tree->model()->index(2, 0, current);
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
    }

    void deepInitialFolderIsOpenedSelectedAndItsLongPathShortenedInTheMiddle() {
        std::string relative = "Anfang";
        for (int i = 1; i <= 6; ++i)
            relative += "/ein ziemlich langer Ordnername Nummer " + std::to_string(i);
        const QString deep = folder(relative + "/Ende");
        auto browser = OpenBrowser(deep);
        QTreeView* tree = Tree(browser.get());
        QAbstractItemModelTester tester(tree->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(TextOf(browser.get(), "PromptText").count('\n'), 1);
        const QModelIndex current = tree->currentIndex();
        QCOMPARE(current.data(FolderTreeModel::PathRole).toString(), deep);
        QVERIFY(tree->visualRect(current).intersects(tree->viewport()->rect()));
        // "/" and every folder above the selected one are open.
        int levels = 0;
        for (QModelIndex up = current.parent(); up.isValid(); up = up.parent(), ++levels)
            QVERIFY(tree->isExpanded(up));
        QCOMPARE(levels, deep.count('/'));
        auto* status = Control<QLabel>(browser.get(), "StatusText");
        QVERIFY(status->text().startsWith("Auswahl: "));
        QVERIFY(status->text().contains(QChar(0x2026)));
        QVERIFY(status->text().endsWith("/Ende"));
        QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->width());
        SaveScreenshot(browser.get(), "folder_browser_deep");
        // Wide enough, the whole path shows again.
        browser->resize(2000, browser->height());
        QTRY_COMPARE(status->text(), "Auswahl: " + deep);
    }

    void missingInitialFolderSelectsNothing() {
        auto browser = OpenBrowser(folder("da") + "/nicht/da");
        QTreeView* tree = Tree(browser.get());
        QVERIFY(tree->selectionModel()->selectedIndexes().isEmpty());
        QVERIFY(browser->selectedPath().isEmpty());
        QCOMPARE(TextOf(browser.get(), "StatusText"), QString());
        QVERIFY(!Enabled(browser.get(), "OK"));
        for (int row = 0; row < tree->model()->rowCount(); ++row)
            QVERIFY(!tree->isExpanded(tree->model()->index(row, 0)));
    }

    void choosingGivesThePathWithoutTrailingSlash() {
        folder("x/y");
        const auto inTree = [&](const QString& p) {
            return p.isEmpty() || p.startsWith('/') ? p : Q(trees().root()) + "/" + p;
        };
        const struct {
            QString root, select, button, expected;
        } rows[] = {
            {"", "/", "OK", "/"},          // the file system's root stays "/"
            {"x/y/", "x/y/", "OK", "x/y"}, // one slash dropped
            {"x/", "x/y", "OK", "x/y"},    // a folder below unchanged
            {"", "x/y", "Cancel", ""},     // nothing
        };
        for (const auto& row : rows) {
            OnNextModal([&](QWidget* modal) {
                auto* browser = qobject_cast<FolderBrowser*>(modal);
                QVERIFY(browser != nullptr);
                browser->selectPath(inTree(row.select));
                QTRY_VERIFY(!browser->isSelecting());
                QCOMPARE(browser->selectedPath(), inTree(row.select));
                Click(browser, row.button);
            });
            QCOMPARE(BrowseForFolder(kPrompt, nullptr, "Zielordner suchen...", {}, true,
                                     inTree(row.root)),
                     inTree(row.expected));
        }
    }

    void hiddenFoldersShowOnlyWhenTicked() {
        const QString base = folder("basis");
        folder("basis/.geheim/innen");
        folder("basis/sichtbar");
        auto browser = OpenBrowser(base);
        QTreeView* tree = Tree(browser.get());
        QCOMPARE(TextOf(browser.get(), "ShowHidden"), QString("Versteckte Ordner anzeigen"));
        QVERIFY(!Checked(browser.get(), "ShowHidden"));
        const QPersistentModelIndex current = tree->currentIndex();
        tree->expand(current);
        QTRY_COMPARE(Children(tree, current), QStringList{"sichtbar"});
        Click(browser.get(), "ShowHidden");
        QCOMPARE(Children(tree, current), (QStringList{".geheim", "sichtbar"}));
        Click(browser.get(), "ShowHidden");
        QCOMPARE(Children(tree, current), QStringList{"sichtbar"});
        // A folder asked for inside a hidden one is shown, hidden folders with it.
        auto inside = OpenBrowser(base + "/.geheim/innen");
        QVERIFY(Checked(inside.get(), "ShowHidden"));
        QCOMPARE(inside->selectedPath(), base + "/.geheim/innen");
    }

    void newFolderNamesFollowTheRules() {
        trees().folder("schon da");
        trees().file("datei");
        const std::pair<QString, QString> names[] = {{"", "Bitte geben Sie einen Namen"},
                                                     {"   ", "Bitte geben Sie einen Namen"},
                                                     {"a/b", "Schrägstrich"},
                                                     {".", "„.“ und „..“"},
                                                     {"..", "„.“ und „..“"},
                                                     {"schon da", "schon einen Eintrag"},
                                                     {"datei", "schon einen Eintrag"},
                                                     {"Neu 2", ""},
                                                     {".neu", ""}}; // a hidden name is fine
        for (const auto& [name, refusal] : names) {
            const QString problem = NewFolderNameProblem(name, Q(trees().root()));
            QVERIFY2(problem.isEmpty() == refusal.isEmpty() && problem.contains(refusal),
                     qPrintable(name + ": " + problem));
        }
    }

    void newFolderRefusesASlashThenMakesAndSelectsTheFolder() {
        const QString base = folder("basis");
        folder("basis/alt");
        auto browser = OpenBrowser(base);
        // Each question offers a name: first a free one, then the one just refused.
        const auto answer = [](QWidget* modal, const QString& offered, const QString& name) {
            auto* ask = qobject_cast<QInputDialog*>(modal);
            QVERIFY(ask != nullptr);
            QCOMPARE(ask->textValue(), offered);
            ask->setTextValue(name);
            ask->accept();
        };
        SeenBox refusal;
        OnNextModal([&](QWidget* modal) {
            OnNextModal([&](QWidget* box) {
                refusal = Seen(box);
                OnNextModal([&](QWidget* again) { answer(again, "a/b", "Neu"); });
            });
            answer(modal, "Neuer Ordner", "a/b");
        });
        Click(browser.get(), "NewFolder");
        QCOMPARE(refusal.title, QString("Fehler..."));
        QVERIFY2(refusal.text.contains("(„/“)"), qPrintable(refusal.text));
        QVERIFY(QFileInfo(base + "/Neu").isDir());
        QVERIFY(!QFileInfo::exists(base + "/a"));
        QTRY_COMPARE(browser->selectedPath(), base + "/Neu");
        QCOMPARE(TextOf(browser.get(), "StatusText"), "Auswahl: " + base + "/Neu");
    }

    void staysResponsiveWhileAHugeFolderIsListed() {
        // Empty files, listed with the folders, cost the disk far less than as many folders.
        constexpr int kCount = 100000;
        const QString huge = folder("gross");
        for (int i = 0; i < kCount; ++i) {
            const QByteArray name = QFile::encodeName(huge) + "/Datei " + QByteArray::number(i);
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            QVERIFY(fd >= 0 && ::close(fd) == 0);
        }
        auto browser = OpenBrowser(huge, true);
        QTreeView* tree = Tree(browser.get());
        const QPersistentModelIndex current = tree->currentIndex();
        // The longest time between two ticks of a 10 ms timer while the folder is listed.
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
        tree->expand(current);
        QTRY_COMPARE_WITH_TIMEOUT(tree->model()->rowCount(current), kCount, 60000);
        qInfo("%d entries listed in %lld ms", kCount, clock.elapsed());
        QTest::qWait(300); // the view lays the rows out and paints them
        ticker.stop();
        QVERIFY2(longestGap < 250, qPrintable(QString::number(longestGap)));
        // Numbers in names go by value.
        QCOMPARE(tree->model()->index(2, 0, current).data().toString(), QString("Datei 2"));
        QCOMPARE(tree->model()->index(kCount - 1, 0, current).data().toString(),
                 QString("Datei 99999"));
    }

    void volumesAUserLooksFor() {
        const std::tuple<QString, QByteArray, bool> volumes[] = {
            {"/media/anna/STICK", "vfat", true},
            {"/run/media/anna/Fotos", "ext4", true},
            {"/mnt/daten", "btrfs", true},
            {"/srv/nas", "nfs4", true}, // a share anywhere
            {"/", "ext4", false},
            {"/boot/efi", "vfat", false},
            {"/media/snap/core", "squashfs", false},
            {"/mnt/ram", "tmpfs", false},
            {"/mntx", "ext4", false}};
        for (const auto& [mountPoint, type, shown] : volumes)
            QVERIFY2(IsUserVolume(mountPoint, type) == shown, qPrintable(mountPoint));
    }

    void specialFoldersFollowTheUserFolders() {
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", (Q(trees().root()) + "/temp/").toUtf8());
        const QString temp = folder("temp");
        const QStringList paths = {TempFolderPath(), SpecialFolderPath(0)};
        qputenv("TMPDIR", oldTmp);
        QCOMPARE(paths, (QStringList{temp, temp}));

        // The desktop's user folders are read from the real configuration only.
        QStandardPaths::setTestModeEnabled(false);
        const auto testMode = qScopeGuard([] { QStandardPaths::setTestModeEnabled(true); });
        const QString home = QDir::homePath();
        WriteFile(
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
                "/user-dirs.dirs",
            "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
        QDir().mkpath(home + "/Schreibtisch");
        QCOMPARE(SpecialFolderPath(16), home + "/Schreibtisch");
        QCOMPARE(SpecialFolderPath(39), QString()); // not made yet
        QDir().mkpath(home + "/Bilder");
        QCOMPARE(SpecialFolderPath(39), home + "/Bilder");
        QCOMPARE(SpecialFolderPath(5), QString());
    }
};

GLEICHWART_UI_TEST_MAIN(FolderBrowserTest)
#include "folder_browser_test.moc"
