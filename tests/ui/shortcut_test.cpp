// Desktop shortcuts: what the desktop's own launcher makes of the written file, the name it
// gets, and the menu item's way through the information box and the save dialog.
#include <gio/gdesktopappinfo.h>

#include "desktop/shortcut.h"
#include "ui_test_support.h"

#include <QAction>
#include <QFileDialog>

class ShortcutTest : public UiTestCase {
    Q_OBJECT
private slots:
    void theLauncherHandsOverExactlyTheArgumentsOfTheNamedFile() {
        const QString root = Q(home_->home.path());
        // A program that writes each argument it gets, one per line.
        const QString program = root + "/zeige args";
        const QString out = root + "/args.txt";
        WriteFile(program.toStdString(),
                  ("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + out + "'\n")
                      .toStdString());
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
        const QStringList arguments = {
            "/Startordner|/home/anna/Meine \"Fotos\" $HOME 100% `x`",
            "/Zielordner|/media/stick/a\\b;c|d 'e' #f",
            "/Regel|Beide Richtungen",
        };
        // The name gets its ".desktop", the file may be started.
        QCOMPARE(CreateShortcut(program, root + "/Test", arguments, QString(), root), QString());
        const QString link = root + "/Test.desktop";
        QVERIFY(QFile::permissions(link) & QFile::ExeOwner);
        // A folder that does not exist: a reason, and nothing written.
        QVERIFY(!CreateShortcut(program, root + "/fehlt/K", {}, {}, root).isEmpty());
        QVERIFY(!QFile::exists(root + "/fehlt"));

        GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(link.toUtf8().constData());
        QVERIFY(info != nullptr);
        GError* error = nullptr;
        const bool started = g_app_info_launch(G_APP_INFO(info), nullptr, nullptr, &error);
        g_object_unref(info);
        QVERIFY2(started, error != nullptr ? error->message : "");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out) && QFile(out).size() > 0, 5000);
        QTest::qWait(100);
        QCOMPARE(Q(ReadFile(out.toStdString())).split('\n', Qt::SkipEmptyParts), arguments);
    }

    void controlCharactersAreBlanksInNameAndCommentAndRefusedInPaths() {
        const QString root = Q(home_->home.path());
        const QString program = root + "/prog";
        const struct {
            QString link, description, workingDirectory, argument, program;
            QString expectedLine; // empty: refused, no file
        } rows[] = {
            {"Na\x01me", "", root, "/Regel|x", program, "Name=Na me\n"},
            {"K", "Ein\x7f Tipp\x1f", root, "/Regel|x", program, "Comment=Ein  Tipp \n"},
            {"K", "", root + "/a\x02", "/Regel|x", program, ""},
            {"K", "", root, "/Startordner|/a\x7f", program, ""},
            {"K", "", root, "/Regel|x", program + "\x03", ""},
            // A name that already ends in ".desktop" keeps it as it is.
            {"Fertig.desktop", "", root, "/Regel|x", program, "Name=Fertig\n"},
            {"GROSS.DESKTOP", "", root, "/Regel|x", program, "Name=GROSS\n"},
        };
        for (const auto& row : rows) {
            const QString name = row.link.endsWith(".desktop", Qt::CaseInsensitive)
                                     ? row.link
                                     : row.link + ".desktop";
            const QString reason =
                CreateShortcut(row.program, root + "/" + row.link, {row.argument}, row.description,
                               row.workingDirectory);
            QCOMPARE(reason.isEmpty(), !row.expectedLine.isEmpty());
            // Upper and lower case alike: no file at all, or this one with one suffix.
            QCOMPARE(QDir(root).entryList({"*.desktop"}, QDir::Files),
                     row.expectedLine.isEmpty() ? QStringList() : QStringList{name});
            if (row.expectedLine.isEmpty())
                continue;
            const QString text = Q(ReadFile((root + "/" + name).toStdString()));
            QVERIFY2(text.contains(row.expectedLine), qPrintable(text));
            QFile::remove(root + "/" + name);
        }
    }

    void theMenuItemRefusesPathsTheCommandLineWouldChangeElseWritesTheShortcut() {
        const QString desktop = Q(home_->home.path()) + "/Desktop";
        QDir().mkpath(desktop);
        Form1 w;
        w.show();
        Control<QLineEdit>(&w, "Text1")->setText("/home/anna/Fotos ");
        Control<QLineEdit>(&w, "Text2")->setText("/media/stick/Fotos");
        SeenBox seen;
        OnNextModal([&](QWidget* modal) {
            seen = Seen(modal);
            OnNextModal([](QWidget*) {}); // a save dialog after it goes unanswered
        });
        Control<QAction>(&w, "CreateLink")->trigger();
        CancelModalWatchers();
        QVERIFY2(seen.text.startsWith("Die Verknüpfung wurde nicht erstellt: Der Startpfad "
                                      "\"/home/anna/Fotos \" käme beim Öffnen"),
                 qPrintable(seen.text));
        QCOMPARE(QDir(desktop).entryList(QDir::Files), QStringList());

        // Without the blank: the information, then the file's name asked for.
        Control<QLineEdit>(&w, "Text1")->setText("/home/anna/Fotos");
        OnNextModal([&](QWidget* modal) {
            seen = Seen(modal);
            OnNextModal([&](QWidget* dialog) {
                auto* files = qobject_cast<QFileDialog*>(dialog);
                QVERIFY(files != nullptr);
                files->findChild<QLineEdit*>("fileNameEdit")->setText("Fotos sichern");
                QMetaObject::invokeMethod(files, "accept", Qt::DirectConnection);
            });
        });
        Control<QAction>(&w, "CreateLink")->trigger();
        QVERIFY(!seen.text.startsWith("Die Verknüpfung wurde nicht erstellt"));
        const QString text = Q(ReadFile((desktop + "/Fotos sichern.desktop").toStdString()));
        QVERIFY(
            text.contains("\"/Startordner|/home/anna/Fotos\" \"/Zielordner|/media/stick/Fotos\""));
        QVERIFY(text.contains(" \"/Regel|Aktualisieren\"\n"));
        // The same name again: the dialog asks before it replaces the file; unanswered, the
        // file stays as it was.
        OnNextModal([&](QWidget*) {
            OnNextModal([&](QWidget* dialog) {
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText("Fotos sichern");
                OnNextModal([&](QWidget* box) { seen = Seen(box); });
                QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
            });
        });
        Control<QLineEdit>(&w, "Text2")->setText("/media/stick/Anderes");
        Control<QAction>(&w, "CreateLink")->trigger();
        QVERIFY2(seen.text.startsWith("Die Datei Fotos sichern.desktop existiert bereits."),
                 qPrintable(seen.text));
        QCOMPARE(Q(ReadFile((desktop + "/Fotos sichern.desktop").toStdString())), text);
    }
};

GLEICHWART_UI_TEST_MAIN(ShortcutTest)
#include "shortcut_test.moc"
