#pragma once

#include <QString>

// The German description of a MIME type from the desktop's shared MIME database
// ("Einfaches Textdokument" for text/plain); its description in English where the database
// has no German one, and the type itself where it has none at all.
QString GermanMimeComment(const QString& mimeType);
