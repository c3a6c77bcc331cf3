// "Verknüpfung erstellen": a desktop shortcut that starts the program with the paths and the
// rule shown now, so it loads them at once.
#include "shortcut_offer.h"

#include "desktop/file_dialogs.h"
#include "desktop/shortcut.h"
#include "desktop/special_folders.h"
#include "kit/error_message.h"

#include <QCoreApplication>
#include <QMessageBox>

void OfferShortcut(QWidget* owner, const QString& startPath, const QString& targetPath,
                   const QString& rule) {
    QMessageBox info(QMessageBox::Information, "Information",
                     "Diese Funktion erstellt eine Verknüpfung mit den jetzt eingestellten "
                     "Parametern.\nBei Ausführen dieser Verknüpfung werden diese Parameter "
                     "übernommen und der Ordner wird sofort geladen.",
                     QMessageBox::Ok, owner);
    info.setObjectName("ShortcutInformation");
    info.exec();
    const QString desktop = SpecialFolderPath(16);
    QString filter = "Verknüpfungen |*.desktop";
    const QString file = ShowSaveDialog(owner, filter, "Verknüpfung erstellen...", desktop);
    if (file.isEmpty())
        return;
    const QStringList arguments = {"/Startordner|" + startPath, "/Zielordner|" + targetPath,
                                   "/Regel|" + rule};
    const QString reason = CreateShortcut(QCoreApplication::applicationFilePath(), file, arguments,
                                          QString(), QCoreApplication::applicationDirPath());
    if (reason.isEmpty())
        return;
    ShowErrorMessage(owner,
                     "Die Verknüpfung konnte nicht gespeichert werden:\n" + file + "\n\n" + reason,
                     "ShortcutError");
}
