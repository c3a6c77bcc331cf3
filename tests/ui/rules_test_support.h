#pragma once

// What the window tests of the rule list and the rule editor share: a temporary home,
// stored rules, and the editor opened from the main window.
#include "core/temp_home.h"
#include "dialogs/form3.h"
#include "mainwindow/form1.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"
#include "ui_test_support.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// A temporary home for each test case, with the registry that reads and writes it.
struct RulesHome {
    TempHome home;
    clsRegistry reg;
};

inline constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;

// Stores rules as a returning user has them (the root key exists: no starter rules).
inline void StoreRules(clsRegistry& reg,
                       const std::vector<std::pair<std::string, std::string>>& rules) {
    reg.CreateKey(HKCU, kRootKey);
    reg.CreateKey(HKCU, kRulesKey);
    for (const auto& [name, text] : rules)
        reg.SetStringValue(HKCU, kRulesKey, name, text);
}

inline QStringList Items(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

inline QStringList Items(QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

inline std::string Stored(clsRegistry& reg, const std::string& name) {
    std::string text = reg.GetStringValue(HKCU, kRulesKey, name);
    return text;
}

// Opens the rule editor from the main window's "..." button and runs `steps` in it.
inline void WithEditor(Form1& w, const std::function<void(Form3*)>& steps) {
    bool ran = false;
    OnNextModal([&](QWidget* modal) {
        auto* editor = qobject_cast<Form3*>(modal);
        QVERIFY(editor != nullptr);
        steps(editor);
        ran = true;
    });
    Control<QPushButton>(&w, "Command5_2")->click();
    QVERIFY(ran);
}

inline void Select(Form3* editor, const QString& name) {
    auto* list = Control<QListWidget>(editor, "List1");
    const auto found = list->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    list->setCurrentItem(found.first());
}

inline void SelectInMain(Form1& w, const QString& name) {
    auto* combo = Control<QComboBox>(&w, "Combo1");
    combo->setCurrentIndex(combo->findText(name));
    w.Combo1_Click();
}
