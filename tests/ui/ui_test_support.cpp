#include "ui_test_support.h"

#include "app/application.h"
#include "core/tree_builder.h"
#include "mainwindow/form1.h"
#include "platform/shell_execute.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <ctime>

namespace {
QObject* WatcherParent() {
    static QObject* parent = new QObject(qApp);
    return parent;
}
} // namespace

void CancelModalWatchers() {
    qDeleteAll(WatcherParent()->children());
}

void OnNextModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer(WatcherParent());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
        modal->close();
    });
    timer->start();
}

void AnswerDeleteQuestion(QString& title, QString& text) {
    OnNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        title = box->windowTitle();
        text = box->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == "Ja")
                b->click();
    });
}

QStringList TrashedNames(const QString& root) {
    QStringList names;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains("/Trash/files/"))
            names << it.fileName();
    }
    names.sort();
    return names;
}

void SaveScreenshot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("GLEICHWART_SCREENSHOTS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + name + ".png");
}

void UseRule(const std::string& text) {
    clsRegistry reg;
    reg.CreateKey(clsRegistry::HKEY_CURRENT_USER, kRootKey);
    reg.SetStringValue(clsRegistry::HKEY_CURRENT_USER, kRulesKey, "Test", text);
    reg.SetStringValue(clsRegistry::HKEY_CURRENT_USER, kRootKey, "LastRegel", "Test");
}

void LoadFolders(QWidget* mainWindow, const std::string& start, const std::string& target) {
    Control<QLineEdit>(mainWindow, "Text1")->setText(QString::fromStdString(start));
    Control<QLineEdit>(mainWindow, "Text2")->setText(QString::fromStdString(target));
    Control<QPushButton>(mainWindow, "Command1")->click();
}

std::unique_ptr<Form1> LoadedWindow(const std::string& rule, const TreeBuilder& trees) {
    UseRule(rule);
    auto w = std::make_unique<Form1>();
    w->show();
    LoadFolders(w.get(), trees.path("start"), trees.path("ziel"));
    return w;
}

int RunUiTest(int argc, char* argv[], const std::function<std::unique_ptr<QObject>()>& makeTest) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No window test may touch a real user's settings or trash, also one that forgets its
    // own temporary home.
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    QApplication app(argc, argv);
    SetUpApplication(app);
    // No test may start a browser or a mail program: nothing opens unless a test says so.
    win::SetShellExecuteHandler(nullptr);
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // Times are shown in local time: every machine shows the tests the same one.
    qputenv("TZ", "UTC");
    ::tzset();

    const std::unique_ptr<QObject> test = makeTest();
    // An exit status keeps only the low byte of the failure count: 256 failures would pass.
    return QTest::qExec(test.get(), argc, argv) == 0 ? 0 : 1;
}

namespace {
class SlowFileOps : public platform::FileOps {
public:
    int CopyRange(int in, int out, std::size_t length, std::size_t& copied) override {
        QThread::msleep(10);
        return FileOps::CopyRange(in, out, length, copied);
    }
    int Write(int fd, const void* buffer, std::size_t length, std::size_t& written) override {
        QThread::msleep(10);
        return FileOps::Write(fd, buffer, length, written);
    }
};
} // namespace

std::unique_ptr<platform::FileOps> SlowCopiesFor(Form1& window) {
    auto ops = std::make_unique<SlowFileOps>();
    window.setFileOps(*ops);
    return ops;
}
