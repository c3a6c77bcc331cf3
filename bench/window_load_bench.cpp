// Times "Ordner laden" in the main window, with the status bar, activity strip, progress
// bar and event pump the user sees, on the offscreen platform.
#include "app/application.h"
#include "mainwindow/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s START TARGET\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home; // a settings hive of its own: the starter rules, "Aktualisieren" first
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    SetUpApplication(app);
    Form1 w;
    w.show();
    w.findChild<QLineEdit*>("Text1")->setText(QString::fromLocal8Bit(argv[1]));
    w.findChild<QLineEdit*>("Text2")->setText(QString::fromLocal8Bit(argv[2]));
    QElapsedTimer timer;
    timer.start();
    w.findChild<QPushButton*>("Command1")->click();
    std::printf("window load %.3f s, %d entries in the copy list\n", timer.elapsed() / 1000.0,
                w.findChild<QListView*>("List1")->model()->rowCount());
    return 0;
}
