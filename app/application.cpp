#include "application.h"

#include "desktop/desktop_launcher.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

void LoadGermanStandardTexts(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
    else
        delete translator;
}

// Tahoma is not on a Linux desktop as a rule; where a metric-compatible copy is installed
// the program uses it, elsewhere fontconfig picks a substitute.
void AddTahoma() {
    for (const char* file :
         {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        if (QFile::exists(file))
            QFontDatabase::addApplicationFont(file);
    }
}

} // namespace

void SetUpApplication(QApplication& app) {
    // The icons are compiled into a static library: nothing would pull them in otherwise.
    Q_INIT_RESOURCE(gleichwart);
    app.setApplicationName("Gleichwart");
    app.setOrganizationName("Halvorn Soft");
    // The desktop matches the window to its entry (and so to its icon) by this name.
    app.setDesktopFileName(GLEICHWART_APP_ID);
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QString(":/icons/gleichwart-%1.png").arg(size), QSize(size, size));
    app.setWindowIcon(icon);
    LoadGermanStandardTexts(app);
    AddTahoma();
    InstallDesktopLauncher();
}
