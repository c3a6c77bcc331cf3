#include "desktop_shell.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

bool AskDeleteQuestion(QWidget* owner, std::size_t count, bool toRecycleBin) {
    QString question;
    if (count == 1)
        question = toRecycleBin ? "Soll diese Datei wirklich in den Papierkorb verschoben werden?"
                                : "Soll diese Datei wirklich endgültig gelöscht werden?";
    else
        question =
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

void ShowDeleteFailures(QWidget* owner, const QStringList& lines) {
    QMessageBox box(QMessageBox::Warning, "Dateien löschen",
                    "Folgende Dateien konnten nicht gelöscht werden:", QMessageBox::Ok, owner);
    box.setObjectName("DeleteFailures");
    // Many paths go into the details, which scroll; the first few are in the message itself.
    box.setInformativeText(lines.mid(0, 10).join("\n") +
                           (lines.size() > 10 ? QString("\n…") : QString()));
    if (lines.size() > 10)
        box.setDetailedText(lines.join("\n"));
    box.exec();
}

void ShowNoHelpMessage(QWidget* owner) {
    QMessageBox box(QMessageBox::Warning, "Gleichwart",
                    "Es existiert momentan noch keine Programmhilfe.\n"
                    "Bei Fragen bitte dem Autor eine Mail schicken",
                    QMessageBox::Ok, owner);
    box.setObjectName("HelpMessage");
    box.exec();
}
