// Times "Ordner laden" in the main window, and with --run the whole "Synchronisieren" after
// it with the delete question answered "Ja", with the status bar, activity strip, progress
// panel and event loop the user sees, on the offscreen platform. The rule is given as its
// stored text, as the engine's benchmark takes it.
#include "app/application.h"
#include "mainwindow/form1.h"
#include "platform/registry/registry_hive.h"
#include "rules/rule_store.h"
#include "settings/app_settings.h"
#include "settings/cls_registry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

// With --rules N: the time from the program's start to a shown, idle main window whose rule
// list holds N stored rules.
int TimeStartWithRules(int argc, char** argv, int rules) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    {
        win::HiveData data;
        win::HiveKey& key = data.ensureKey(std::string("HKEY_CURRENT_USER\\") + kRulesKey);
        for (int i = 0; i < rules; ++i)
            key.values.push_back({"Regel " + std::to_string(i), 1, std::string("0|4|1|1") + '\0'});
        QDir().mkpath(home.path() + "/gleichwart");
        std::ofstream(win::HivePathFromEnvironment()) << win::SerializeHive(data);
    }
    QElapsedTimer timer;
    timer.start();
    QApplication app(argc, argv);
    SetUpApplication(app);
    Form1 w;
    w.show();
    QCoreApplication::processEvents();
    std::printf("window start %.3f s with %d rules in the list\n", timer.elapsed() / 1000.0,
                w.findChild<QComboBox*>("Combo1")->count());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--rules")
        return TimeStartWithRules(argc, argv, std::atoi(argv[2]));
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s START TARGET [RULE] [--run] | --rules N\n", argv[0]);
        return 2;
    }
    const std::string rule = argc > 3 ? argv[3] : "0|4|1|1";
    const bool run = argc > 4 && std::string(argv[4]) == "--run";
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home; // a settings hive of its own, holding only the rule "Bench"
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    SetUpApplication(app);
    {
        clsRegistry registry;
        registry.SetStringValue(clsRegistry::HKEY_CURRENT_USER, kRulesKey, "Bench", rule);
        registry.SetStringValue(clsRegistry::HKEY_CURRENT_USER, AppSettings::kRootKey, "LastRegel",
                                "Bench");
    }
    Form1 w;
    w.show();
    w.findChild<QLineEdit*>("Text1")->setText(QString::fromLocal8Bit(argv[1]));
    w.findChild<QLineEdit*>("Text2")->setText(QString::fromLocal8Bit(argv[2]));
    // How long the window's events wait at most while it loads: a timer due every 5 ms
    // notes the longest gap between two of its turns.
    QElapsedTimer sinceTurn;
    qint64 longestPause = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout,
                     [&] { longestPause = std::max(longestPause, sinceTurn.restart()); });
    heartbeat.start(5);
    QElapsedTimer timer;
    timer.start();
    sinceTurn.start();
    w.findChild<QPushButton*>("Command1")->click();
    const double loadSeconds = timer.elapsed() / 1000.0;
    heartbeat.stop();
    const int copies = w.findChild<QListView*>("List1")->model()->rowCount();
    // GLEICHWART_BENCH_PICTURE: where to save a picture of the window after the load.
    if (const QString picture = qEnvironmentVariable("GLEICHWART_BENCH_PICTURE");
        !picture.isEmpty())
        w.grab().save(picture);
    if (!run) {
        std::printf("window load %.3f s, %d entries in the copy list, events waited at most "
                    "%lld ms\n",
                    loadSeconds, copies, static_cast<long long>(longestPause));
        return 0;
    }
    // "Ja" to the delete question, and OK to any other box, as soon as it is shown.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            (yes != nullptr ? yes : box->buttons().value(0))->click();
        } else if (QWidget* other = QApplication::activeModalWidget()) {
            other->close();
        }
    });
    answer.start(20);
    timer.restart();
    w.findChild<QPushButton*>("Command3")->click();
    std::printf("window load %.3f run %.3f copies %d\n", loadSeconds, timer.elapsed() / 1000.0,
                copies);
    return 0;
}
