#include "ui_test_support.h"

#include "app/application.h"
#include "engine/texts.h"
#include "kit/status_bar.h"
#include "platform/fake_file_system.h"
#include "platform/shell_execute.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <ctime>

QString TextOf(QWidget* window, const QString& name) {
    const QWidget* w = Control<QWidget>(window, name);
    const QVariant text = w->property("text");
    return (text.isValid() ? text : w->property("title")).toString();
}

bool Enabled(QWidget* window, const QString& name) {
    return Control<QWidget>(window, name)->isEnabled();
}

QStringList EnabledOf(QWidget* window, const QStringList& names) {
    QStringList enabled;
    for (const QString& name : names)
        if (Enabled(window, name))
            enabled << name;
    return enabled;
}

bool Checked(QWidget* window, const QString& button) {
    return Control<QAbstractButton>(window, button)->isChecked();
}

int Rows(QWidget* window, const QString& list) {
    return Control<QAbstractItemView>(window, list)->model()->rowCount();
}

QStringList Items(QWidget* window, const QString& list) {
    QWidget* w = Control<QWidget>(window, list);
    auto* combo = qobject_cast<QComboBox*>(w);
    const QAbstractItemModel* model =
        combo != nullptr ? combo->model() : qobject_cast<QAbstractItemView*>(w)->model();
    QStringList items;
    for (int i = 0; i < model->rowCount(); ++i)
        items << model->index(i, 0).data().toString();
    return items;
}

void Click(QWidget* window, const QString& button) {
    Control<QAbstractButton>(window, button)->click();
}

void Tick(QWidget* window, const QString& list, int row, bool ticked) {
    QAbstractItemModel* model = Control<QAbstractItemView>(window, list)->model();
    QVERIFY(model->setData(model->index(row, 0), ticked ? Qt::Checked : Qt::Unchecked,
                           Qt::CheckStateRole));
}

QString StatusText(QWidget* mainWindow) {
    return Control<StatusBar>(mainWindow, "StatusBar1")->panelText(1);
}

QString Totals(std::int64_t files, std::int64_t bytes, const char* what) {
    return Q("Es müssen " + std::to_string(files) + " Dateien mit insgesamt " + FormatSize(bytes) +
             " " + what + " werden.");
}

void UiTestCase::cleanup() {
    CancelModalWatchers();
    home_.reset();
}

namespace {

QObject* WatcherParent() {
    static QObject* parent = new QObject(qApp);
    return parent;
}

// The modal windows a watcher of OnNextModal is acting on; the action may wait on them.
QList<QWidget*> modalsInHand;

// Fails the running case on a modal window nobody waits for, says what it showed, and
// closes it, so that the case goes on to its end instead of hanging.
void GuardAgainstUnexpectedModals() {
    auto* guard = new QTimer(qApp);
    guard->setInterval(20);
    QObject::connect(guard, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modalsExpected > 0 || modalsInHand.contains(modal) ||
            !WatcherParent()->children().isEmpty())
            return;
        const auto* box = qobject_cast<QMessageBox*>(modal);
        const QString shown = modal->objectName() + " \"" + modal->windowTitle() + "\"" +
                              (box != nullptr ? ": " + box->text() : QString());
        QTest::qFail(qPrintable("a modal window no one expected: " + shown), __FILE__, __LINE__);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    });
    guard->start();
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
        modalsInHand.append(modal);
        action(modal);
        modalsInHand.removeOne(modal);
        modal->close();
    });
    timer->start();
}

SeenBox Seen(QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) {
        QTest::qFail(qPrintable(modal->objectName() + " is no message box"), __FILE__, __LINE__);
        return {};
    }
    return {box->windowTitle(), box->text(), box->informativeText(), box->detailedText(),
            box->icon()};
}

SeenBox CatchBox(const std::function<void()>& action, const std::function<void()>& whileOpen) {
    SeenBox seen;
    OnNextModal([&](QWidget* modal) {
        seen = Seen(modal);
        if (whileOpen)
            whileOpen();
    });
    action();
    CancelModalWatchers();
    return seen;
}

void PressYes(QWidget* messageBox) {
    for (QAbstractButton* b : qobject_cast<QMessageBox*>(messageBox)->buttons())
        if (b->text() == "Ja")
            b->click();
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
    StoreRules(reg, {{"Test", text}});
    reg.SetStringValue(HKCU, kRootKey, "LastRegel", "Test");
}

void StoreRules(clsRegistry& reg, const std::vector<std::pair<std::string, std::string>>& rules) {
    reg.CreateKey(HKCU, kRootKey);
    reg.CreateKey(HKCU, kRulesKey);
    for (const auto& [name, text] : rules)
        reg.SetStringValue(HKCU, kRulesKey, name, text);
}

void LoadFolders(QWidget* mainWindow, const std::string& start, const std::string& target) {
    Control<QLineEdit>(mainWindow, "Text1")->setText(Q(start));
    Control<QLineEdit>(mainWindow, "Text2")->setText(Q(target));
    Click(mainWindow, "Command1");
}

std::unique_ptr<Form1> LoadedWindow(const std::string& rule, const TreeBuilder& trees) {
    UseRule(rule);
    auto w = std::make_unique<Shown<Form1>>();
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
    qputenv("XDG_STATE_HOME", (home.path() + "/state").toUtf8());
    QApplication app(argc, argv);
    SetUpApplication(app);
    // No test may start a browser or a mail program: nothing opens unless a test says so.
    win::SetShellExecuteHandler(nullptr);
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // Times are shown in local time: every machine shows the tests the same one.
    qputenv("TZ", "UTC");
    ::tzset();

    GuardAgainstUnexpectedModals();
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
// The real file system: FailingFileSystem with no path made to fail.
class SlowFileSystem : public FailingFileSystem {
public:
    int ListDirectory(const std::string& folder, std::vector<platform::DirEntry>& e) override {
        QThread::msleep(5);
        return FailingFileSystem::ListDirectory(folder, e);
    }
};
} // namespace

std::unique_ptr<platform::FileSystem> SlowListingsFor(Form1& window) {
    auto fs = std::make_unique<SlowFileSystem>();
    window.setFileSystem(*fs);
    return fs;
}

std::unique_ptr<platform::FileOps> SlowCopiesFor(Form1& window) {
    auto ops = std::make_unique<SlowFileOps>();
    window.setFileOps(*ops);
    return ops;
}
