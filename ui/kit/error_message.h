#pragma once

#include <QString>

class QWidget;

// A message box titled "Fehler..." with the critical icon and "OK", shown modally.
void ShowErrorMessage(QWidget* owner, const QString& text,
                      const QString& objectName = "ErrorMessage");
