// The folder browser: the initial folder, what "OK" and "Abbrechen" give, "Neuer Ordner", and
// a huge folder listed beside the window.
#include "ui_test_support.h"

#include "dialogs/folder_browser.h"
#include "dialogs/folder_tree_model.h"

#include <QAbstractItemModelTester>
#include <QInputDialog>
#include <QTreeView>

#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kPrompt = "Wählen Sie das Verzeichnis aus, bei dem\r\n"
                        "die Synchronisierung gestartet werden soll.";

// A shown browser that has finished selecting its initial folder.
std::unique_ptr<FolderBrowser> OpenBrowser(const QString& initial, bool includeFiles = false) {
    // The prompt, the caption, the initial folder, a status line, no root of its own, the new
    // style, and files besides the folders when asked.
    auto browser = std::make_unique<FolderBrowser>(FolderBrowserOptions{
        kPrompt, "Startordner suchen...", initial, true, {}, true, includeFiles});
    browser->show();
    if (!QTest::qWaitFor([&] { return !browser->isSelecting(); }, 10000))
        qWarning("the folder browser is still selecting its initial folder");
    return browser;
}

} // namespace

class FolderBrowserTest : public UiTestCase {
    Q_OBJECT
    QString folder(const std::string& relative) { return Q(trees().folder(relative)); }

private slots:
    void deepInitialFolderIsOpenedSelectedAndItsLongPathShortenedInTheMiddle() {
        std::string relative = "Anfang";
        for (int i = 1; i <= 6; ++i)
            relative += "/ein ziemlich langer Ordnername Nummer " + std::to_string(i);
        const QString deep = folder(relative + "/Ende");
        auto browser = OpenBrowser(deep);
        QTreeView* tree = Control<QTreeView>(browser.get(), "FolderTree");
        QAbstractItemModelTester tester(tree->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QModelIndex current = tree->currentIndex();
        QCOMPARE(current.data(FolderTreeModel::PathRole).toString(), deep);
        QVERIFY(tree->visualRect(current).intersects(tree->viewport()->rect()));
        // "/" and every folder above the selected one are open.
        int levels = 0;
        for (QModelIndex up = current.parent(); up.isValid(); up = up.parent(), ++levels)
            QVERIFY(tree->isExpanded(up));
        QCOMPARE(levels, deep.count('/'));
        auto* status = Control<QLabel>(browser.get(), "StatusText");
        QVERIFY(status->text().startsWith("Auswahl: ") && status->text().endsWith("/Ende"));
        QVERIFY(status->text().contains(QChar(0x2026)));
        QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->width());
        // Wide enough, the whole path shows again.
        browser->resize(2000, browser->height());
        QTRY_COMPARE(status->text(), "Auswahl: " + deep);
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
            {"", "x/y", "Cancel", ""},     // nothing
        };
        for (const auto& row : rows) {
            OnNextModal([&](QWidget* modal) {
                auto* browser = qobject_cast<FolderBrowser*>(modal);
                QVERIFY(browser != nullptr);
                browser->selectPath(inTree(row.select));
                QTRY_VERIFY(!browser->isSelecting());
                Click(browser, row.button);
            });
            QCOMPARE(BrowseForFolder(kPrompt, nullptr, "Zielordner suchen...", {}, true,
                                     inTree(row.root)),
                     inTree(row.expected));
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
        QVERIFY2(refusal.text.contains("(„/“)"), qPrintable(refusal.text));
        QVERIFY(QFileInfo(base + "/Neu").isDir());
        QVERIFY(!QFileInfo::exists(base + "/a"));
        QTRY_COMPARE(browser->selectedPath(), base + "/Neu");
    }

    // A huge folder is listed beside the window, which goes on handling its events until the
    // rows come in.
    void aHugeFolderIsListedBesideTheWindow() {
        // Empty files, listed with the folders, cost the disk far less than as many folders.
        constexpr int kCount = 100000;
        const QString huge = folder("gross");
        for (int i = 0; i < kCount; ++i) {
            const QByteArray name = QFile::encodeName(huge) + "/Datei " + QByteArray::number(i);
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            QVERIFY(fd >= 0 && ::close(fd) == 0);
        }
        auto browser = OpenBrowser(huge, true);
        QTreeView* tree = Control<QTreeView>(browser.get(), "FolderTree");
        const QPersistentModelIndex current = tree->currentIndex();
        // How often the window's events ran between the folder's opening and its rows coming
        // in: over and over while a thread lists it, at most once after a listing on the
        // window's own thread.
        int turns = 0;
        QTimer turn;
        connect(&turn, &QTimer::timeout, [&] { turns += tree->model()->rowCount(current) == 0; });
        turn.start(0);
        tree->expand(current);
        QTRY_COMPARE_WITH_TIMEOUT(tree->model()->rowCount(current), kCount, 60000);
        QVERIFY2(turns > 3, qPrintable(QString::number(turns)));
        // Numbers in names go by value.
        QCOMPARE(tree->model()->index(kCount - 1, 0, current).data().toString(),
                 QString("Datei 99999"));
    }
};

GLEICHWART_UI_TEST_MAIN(FolderBrowserTest)
#include "folder_browser_test.moc"
