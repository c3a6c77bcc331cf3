#include "new_folder.h"

#include "engine/copy_errors.h"
#include "folder_listing.h"
#include "kit/error_message.h"
#include "platform/file_ops.h"
#include "platform/folder_names.h"

#include <QFile>
#include <QInputDialog>

namespace {

bool Exists(const QString& path) {
    platform::FileInfo info;
    return platform::RealFileOps().Lstat(QFile::encodeName(path).toStdString(), info) == 0;
}

// A name not taken yet, to offer first.
QString FreeName(const QString& parent) {
    QString name = "Neuer Ordner";
    for (int n = 2; Exists(ChildPath(parent, name)) && n < 1000; ++n)
        name = QString("Neuer Ordner (%1)").arg(n);
    return name;
}

} // namespace

QString NewFolderNameProblem(const QString& name, const QString& parent) {
    if (name.trimmed().isEmpty())
        return "Bitte geben Sie einen Namen für den neuen Ordner ein.";
    if (name.contains('/'))
        return "Ein Ordnername darf keinen Schrägstrich („/“) enthalten.";
    if (name.contains(QChar(0)))
        return "Der Name enthält ein Zeichen, das in Ordnernamen nicht erlaubt ist.";
    if (name == "." || name == "..")
        return "Die Namen „.“ und „..“ sind für Ordner nicht erlaubt.";
    if (Exists(ChildPath(parent, name)))
        return QString("In diesem Ordner gibt es schon einen Eintrag mit dem Namen „%1“.")
            .arg(name);
    return {};
}

QString AskAndMakeFolder(QWidget* owner, const QString& parent) {
    QString name = FreeName(parent);
    for (;;) {
        QInputDialog ask(owner);
        ask.setObjectName("NewFolderName");
        ask.setWindowTitle("Neuer Ordner");
        ask.setLabelText("Name des neuen Ordners:");
        ask.setTextValue(name);
        ask.setOkButtonText("OK");
        ask.setCancelButtonText("Abbrechen");
        if (ask.exec() != QDialog::Accepted)
            return {};
        // Blanks around a name are nearly always typed by mistake, and hard to see later.
        name = ask.textValue().trimmed();
        const QString problem = NewFolderNameProblem(name, parent);
        if (!problem.isEmpty()) {
            ShowErrorMessage(owner, problem);
            continue;
        }
        const QString path = ChildPath(parent, name);
        const int err = platform::MakeFolder(QFile::encodeName(path).toStdString());
        if (err == 0)
            return name;
        ShowErrorMessage(owner, QString("Der Ordner „%1“ konnte nicht angelegt werden.\n%2")
                                    .arg(path, QString::fromStdString(ErrorDescription(err))));
        return {};
    }
}
