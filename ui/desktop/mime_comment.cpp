#include "mime_comment.h"

#include <QFile>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace {

// The comments of the type's own description file, German and untranslated.
bool ReadComments(const QString& file, QString& german, QString& plain) {
    QFile xml(file);
    if (!xml.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader reader(&xml);
    while (reader.readNextStartElement()) {
        if (reader.name() == u"mime-type")
            continue;
        if (reader.name() != u"comment") {
            reader.skipCurrentElement();
            continue;
        }
        const QString language = reader.attributes().value("xml:lang").toString();
        const QString text = reader.readElementText();
        if (language.isEmpty())
            plain = text;
        else if (language == u"de")
            german = text;
    }
    return true;
}

} // namespace

QString GermanMimeComment(const QString& mimeType) {
    // An alias ("text/x-c") is described under its own name.
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
    const QString name = type.isValid() ? type.name() : mimeType;
    QString german, plain;
    for (const QString& file :
         QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, "mime/" + name + ".xml")) {
        if (ReadComments(file, german, plain))
            break;
    }
    if (!german.isEmpty())
        return german;
    if (!plain.isEmpty())
        return plain;
    return type.isValid() && !type.comment().isEmpty() ? type.comment() : mimeType;
}
