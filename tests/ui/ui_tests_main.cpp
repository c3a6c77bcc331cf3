#include "form1_layout_test.h"
#include "form1_startup_test.h"
#include "hyperlink_test.h"
#include "load_errors_test.h"
#include "loading_test.h"
#include "rules_test.h"
#include "run_safety_test.h"
#include "run_test.h"

#include "app/application.h"
#include "platform/shell_execute.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

template <typename T> int Run(int argc, char* argv[]) {
    T test;
    return QTest::qExec(&test, argc, argv);
}

int main(int argc, char* argv[]) {
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

    int failed = 0;
    failed += Run<Form1StartupTest>(argc, argv);
    failed += Run<Form1LayoutTest>(argc, argv);
    failed += Run<HyperLinkTest>(argc, argv);
    failed += Run<RulesTest>(argc, argv);
    failed += Run<LoadingTest>(argc, argv);
    failed += Run<LoadErrorsTest>(argc, argv);
    failed += Run<RunTest>(argc, argv);
    failed += Run<RunSafetyTest>(argc, argv);
    return failed == 0 ? 0 : 1;
}
