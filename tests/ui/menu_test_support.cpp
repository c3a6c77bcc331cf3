#include "menu_test_support.h"

#include "desktop/shell_menu.h"
#include "ui_test_support.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

QAction* MenuAction(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
        if (action->menu() != nullptr)
            if (QAction* inner = MenuAction(*action->menu(), text))
                return inner;
    }
    return nullptr;
}

QStringList MenuTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts << (action->isSeparator() ? QString("-") : action->text());
    return texts;
}

void Choose(const QString& text, MenuSeen* seen) {
    clsShellMenu::setMenuChooser([text, seen](QMenu& menu) -> QAction* {
        if (seen != nullptr) {
            ++seen->opened;
            seen->texts = MenuTexts(menu);
            seen->checked.clear();
            seen->numbers.clear();
            if (QMenu* sub = menu.findChild<QMenu*>("OpenWithMenu"))
                seen->openWith = MenuTexts(*sub);
            for (QAction* a : menu.actions()) {
                seen->checked << a->isChecked();
                if (!a->isSeparator() && a->menu() == nullptr &&
                    a->data().toInt() < clsShellMenu::kFirstExtraCommand)
                    seen->numbers << a->data().toInt();
                if (a->menu() != nullptr)
                    for (QAction* inner : a->menu()->actions())
                        seen->numbers << inner->data().toInt();
            }
        }
        return text.isEmpty() ? nullptr : MenuAction(menu, text);
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
    if (watched.empty())
        return {};
    struct stat st {};
    return ::lstat(watched.c_str(), &st) == 0 ? " (da)" : " (weg)";
}

void CatchMessage(QString& text) {
    OnNextModal([&text](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            text = box->text();
    });
}

void AnswerRename(const QString& name, QString* refusal) {
    OnNextModal([name, refusal](QWidget* modal) {
        QCOMPARE(modal->objectName(), QString("RenameDialog"));
        Control<QLineEdit>(modal, "NewName")->setText(name);
        if (refusal != nullptr)
            CatchMessage(*refusal);
        for (QPushButton* b : modal->findChildren<QPushButton*>())
            if (b->text() == "OK")
                b->click();
    });
}
