// GLib's headers first: Qt's keyword macros would clash with their member names.
#include <gio/gio.h>

#include "shortcut.h"

#include "engine/copy_errors.h"
#include "platform/desktop_entry.h"
#include "platform/whole_file.h"

#include <QFileInfo>

namespace {

std::string Bytes(const QString& s) {
    return s.toUtf8().toStdString();
}

// Desktops that ask before they start an unknown shortcut accept one marked as trusted.
void MarkTrusted(const QString& path) {
    GFile* file = g_file_new_for_path(QFile::encodeName(path).constData());
    GError* error = nullptr;
    // Fails where no desktop keeps file marks; the shortcut works all the same.
    g_file_set_attribute_string(file, "metadata::trusted", "true", G_FILE_QUERY_INFO_NONE, nullptr,
                                &error);
    if (error != nullptr)
        g_error_free(error);
    g_object_unref(file);
}

} // namespace

QString CreateShortcut(const QString& target, QString linkFile, const QStringList& arguments,
                       const QString& description, const QString& workingDirectory) {
    if (!linkFile.toLower().endsWith(".desktop"))
        linkFile += ".desktop";
    DesktopShortcut shortcut;
    shortcut.name = Bytes(QFileInfo(linkFile).completeBaseName());
    shortcut.program = Bytes(target);
    for (const QString& argument : arguments)
        shortcut.arguments.push_back(Bytes(argument));
    shortcut.workingDirectory = Bytes(workingDirectory);
    shortcut.icon = "gleichwart";
    shortcut.comment = Bytes(description);
    const std::optional<std::string> text = DesktopEntryText(shortcut);
    if (!text)
        return "Ein Pfad der Verknüpfung enthält ein Steuerzeichen, das eine Verknüpfung nicht "
               "weitergeben kann.";
    if (const int err = WriteWholeFile(Bytes(linkFile), *text, 0755); err != 0)
        return QString::fromStdString(ErrorDescription(err));
    MarkTrusted(linkFile);
    return QString();
}
