#pragma once

#include "core/temp_home.h"
#include "core/tree_builder.h"
#include "mainwindow/form1.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"

// What the window tests use besides.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

// The registry root every setting lives under.
inline const std::string kRootKey = "Software\\Halvorn Soft\\Gleichwart";
inline constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The named control of a window, failing the test when it is missing.
template <typename T> T* Control(QWidget* window, const QString& name) {
    T* w = window->findChild<T*>(name);
    if (w == nullptr)
        qFatal("control %s not found", qPrintable(name));
    return w;
}

// A window of type T (Form1 …), made with the given arguments and shown.
template <typename T> struct Shown : T {
    template <typename... A> explicit Shown(A&&... a) : T(std::forward<A>(a)...) { this->show(); }
};

// The text of a named label, box or button, or the title of a named frame; whether a named
// control is enabled, and which of the named ones are; whether a named button is ticked; how
// many rows a named list shows, and the texts of a named list or combo box; and presses a
// named button.
QString TextOf(QWidget* window, const QString& name);
bool Enabled(QWidget* window, const QString& name);
QStringList EnabledOf(QWidget* window, const QStringList& names);
bool Checked(QWidget* window, const QString& button);
int Rows(QWidget* window, const QString& list);
QStringList Items(QWidget* window, const QString& list);
void Click(QWidget* window, const QString& button);
// Ticks or unticks a row of a named list as the user's click does.
void Tick(QWidget* window, const QString& list, int row, bool ticked);
// The text of the main window's status panel.
QString StatusText(QWidget* mainWindow);
// The totals the main window shows below its lists, for files that are `what` ("kopiert").
QString Totals(std::int64_t files, std::int64_t bytes, const char* what = "kopiert");

// A temporary home with the registry that reads and writes it, and a folder for the trees a
// case loads; each case of a UiTestCase gets a fresh one.
struct UiHome {
    TempHome home;
    TreeBuilder trees;
    clsRegistry reg;
};

// The base of the window test classes: each case gets a fresh UiHome, and no watcher for a
// modal window outlives its case.
class UiTestCase : public QObject {
    Q_OBJECT
protected:
    std::unique_ptr<UiHome> home_;
    TreeBuilder& trees() { return home_->trees; }
    clsRegistry& reg() { return home_->reg; }
    // A fresh home in the middle of a case, for each row of a table.
    void renewHome() {
        home_.reset();
        home_ = std::make_unique<UiHome>();
    }

private slots:
    void init() { home_ = std::make_unique<UiHome>(); }
    void cleanup();
};

// Runs `action` on the next modal window that opens (a message box, a dialog), then closes it.
void OnNextModal(std::function<void(QWidget*)> action);
// Stops every watcher of OnNextModal that has not seen its window yet.
void CancelModalWatchers();
// A modal window that opens while no watcher of OnNextModal waits and no ExpectModals lives
// fails the running case and is closed at once, rather than waiting for a person until the
// case times out. A watcher of a test's own holds an ExpectModals while it answers windows.
inline int modalsExpected = 0; // how many ExpectModals live
struct ExpectModals {
    ExpectModals() { ++modalsExpected; }
    ~ExpectModals() { --modalsExpected; }
    ExpectModals(const ExpectModals&) = delete;
};

// What a message box showed.
struct SeenBox {
    QString title, text, informative, details;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};
// What `modal`, a message box, shows.
SeenBox Seen(QWidget* modal);
// Runs `action` and records the first message box it opens (`whileOpen` runs while it is on
// view), then closes it unanswered. Nothing opened leaves every field empty.
SeenBox CatchBox(const std::function<void()>& action, const std::function<void()>& whileOpen = {});

// Stores `text` as the rule "Test" and makes it the one the next main window starts with.
void UseRule(const std::string& text);
// Stores rules as a returning user has them (the root key exists: no starter rules).
void StoreRules(clsRegistry& reg, const std::vector<std::pair<std::string, std::string>>& rules);

// Types both paths into the main window and presses "Ordner laden".
void LoadFolders(QWidget* mainWindow, const std::string& start, const std::string& target);
// A shown main window that starts with `rule` and has loaded the folders "start" and "ziel"
// of `trees`.
std::unique_ptr<Form1> LoadedWindow(const std::string& rule, const TreeBuilder& trees);

// Presses "Ja" in a message box that asks.
void PressYes(QWidget* messageBox);

// Saves a picture of the widget below $GLEICHWART_SCREENSHOTS when that is set.
void SaveScreenshot(QWidget* w, const QString& name);

// Runs the QtTest class that `makeTest` makes the way the program starts, on the offscreen
// platform unless another one is asked for, with HOME and XDG_* in a temporary folder, no
// browser or mail program opened, the German locale and UTC as the local time. Returns 0 when every
// case passed.
int RunUiTest(int argc, char* argv[], const std::function<std::unique_ptr<QObject>()>& makeTest);

// The main() of a window test program: one QtTest class each.
#define GLEICHWART_UI_TEST_MAIN(TestClass)                                                         \
    int main(int argc, char* argv[]) {                                                             \
        return RunUiTest(argc, argv, [] { return std::make_unique<TestClass>(); });                \
    }

// The machine's own file calls, each copied piece taking 10 ms more: a run then lasts long
// enough for a test to act on the window while it copies, however fast the disk is.
std::unique_ptr<platform::FileOps> SlowCopiesFor(Form1& window);

// The machine's own file system, each folder listing taking 5 ms more: a load then lasts long
// enough for a test to act on the window while both trees are scanned.
std::unique_ptr<platform::FileSystem> SlowListingsFor(Form1& window);
