#include "error_message.h"

#include <QMessageBox>

void ShowErrorMessage(QWidget* owner, const QString& text, const QString& objectName) {
    QMessageBox box(QMessageBox::Critical, "Fehler...", text, QMessageBox::Ok, owner);
    box.setObjectName(objectName);
    box.exec();
}

void ShowWarning(QWidget* owner, const QString& title, const QString& text,
                 const QString& objectName) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, owner);
    box.setObjectName(objectName);
    box.exec();
}
