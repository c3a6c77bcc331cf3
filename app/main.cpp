#include "app/application.h"
#include "mainwindow/form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SetUpApplication(app);
    Form1 window;
    window.show();
    return app.exec();
}
