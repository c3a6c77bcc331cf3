// Showing files and folders in the desktop's file manager: over D-Bus where a file manager
// answers, else by opening the folder. The test runs a message bus of its own.
#include "menu_test_support.h"
#include "private_bus.h"

#include "desktop/file_manager.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QUrl>

namespace {

constexpr const char* kService = "org.freedesktop.FileManager1";

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

class FileManagerTest : public UiTestCase {
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
        QVERIFY(QDBusConnection::sessionBus().registerService(kService));
    }

    void theMenuItemShowsTheEntrysFileElseItsFolderOpens() {
        // Blanks, an umlaut, characters with a meaning in addresses, and a byte that is no UTF-8.
        trees().text("start/Ein Ordner/Über#?%\xff.txt", "x");
        trees().folder("ziel");
        const auto window = LoadedWindow("0|0|1|1", trees());
        auto* list = Control<QListView>(window.get(), "List1");
        const QPoint entry = list->visualRect(list->model()->index(0, 0)).center();
        Choose("Im Dateimanager zeigen", 2);
        QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, entry);
        QTRY_COMPARE(desktop_.shown, QStringList{"file://" + Q(trees().root()) +
                                                 "/start/Ein%20Ordner/%C3%9Cber%23%3F%25%FF.txt"});
        QTest::qWait(50);
        QCOMPARE(desktop_.opened, QList<QUrl>());
        QVERIFY(window->session().CopyList[0]->Selected);

        QDBusConnection::sessionBus().unregisterService(kService);
        QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, entry);
        QTRY_COMPARE(desktop_.opened,
                     QList<QUrl>{QUrl::fromLocalFile(Q(trees().path("start/Ein Ordner")))});
        QCOMPARE(desktop_.shown.size(), 1);
    }
};

int main(int argc, char* argv[]) {
    UseTestApplications();
    const PrivateBus bus; // its address replaces the unreachable one
    Dismiss();
    return RunUiTest(argc, argv, [] { return std::make_unique<FileManagerTest>(); });
}

#include "file_manager_test.moc"
