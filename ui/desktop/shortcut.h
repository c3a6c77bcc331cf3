#pragma once

#include <QString>
#include <QStringList>

// Writes a desktop shortcut `linkFile` that starts `target` with `arguments` in
// `workingDirectory`; ".desktop" is added when the name does not end in it (in any letter
// case). The file is made executable and, where the desktop keeps such marks, trusted, so a
// double click starts it. Control characters that such a file cannot escape become blanks in
// the name and the description and refuse the shortcut in a path or an argument. Returns an
// empty text, or the German reason it could not be written; then no file and no part of one
// was left.
QString CreateShortcut(const QString& target, QString linkFile, const QStringList& arguments,
                       const QString& description, const QString& workingDirectory);
