#include "menu_test_support.h"

#include "desktop/shell_menu.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>

#include <array>

namespace {

QString Root() {
    static QTemporaryDir root;
    return root.path();
}

} // namespace

void UseTestApplications() {
    const QString root = Root();
    for (const char* sub : {"/share/applications", "/started", "/config-dirs"})
        QDir().mkpath(root + sub);
    QFile::link("/usr/share/mime", root + "/share/mime");
    QFile::link("/usr/share/icons", root + "/share/icons");
    // Writes its parent's number and then each argument after the first ended by a zero byte,
    // so that any name comes back whole, into the record the first names; the record appears
    // at once when complete.
    WriteFile((root + "/record").toStdString(),
              "#!/bin/sh\nr=\"" + root.toStdString() +
                  "/started/$1\"; shift\n{ printf '%s\\n' \"$PPID\"; "
                  "for a in \"$@\"; do printf '%s\\0' \"$a\"; done; } > \"$r.tmp\" && mv "
                  "\"$r.tmp\" \"$r\"\n");
    QFile::setPermissions(root + "/record", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The default sorts last, so that only the default's place can put it first.
    for (const auto& [id, name, args, icon] :
         {std::array<QString, 4>{"zeditor", "Testeditor", "editor %F", "text-editor"},
          {"aviewer", "Testbetrachter", "viewer %f", "dictionary"}})
        WriteFile((root + "/share/applications/gleichwart-test-" + id + ".desktop").toStdString(),
                  ("[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + root +
                   "/record " + args + "\nIcon=/usr/share/icons/Adwaita/24x24/legacy/accessories-" +
                   icon + ".png\nMimeType=text/plain;\nTerminal=false\n")
                      .toStdString());
    // Both registered, the default one last, as a desktop records a choice made later.
    WriteFile((root + "/share/applications/mimeapps.list").toStdString(),
              "[Added Associations]\ntext/plain=gleichwart-test-aviewer.desktop;"
              "gleichwart-test-zeditor.desktop;\n\n"
              "[Default Applications]\ntext/plain=gleichwart-test-zeditor.desktop\n");
    qputenv("XDG_DATA_DIRS", (root + "/share").toUtf8());
    qputenv("XDG_CONFIG_DIRS", (root + "/config-dirs").toUtf8());
    qunsetenv("XDG_CURRENT_DESKTOP");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/gleichwart-test-bus");
    Dismiss();
}

StartedApplication TakeStartedApplication(const QString& which, int waitMs) {
    QFile record(Root() + "/started/" + which);
    if (!QTest::qWaitFor([&] { return record.exists(); }, waitMs) ||
        !record.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = record.readAll();
    record.remove();
    const qsizetype line = text.indexOf('\n');
    StartedApplication started{{}, text.left(line).toLongLong()};
    QByteArrayList parts = text.mid(line + 1).split('\0');
    parts.removeLast(); // after the last argument's end
    for (const QByteArray& part : parts)
        started.arguments << QString::fromUtf8(part);
    return started;
}

namespace {

// The place (from 1) of `action` in the menu or submenu that holds it, 0 for none.
int PlaceOf(QAction* action) {
    const auto* menu = qobject_cast<QMenu*>(action->associatedObjects().value(0));
    return menu != nullptr ? int(menu->actions().indexOf(action)) + 1 : 0;
}

// Fails the running case when the entry to be chosen is missing, disabled or elsewhere.
bool Usable(QAction* action, const QString& text, int place) {
    QString problem;
    if (action == nullptr)
        problem = "is not in the menu";
    else if (!action->isEnabled())
        problem = "is disabled";
    else if (PlaceOf(action) != place)
        problem = QString("stands at place %1, not %2").arg(PlaceOf(action)).arg(place);
    if (!problem.isEmpty())
        QTest::qFail(qPrintable("menu entry \"" + text + "\" " + problem), __FILE__, __LINE__);
    return problem.isEmpty();
}

} // namespace

void Choose(const QString& text, int place, MenuSeen* seen) {
    clsShellMenu::setMenuChooser([text, place, seen](QMenu& menu) -> QAction* {
        QAction* chosen = nullptr;
        if (seen != nullptr)
            *seen = {seen->opened + 1, {}};
        // Every entry, those of submenus too, in the order they were made.
        for (QAction* a : menu.findChildren<QAction*>()) {
            if (a->isSeparator() || a->menu() != nullptr)
                continue;
            if (a->text() == text && chosen == nullptr)
                chosen = a;
            if (seen != nullptr && a->isChecked())
                seen->ticked << a->text();
        }
        return text.isEmpty() || !Usable(chosen, text, place) ? nullptr : chosen;
    });
}

void Dismiss(MenuSeen* seen) {
    Choose({}, 0, seen);
}

MenuSignals::MenuSignals(clsShellMenu& s, const std::string& file) : watched(file) {
    QObject::connect(&s, &clsShellMenu::ItemClickedBeforeAction,
                     [this](const QVariant& f, const QString& caption, bool& c) {
                         events << "vorher:" + caption + exists();
                         files = f;
                         c = cancel;
                     });
    QObject::connect(&s, &clsShellMenu::ItemClickedAfterAction,
                     [this](const QVariant& f, const QString& caption) {
                         events << "nachher:" + caption + exists();
                         files = f;
                     });
    QObject::connect(&s, &clsShellMenu::CustomItemClicked, [this](const QVariant& f, int i) {
        events << QString("extra:%1").arg(i);
        files = f;
    });
}

QStringList Messages(const std::function<void()>& action) {
    QStringList texts;
    const ExpectModals expected;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&texts] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            texts << box->text();
            PressYes(box);
            box->close();
        }
    });
    watcher.start(10);
    action();
    return texts;
}

void AnswerRename(const QString& name) {
    OnNextModal([name](QWidget* modal) {
        QCOMPARE(modal->objectName(), QString("RenameDialog"));
        Control<QLineEdit>(modal, "NewName")->setText(name);
        for (QPushButton* b : modal->findChildren<QPushButton*>())
            if (b->text() == "OK")
                b->click();
    });
}
