// The window tests of the rule list and of the rule editor.
#include "rules_test.h"
#include "rules_test_support.h"

#include "kit/list_index.h"
#include "kit/twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTabBar>

void RulesTest::init() {
    home_ = new RulesHome;
}

void RulesTest::cleanup() {
    delete home_;
    home_ = nullptr;
}

void RulesTest::firstStartStoresThreeRulesOnlyOnce() {
    {
        Form1 w;
        auto* combo = Control<QComboBox>(&w, "Combo1");
        QCOMPARE(Items(combo), (QStringList{"Aktualisieren", "Beide Richtungen", "Spiegeln"}));
        QCOMPARE(combo->currentText(), QString("Aktualisieren"));
        QCOMPARE(w.CurrentRule().ReverseAction, 0);
    }
    clsRegistry& reg = home_->reg;
    QCOMPARE(Stored(reg, "Aktualisieren"), std::string("0|0|1|1"));
    QCOMPARE(Stored(reg, "Spiegeln"), std::string("0|4|1|1"));
    QCOMPARE(Stored(reg, "Beide Richtungen"), std::string("0|3|1|1"));
    for (const char* name : {"Aktualisieren", "Spiegeln", "Beide Richtungen"}) {
        reg.setEnableDelete(true);
        reg.DeleteValue(HKCU, kRulesKey, name);
    }
    Form1 again;
    QCOMPARE(Control<QComboBox>(&again, "Combo1")->count(), 0);
    // With no rule the empty name applies, which reads as the default rule.
    QCOMPARE(again.CurrentRule().Name, std::string());
    QCOMPARE(again.CurrentRule().ReverseAction, 3);
    QVERIFY(!clsRegistry::IsFullArray(reg.EnumValues(HKCU, kRulesKey, true)));
}

void RulesTest::deleteTabComesWithTheDeleteRulesAndGoesWithOthers() {
    StoreRules(home_->reg, {{"Papierkorb", "0|4|1|1"}, {"Weg", "0|5|1|1"}, {"Nur", "0|0|1|1"}});
    Form1 w;
    w.show();
    QTabBar* tabs = Control<QTabBar>(&w, "TabStrip1Tabs");
    SelectInMain(w, "Papierkorb");
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QString("     zu kopierende Dateien"));
    QCOMPARE(tabs->tabText(1), QString("    zu löschende Dateien"));
    tabs->setCurrentIndex(1);
    QVERIFY(!Control<QListView>(&w, "List2")->isHidden());
    SelectInMain(w, "Weg");
    QCOMPARE(tabs->count(), 2);
    SelectInMain(w, "Nur");
    QCOMPARE(tabs->count(), 1);
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(!Control<QListView>(&w, "List1")->isHidden());
    QVERIFY(Control<QListView>(&w, "List2")->isHidden());
    QVERIFY(!Control<QPushButton>(&w, "Command3")->isEnabled());
}

void RulesTest::ruleListIsSortedAndMatchesTheLastRuleExactly() {
    // Names compare without case in the store, so "a" would be "A": "ab" stands in for it.
    StoreRules(home_->reg,
               {{"b", "0|0|1|1"}, {"A", "0|0|1|1"}, {"Ä", "0|4|1|1"}, {"ab", "0|5|1|1"}});
    home_->reg.SetStringValue(HKCU, kRootKey, "LastRegel", "Ä");
    {
        Form1 w;
        auto* combo = Control<QComboBox>(&w, "Combo1");
        QCOMPARE(Items(combo), (QStringList{"A", "ab", "b", "Ä"}));
        QCOMPARE(combo->currentText(), QString("Ä"));
        QCOMPARE(w.CurrentRule().ReverseAction, 4);
        QCOMPARE(Control<QTabBar>(&w, "TabStrip1Tabs")->count(), 2);
    }
    // The last rule is matched with its case: "ä" is no "Ä".
    home_->reg.SetStringValue(HKCU, kRootKey, "LastRegel", "ä");
    Form1 w;
    QCOMPARE(Control<QComboBox>(&w, "Combo1")->currentIndex(), 0);
}

void RulesTest::newRuleSavedUnchangedIsTheDefaultRule() {
    StoreRules(home_->reg, {{"Spiegeln", "0|4|1|1"}});
    Form1 w;
    w.show();
    WithEditor(w, [&](Form3* editor) {
        editor->add_Click();
        QCOMPARE(Control<QLineEdit>(editor, "Text1")->text(), QString("Neue Regel"));
        QCOMPARE(Control<QLineEdit>(editor, "Text1")->selectedText(), QString("Neue Regel"));
        editor->Command1_Click();
        QCOMPARE(Control<QListWidget>(editor, "List1")->currentItem()->text(),
                 QString("Neue Regel"));
    });
    QCOMPARE(Stored(home_->reg, "Neue Regel"), std::string("0|3|1|1"));
    QCOMPARE(Stored(home_->reg, "Spiegeln"), std::string("0|4|1|1"));
    // The main window's list knows the new rule and keeps its own.
    QCOMPARE(Items(Control<QComboBox>(&w, "Combo1")), (QStringList{"Neue Regel", "Spiegeln"}));
    QCOMPARE(w.CurrentRule().Name, std::string("Spiegeln"));
}

void RulesTest::savedControlsMapToTheStoredText() {
    StoreRules(home_->reg, {{"R", "1|3|1|0"}});
    Form1 w;
    w.show();
    WithEditor(w, [&](Form3* editor) {
        Select(editor, "R");
        editor->edit_Click();
        auto* check1 = Control<QCheckBox>(editor, "Check1");
        check1->click(); // the frame off: nothing happens on the target side
        QVERIFY(!Control<QGroupBox>(editor, "Frame2")->isEnabled());
        QVERIFY(check1->isEnabled());
        editor->Command1_Click();
        QCOMPARE(Stored(home_->reg, "R"), std::string("1|0|1|0"));

        check1->click();
        Control<QRadioButton>(editor, "Option1")->click();

        Control<QComboBox>(editor, "Combo2")->setCurrentIndex(2); // "älter ist."
        editor->Command1_Click();
        QCOMPARE(Stored(home_->reg, "R"), std::string("1|1|1|0"));

        Control<QRadioButton>(editor, "Option2")->click();
        QVERIFY(!Control<QComboBox>(editor, "Combo2")->isEnabled());
        QVERIFY(Control<QGroupBox>(editor, "Frame3")->isEnabled());
        Control<QRadioButton>(editor, "Option4")->click(); // "Datei komplett löschen"
        Control<QCheckBox>(editor, "Check5")->setChecked(true);
        Control<QCheckBox>(editor, "Check4")->setChecked(true);
        Control<QCheckBox>(editor, "Check3")->setChecked(false);
        Control<QCheckBox>(editor, "Check2")->setChecked(false);
        Control<QComboBox>(editor, "Combo1")->setCurrentIndex(2);
        editor->Command1_Click();
        QCOMPARE(Stored(home_->reg, "R"), std::string("2|5|0|7"));
    });
}

void RulesTest::deletingSelectsTheNeighbour() {
    StoreRules(home_->reg, {{"A", "0|0|1|1"}, {"B", "0|1|1|1"}, {"C", "0|2|1|1"}});
    Form1 w;
    w.show();
    WithEditor(w, [&](Form3* editor) {
        auto* list = Control<QListWidget>(editor, "List1");
        Select(editor, "A");
        editor->delete_Click();
        QCOMPARE(Items(list), (QStringList{"B", "C"}));
        QCOMPARE(list->currentItem()->text(), QString("B"));
        QCOMPARE(Control<QLineEdit>(editor, "Text1")->text(), QString("B"));
        Select(editor, "C");
        editor->delete_Click();
        QCOMPARE(Items(list), QStringList{"B"});
        QCOMPARE(list->currentItem()->text(), QString("B"));
        editor->delete_Click();
        QCOMPARE(list->count(), 0);
        QCOMPARE(Control<QLineEdit>(editor, "Text1")->text(), QString("B")); // left as it was
    });
    QVERIFY(!clsRegistry::IsFullArray(home_->reg.EnumValues(HKCU, kRulesKey, true)));
    // The main window still lists them until its list is refreshed.
    QCOMPARE(Control<QComboBox>(&w, "Combo1")->count(), 3);
}

void RulesTest::formShowsTheStoredRuleWithItsEnabling() {
    StoreRules(home_->reg, {{"Papierkorb", "1|4|1|2"}, {"Zurück", "2|2|0|6"}});
    home_->reg.SetStringValue(HKCU, kRootKey, "LastRegel", "Papierkorb");
    Form1 w;
    w.show();
    bool isModal = false;
    WithEditor(w, [&](Form3* editor) {
        isModal = editor->isModal() && editor->parentWidget() == &w;
        QCOMPARE(editor->windowTitle(), QString("Regel Editor"));
        QCOMPARE(Control<QComboBox>(editor, "Combo1")->currentIndex(), 1);
        QVERIFY(Control<QRadioButton>(editor, "Option2")->isChecked());
        QVERIFY(Control<QRadioButton>(editor, "Option3")->isChecked());
        QVERIFY(!Control<QComboBox>(editor, "Combo2")->isEnabled());
        QVERIFY(Control<QCheckBox>(editor, "Check5")->isChecked());
        QVERIFY(Control<QCheckBox>(editor, "Check3")->isChecked());
        QVERIFY(!Control<QCheckBox>(editor, "Check4")->isChecked());
        QVERIFY(Control<QCheckBox>(editor, "Check2")->isChecked());
        SaveScreenshot(editor, "rule-editor");
        // A right click below the last entry finds no entry; on the first it finds that one.
        auto* list = Control<QListWidget>(editor, "List1");
        const QRect first = list->visualItemRect(list->item(0));
        QCOMPARE(ListIndexFromPoint(list, PixelsToTwips(first.center().x()),
                                    PixelsToTwips(first.center().y())),
                 0);
        QCOMPARE(ListIndexFromPoint(list, PixelsToTwips(5), PixelsToTwips(list->height() - 5)), -1);
        Select(editor, "Zurück");
        editor->edit_Click();
        QVERIFY(Control<QRadioButton>(editor, "Option1")->isChecked());
        QCOMPARE(Control<QComboBox>(editor, "Combo2")->currentIndex(), 1);
        QVERIFY(!Control<QGroupBox>(editor, "Frame3")->isEnabled());
        QVERIFY(Control<QCheckBox>(editor, "Check4")->isChecked());
        QVERIFY(!Control<QCheckBox>(editor, "Check2")->isChecked());
    });
    QVERIFY(isModal);
}

GLEICHWART_UI_TEST_MAIN(RulesTest)
