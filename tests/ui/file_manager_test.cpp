// Showing files and folders in the desktop's file manager: over D-Bus where a file manager
// answers, else by opening the folder. The test runs a message bus of its own.
#include "file_manager_test.h"

#include "core/temp_home.h"
#include "core/tree_builder.h"
#include "desktop/file_manager.h"
#include "desktop/shell_menu.h"
#include "mainwindow/form1.h"
#include "menu_test_support.h"
#include "test_applications.h"
#include "ui_test_support.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* kService = "org.freedesktop.FileManager1";
constexpr const char* kObject = "/org/freedesktop/FileManager1";

// A session bus of the test's own that starts no service by itself, so that no real file
// manager is ever started; stopped when the test ends.
class PrivateBus {
public:
    PrivateBus() {
        const std::string config =
            std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp") +
            "/gleichwart-test-bus-" + std::to_string(::getpid()) + ".conf";
        FILE* f = std::fopen(config.c_str(), "w");
        std::fputs("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                   "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                   "<policy context=\"default\"><allow send_destination=\"*\"/>"
                   "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n",
                   f);
        std::fclose(f);
        int out[2];
        if (::pipe(out) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            // Its complaints about limits it may not raise are no concern of the test.
            if (const int quiet = ::open("/dev/null", O_WRONLY); quiet >= 0)
                ::dup2(quiet, 2);
            const std::string option = "--config-file=" + config;
            ::execlp("dbus-daemon", "dbus-daemon", option.c_str(), "--nofork", "--nopidfile",
                     "--print-address=1", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        std::string address;
        pollfd p{out[0], POLLIN, 0};
        char c = 0;
        while (::poll(&p, 1, 5000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n')
            address += c;
        ::close(out[0]);
        std::remove(config.c_str());
        ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    }
    ~PrivateBus() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_ = -1;
};

} // namespace

struct FileManagerTest::Home {
    TempHome home;
    TreeBuilder trees;
};

void FakeFileManager::ShowItems(const QStringList& uris, const QString&) {
    shown << uris;
}

void OpenedUrls::open(const QUrl& url) {
    urls << url;
}

void FileManagerTest::initTestCase() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY2(bus.isConnected(), "dbus-daemon did not start");
    QVERIFY(bus.registerObject(kObject, &fileManager_, QDBusConnection::ExportAllSlots));
    QDesktopServices::setUrlHandler("file", &opened_, "open");
}

void FileManagerTest::cleanupTestCase() {
    QDesktopServices::unsetUrlHandler("file");
}

void FileManagerTest::init() {
    home_ = new Home;
    QVERIFY(QDBusConnection::sessionBus().registerService(kService));
    fileManager_.shown.clear();
    opened_.urls.clear();
    Choose({});
}

void FileManagerTest::cleanup() {
    CancelModalWatchers();
    QDBusConnection::sessionBus().unregisterService(kService);
    delete home_;
    home_ = nullptr;
}

void FileManagerTest::theFileManagerShowsTheFileSelected() {
    // Blanks, an umlaut, characters with a meaning in addresses, and a byte that is no UTF-8.
    const std::string file = home_->trees.text("Ein Ordner/Über#?%\xff.txt", "x");
    ShowInFileManager(file);
    QTRY_COMPARE(fileManager_.shown.size(), 1);
    QCOMPARE(fileManager_.shown.first(),
             "file://" + Q(home_->trees.root()) + "/Ein%20Ordner/%C3%9Cber%23%3F%25%FF.txt");
    QTest::qWait(50);
    QVERIFY(opened_.urls.isEmpty());
}

void FileManagerTest::withoutAFileManagerTheFolderOpens() {
    QDBusConnection::sessionBus().unregisterService(kService);
    const std::string file = home_->trees.text("Ordner/a.txt", "x");
    ShowInFileManager(file);
    QTRY_COMPARE(opened_.urls.size(), 1);
    QCOMPARE(opened_.urls.first(), QUrl::fromLocalFile(Q(home_->trees.path("Ordner"))));
    QVERIFY(fileManager_.shown.isEmpty());
}

void FileManagerTest::theMenuItemShowsTheEntrysFile() {
    TreeBuilder& t = home_->trees;
    t.text("start/a.txt", "a");
    t.text("start/b.txt", "b");
    t.folder("ziel");
    const auto window = LoadedWindow("0|0|1|1", t);
    auto* list = Control<QListView>(window.get(), "List1");
    Choose("Im Dateimanager zeigen");
    QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier,
                      list->visualRect(list->model()->index(1, 0)).center());
    QTRY_COMPARE(fileManager_.shown, QStringList{"file://" + Q(t.path("start/b.txt"))});
    for (const MyFile* f : window->session().CopyList)
        QVERIFY(f->Selected);
}

void FileManagerTest::aDoubleClickOnAPathBoxOpensItsFolder_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::newRow("start folder") << "Text1"
                                  << "Ordner mit Leerzeichen";
    QTest::newRow("target folder") << "Text2"
                                   << "Ziel";
    QTest::newRow("empty: the home folder") << "Text1"
                                            << "";
}

void FileManagerTest::aDoubleClickOnAPathBoxOpensItsFolder() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    const QString folder =
        text.isEmpty() ? QDir::homePath() : Q(home_->trees.folder(text.toStdString()));
    Form1 w;
    w.show();
    auto* edit = Control<QLineEdit>(&w, box);
    edit->setText(text.isEmpty() ? QString() : folder);
    QTest::mouseDClick(edit, Qt::LeftButton);
    QCOMPARE(opened_.urls, QList<QUrl>{QUrl::fromLocalFile(folder)});
}

int main(int argc, char* argv[]) {
    UseTestApplications();
    const PrivateBus bus;
    return RunUiTest(argc, argv, [] { return std::make_unique<FileManagerTest>(); });
}
