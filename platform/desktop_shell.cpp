#include "desktop_shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> SplitPathList(const std::string& list) {
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start < list.size()) {
        const auto end = list.find('\0', start);
        if (end == start || end == std::string::npos)
            break;
        paths.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

QString Display(const std::string& path) {
    return QString::fromUtf8(path.data(), qsizetype(path.size()));
}

bool Ask(QWidget* owner, std::size_t count, bool toRecycleBin) {
    const QString question =
        toRecycleBin
            ? QString("Sollen diese %1 Dateien wirklich in den Papierkorb verschoben werden?")
                  .arg(count)
            : QString("Sollen diese %1 Dateien wirklich endgültig gelöscht werden?").arg(count);
    QMessageBox box(QMessageBox::Question, "Dateien löschen", question, QMessageBox::NoButton,
                    owner);
    box.setObjectName("DeleteQuestion");
    QPushButton* yes = box.addButton("Ja", QMessageBox::YesRole);
    QPushButton* no = box.addButton("Nein", QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

// Moves one file into the trash, or deletes it; the reason on failure.
bool DeleteOne(const std::string& path, bool toRecycleBin, QString& reason) {
    if (toRecycleBin) {
        // The trash in the user's data folder can only be set up when that folder exists;
        // without it Qt would put the "trash" beside the working folder.
        const QString dataHome =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QDir().mkpath(dataHome);
        QFile file(QFile::decodeName(QByteArray(path.data(), qsizetype(path.size()))));
        const QString original = file.fileName();
        if (!file.moveToTrash()) {
            reason = file.errorString();
            return false;
        }
        if (QFileInfo(file.fileName()).isAbsolute())
            return true;
        // No real trash could be found: put the file back where it was.
        QFile::rename(file.fileName(), original);
        reason = "Kein Papierkorb gefunden";
        return false;
    }
    if (::unlink(path.c_str()) == 0)
        return true;
    reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

} // namespace

int ShellDeleteFiles(QWidget* owner, const std::string& pathList, bool toRecycleBin, bool confirm) {
    const std::vector<std::string> paths = SplitPathList(pathList);
    if (paths.empty())
        return 0;
    if (confirm && !Ask(owner, paths.size(), toRecycleBin))
        return 1;
    QStringList failed;
    for (const std::string& path : paths) {
        QString reason;
        if (!DeleteOne(path, toRecycleBin, reason))
            failed << Display(path) + " (" + reason + ")";
    }
    if (failed.isEmpty())
        return 0;
    QMessageBox box(QMessageBox::Warning, "Dateien löschen",
                    "Folgende Dateien konnten nicht gelöscht werden:", QMessageBox::Ok, owner);
    box.setObjectName("DeleteFailures");
    // Many paths go into the details, which scroll; the first few are in the message itself.
    box.setInformativeText(failed.mid(0, 10).join("\n") +
                           (failed.size() > 10 ? QString("\n…") : QString()));
    if (failed.size() > 10)
        box.setDetailedText(failed.join("\n"));
    box.exec();
    return 2;
}
