#pragma once

#include <QString>

class QWidget;

// The program's two file dialogs. `filter` holds caption and pattern pairs separated by "|"
// ("Verknüpfungen |*.desktop", patterns joined by ";"); a missing closing "|" is added to it.
// Each returns the chosen file's full path, or an empty text when the user cancelled.
// Saving asks before it replaces a file, also one that the name gets only with
// `defaultSuffix` ("desktop") added; opening takes only a file that exists.
QString ShowSaveDialog(QWidget* owner, QString& filter, const QString& title,
                       const QString& initialFolder, const QString& defaultSuffix = QString());
QString ShowOpenDialog(QWidget* owner, QString& filter, const QString& title,
                       const QString& initialFolder);

// The filter in the dialog's own form: "Verknüpfungen (*.desktop)", one line per pair.
QString DialogFilter(const QString& filter);

// Blanks around the text removed, then every NUL at its end, with the blanks before it.
QString StripTrailingNulls(QString text);
