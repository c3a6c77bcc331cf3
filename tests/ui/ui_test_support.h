#pragma once

#include "platform/file_ops.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

// The registry root every setting lives under.
inline const std::string kRootKey = "Software\\Halvorn Soft\\Gleichwart";

// The named control of a window, failing the test when it is missing.
template <typename T> T* Control(QWidget* window, const QString& name) {
    T* w = window->findChild<T*>(name);
    if (w == nullptr)
        qFatal("control %s not found", qPrintable(name));
    return w;
}

// Runs `action` on the next modal window that opens (a message box, a dialog), then closes it.
void OnNextModal(std::function<void(QWidget*)> action);
// Stops every watcher of OnNextModal that has not seen its window yet.
void CancelModalWatchers();

// Stores `text` as the rule "Test" and makes it the one the next main window starts with.
void UseRule(const std::string& text);

// Types both paths into the main window and presses "Ordner laden".
void LoadFolders(QWidget* mainWindow, const std::string& start, const std::string& target);

class Form1;
class TreeBuilder;
// A shown main window that starts with `rule` and has loaded the folders "start" and "ziel"
// of `trees`.
std::unique_ptr<Form1> LoadedWindow(const std::string& rule, const TreeBuilder& trees);

// Answers the next delete question with "Ja" and keeps its title and text.
void AnswerDeleteQuestion(QString& title, QString& text);

// Every file below `root` that lies in a trash's "files" folder, sorted.
QStringList TrashedNames(const QString& root);

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
