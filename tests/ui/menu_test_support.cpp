#include "menu_test_support.h"

#include "desktop/shell_menu.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QString Root() {
    static QTemporaryDir root;
    return root.path();
}

void WriteText(const QString& path, const QString& text, bool executable = false) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        qFatal("cannot write %s", qPrintable(path));
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner);
}

// A script that writes its parent's number and then each argument ended by a zero byte, so
// that any name comes back whole; the record appears at once when complete.
void WriteApplication(const QString& id, const QString& name, const QString& which,
                      const QString& field, const QString& icon) {
    const QString script = Root() + "/bin/" + which;
    const QString record = Root() + "/started/" + which;
    WriteText(script,
              "#!/bin/sh\n{ printf '%s\\n' \"$PPID\"; for a in \"$@\"; do printf '%s\\0' "
              "\"$a\"; done; } > '" +
                  record + ".tmp' && mv '" + record + ".tmp' '" + record + "'\n",
              true);
    WriteText(Root() + "/share/applications/" + id,
              "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + script + " " + field +
                  "\nIcon=/usr/share/icons/Adwaita/24x24/legacy/" + icon +
                  ".png\nMimeType=text/plain;\nTerminal=false\n");
}

QStringList Texts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts << (action->isSeparator() ? QString("-") : action->text());
    return texts;
}

QAction* Find(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        QAction* inner = action->menu() != nullptr ? Find(*action->menu(), text) : nullptr;
        if (action->text() == text || inner != nullptr)
            return inner != nullptr ? inner : action;
    }
    return nullptr;
}

void Record(QMenu& menu, MenuSeen& seen) {
    for (QAction* a : menu.actions()) {
        if (a->menu() != nullptr)
            Record(*a->menu(), seen);
        if (a->menu() != nullptr || a->isSeparator())
            continue;
        seen.numbers << a->data().toInt();
        const std::pair<QStringList*, bool> marks[] = {{&seen.checkable, a->isCheckable()},
                                                       {&seen.ticked, a->isChecked()},
                                                       {&seen.disabled, !a->isEnabled()},
                                                       {&seen.pictured, !a->icon().isNull()}};
        for (const auto& [list, has] : marks)
            if (has)
                *list << a->text();
    }
}

} // namespace

void UseTestApplications() {
    for (const char* sub : {"/share/applications", "/bin", "/started", "/config-dirs"})
        QDir().mkpath(Root() + sub);
    QFile::link("/usr/share/mime", Root() + "/share/mime");
    QFile::link("/usr/share/icons", Root() + "/share/icons");
    // The default sorts last, so that only the default's place can put it first.
    WriteApplication("gleichwart-test-zeditor.desktop", "Testeditor", "editor", "%F",
                     "accessories-text-editor");
    WriteApplication("gleichwart-test-aviewer.desktop", "Testbetrachter", "viewer", "%f",
                     "accessories-dictionary");
    // Both registered, the default one last, as a desktop records a choice made later.
    WriteText(Root() + "/share/applications/mimeapps.list",
              "[Added Associations]\ntext/plain=gleichwart-test-aviewer.desktop;"
              "gleichwart-test-zeditor.desktop;\n\n"
              "[Default Applications]\ntext/plain=gleichwart-test-zeditor.desktop\n");
    qputenv("XDG_DATA_DIRS", (Root() + "/share").toUtf8());
    qputenv("XDG_CONFIG_DIRS", (Root() + "/config-dirs").toUtf8());
    qunsetenv("XDG_CURRENT_DESKTOP");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/gleichwart-test-bus");
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

void Choose(const QString& text, MenuSeen* seen) {
    clsShellMenu::setMenuChooser([text, seen](QMenu& menu) -> QAction* {
        if (seen != nullptr) {
            const QMenu* sub = menu.findChild<QMenu*>("OpenWithMenu");
            *seen = {seen->opened + 1,
                     Texts(menu),
                     sub ? Texts(*sub) : QStringList(),
                     {},
                     {},
                     {},
                     {},
                     {}};
            Record(menu, *seen);
        }
        return text.isEmpty() ? nullptr : Find(menu, text);
    });
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

QString MenuSignals::exists() const {
    return watched.empty() ? QString() : FileExists(watched) ? " (da)" : " (weg)";
}

QStringList Messages(const std::function<void()>& action) {
    QStringList texts;
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
