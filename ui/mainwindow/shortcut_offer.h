#pragma once

#include <QString>

class QWidget;

// "Verknüpfung erstellen": explains what the shortcut does, asks where to save it (starting on
// the desktop) and writes one that starts this program with the three parts of the command
// line, so it loads these folders at once; a shortcut that cannot be written is reported.
void OfferShortcut(QWidget* owner, const QString& startPath, const QString& targetPath,
                   const QString& rule);
