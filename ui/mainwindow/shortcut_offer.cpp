// "Verknüpfung erstellen": a desktop shortcut that starts the program with the paths and the
// rule shown now, so it loads them at once.
#include "shortcut_offer.h"

#include "desktop/file_dialogs.h"
#include "desktop/shortcut.h"
#include "desktop/special_folders.h"
#include "kit/error_message.h"
#include "settings/command_line.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace {

std::string Bytes(const QString& s) {
    return s.toUtf8().toStdString();
}

// Why the shortcut's command line would hand over other values than these, or empty: blanks at
// either end of a value, a "|" or a key inside it are read as the command line's own syntax.
QString WhyNotCarried(const QString& startPath, const QString& targetPath, const QString& rule) {
    QString value;
    switch (FirstValueNotCarried(Bytes(startPath), Bytes(targetPath), Bytes(rule))) {
    case CommandLineValue::kNone:
        return QString();
    case CommandLineValue::kStartFolder:
        value = "Der Startpfad \"" + startPath + "\"";
        break;
    case CommandLineValue::kTargetFolder:
        value = "Der Zielpfad \"" + targetPath + "\"";
        break;
    case CommandLineValue::kRule:
        value = "Der Regelname \"" + rule + "\"";
        break;
    }
    return "Die Verknüpfung wurde nicht erstellt: " + value +
           " käme beim Öffnen der Verknüpfung verändert an.\n\nEine Verknüpfung gibt keine "
           "Leerzeichen am Anfang oder Ende, kein \"|\" und keinen Schlüssel wie \" /Regel|\" "
           "in einem Pfad oder Regelnamen weiter.";
}

} // namespace

void OfferShortcut(QWidget* owner, const QString& startPath, const QString& targetPath,
                   const QString& rule) {
    // Refused before anything is asked: the shortcut would open other folders than these.
    if (const QString why = WhyNotCarried(startPath, targetPath, rule); !why.isEmpty()) {
        ShowErrorMessage(owner, why, "ShortcutRefused");
        return;
    }
    QMessageBox info(QMessageBox::Information, "Information",
                     "Diese Funktion erstellt eine Verknüpfung mit den jetzt eingestellten "
                     "Parametern.\nBei Ausführen dieser Verknüpfung werden diese Parameter "
                     "übernommen und der Ordner wird sofort geladen.",
                     QMessageBox::Ok, owner);
    info.setObjectName("ShortcutInformation");
    info.exec();
    const QString desktop = SpecialFolderPath(16);
    QString filter = "Verknüpfungen |*.desktop";
    // The dialog adds ".desktop" itself, so it asks before it replaces "Kopie.desktop" too.
    const QString file =
        ShowSaveDialog(owner, filter, "Verknüpfung erstellen...", desktop, "desktop");
    if (file.isEmpty())
        return;
    QStringList arguments;
    for (const std::string& a :
         CommandLineArguments(Bytes(startPath), Bytes(targetPath), Bytes(rule)))
        arguments << QString::fromUtf8(a.data(), qsizetype(a.size()));
    const QString reason = CreateShortcut(QCoreApplication::applicationFilePath(), file, arguments,
                                          QString(), QCoreApplication::applicationDirPath());
    if (reason.isEmpty())
        return;
    ShowErrorMessage(owner,
                     "Die Verknüpfung konnte nicht gespeichert werden:\n" + file + "\n\n" + reason,
                     "ShortcutError");
}
