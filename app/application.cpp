#include "application.h"

#include "desktop/desktop_launcher.h"

#include <QApplication>
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
    InstallDesktopLauncher();
}
