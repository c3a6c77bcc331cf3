#include "test_applications.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QTemporaryDir& Root() {
    static QTemporaryDir root;
    return root;
}

QString RecordFolder() {
    return Root().path() + "/started";
}

void WriteText(const QString& path, const QByteArray& text, bool executable = false) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner);
}

// A script that writes its parent's number and then each argument ended by a zero byte, so
// that any name comes back whole; the record appears at once when complete.
void WriteApplication(const QString& id, const QString& name, const QString& which,
                      const QString& field, const QString& icon) {
    const QString share = Root().path() + "/share";
    const QString script = Root().path() + "/bin/" + which;
    const QString record = RecordFolder() + "/" + which;
    WriteText(script,
              ("#!/bin/sh\n{ printf '%s\\n' \"$PPID\"; for a in \"$@\"; do printf '%s\\0' "
               "\"$a\"; done; } > '" +
               record + ".tmp' && mv '" + record + ".tmp' '" + record + "'\n")
                  .toUtf8(),
              true);
    WriteText(share + "/applications/" + id,
              ("[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + script + " " +
               field + "\nIcon=" + icon + "\nMimeType=text/plain;\nTerminal=false\n")
                  .toUtf8());
}

// A picture of the machine's icon theme as a file, where it has one; else the icon's name.
QString IconFile(const QString& name) {
    const QString file = "/usr/share/icons/Adwaita/24x24/legacy/" + name + ".png";
    return QFile::exists(file) ? file : name;
}

} // namespace

void UseTestApplications() {
    const QString root = Root().path();
    for (const char* sub : {"/share/applications", "/bin", "/started", "/config-dirs"})
        QDir().mkpath(root + sub);
    // The machine's MIME types and icons, but none of its applications.
    QFile::link("/usr/share/mime", root + "/share/mime");
    QFile::link("/usr/share/icons", root + "/share/icons");
    // The default sorts last, so that only the default's place can put it first.
    WriteApplication("gleichwart-test-zeditor.desktop", "Testeditor", "editor", "%F",
                     IconFile("accessories-text-editor"));
    WriteApplication("gleichwart-test-aviewer.desktop", "Testbetrachter", "viewer", "%f",
                     IconFile("accessories-dictionary"));
    // Both registered, the default one last, as a desktop records a choice made later.
    WriteText(root + "/share/applications/mimeapps.list",
              "[Added Associations]\ntext/plain=gleichwart-test-aviewer.desktop;"
              "gleichwart-test-zeditor.desktop;\n\n"
              "[Default Applications]\ntext/plain=gleichwart-test-zeditor.desktop\n");
    qputenv("XDG_DATA_DIRS", (root + "/share").toUtf8());
    qputenv("XDG_CONFIG_DIRS", (root + "/config-dirs").toUtf8());
    qunsetenv("XDG_CURRENT_DESKTOP");
}

StartedApplication TakeStartedApplication(const QString& which, int waitMs) {
    StartedApplication started;
    QFile record(RecordFolder() + "/" + which);
    QElapsedTimer waited;
    waited.start();
    while (!record.exists() && waited.elapsed() < waitMs)
        QTest::qWait(20);
    if (!record.open(QIODevice::ReadOnly))
        return started;
    const QByteArray text = record.readAll();
    record.close();
    record.remove();
    const qsizetype line = text.indexOf('\n');
    started.parentProcess = text.left(line).toLongLong();
    QByteArrayList parts = text.mid(line + 1).split('\0');
    parts.removeLast(); // after the last argument's end
    for (const QByteArray& part : parts)
        started.arguments << QString::fromUtf8(part);
    return started;
}

void ForgetStartedApplications() {
    for (const QString& name : QDir(RecordFolder()).entryList(QDir::Files))
        QFile::remove(RecordFolder() + "/" + name);
}
