#pragma once

#include <QString>

class QWidget;

// A message box titled "Fehler..." with the critical icon and "OK", shown modally.
void ShowErrorMessage(QWidget* owner, const QString& text,
                      const QString& objectName = "ErrorMessage");
// A message box with the warning icon and "OK", shown modally: something the user should know
// that did not stop what they asked for.
void ShowWarning(QWidget* owner, const QString& title, const QString& text,
                 const QString& objectName);
