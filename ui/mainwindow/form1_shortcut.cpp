// "Verknüpfung erstellen": a desktop shortcut that starts the program with the paths and the
// rule shown now, so it loads them at once.
#include "form1.h"

#include "desktop/file_dialogs.h"
#include "desktop/shortcut.h"
#include "desktop/special_folders.h"
#include "input_panel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>

void Form1::CreateLink_Click() {
    QMessageBox info(QMessageBox::Information, "Information",
                     "Diese Funktion erstellt eine Verknüpfung mit den jetzt eingestellten "
                     "Parametern.\nBei Ausführen dieser Verknüpfung werden diese Parameter "
                     "übernommen und der Ordner wird sofort geladen.",
                     QMessageBox::Ok, this);
    info.setObjectName("ShortcutInformation");
    info.exec();
    const QString desktop = SpecialFolderPath(16);
    QString filter = "Verknüpfungen |*.desktop";
    const QString file = ShowSaveDialog(this, filter, "Verknüpfung erstellen...", desktop);
    if (file.isEmpty())
        return;
    const QStringList arguments = {"/Startordner|" + inputPanel_->startPathBox()->text(),
                                   "/Zielordner|" + inputPanel_->targetPathBox()->text(),
                                   "/Regel|" + inputPanel_->ruleList()->currentText()};
    const QString reason = CreateShortcut(QCoreApplication::applicationFilePath(), file, arguments,
                                          QString(), QCoreApplication::applicationDirPath());
    if (reason.isEmpty())
        return;
    QMessageBox failed(QMessageBox::Critical, "Fehler...",
                       "Die Verknüpfung konnte nicht gespeichert werden:\n" + file + "\n\n" +
                           reason,
                       QMessageBox::Ok, this);
    failed.setObjectName("ShortcutError");
    failed.exec();
}
