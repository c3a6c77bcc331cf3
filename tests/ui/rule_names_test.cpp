// The window tests of rule names: renaming, trimming, and names that are no UTF-8.
#include "rule_names_test.h"
#include "core/full_hive_disk.h"
#include "rules_test_support.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QTabBar>

void RuleNamesTest::init() {
    home_ = new RulesHome;
}

void RuleNamesTest::cleanup() {
    delete home_;
    home_ = nullptr;
}

void RuleNamesTest::latin1RuleNameIsFoundAppliedAndWrittenBackUnchanged() {
    // Written by an older program in Latin-1: the byte F6 alone is no valid UTF-8.
    const std::string latin1 = "L\xf6schen";
    const std::string line = "\"L\xf6schen\"=\"0|5|1|1\"\n";
    StoreRules(home_->reg, {{"Aktualisieren", "0|0|1|1"}, {latin1, "0|5|1|1"}});
    home_->reg.SetStringValue(HKCU, kRootKey, "LastRegel", latin1);
    const std::string hive = home_->home.hivePath();
    QVERIFY(ReadFile(hive).find(line) != std::string::npos);
    {
        Form1 w;
        w.show();
        auto* combo = Control<QComboBox>(&w, "Combo1");
        QCOMPARE(Items(combo), (QStringList{"Aktualisieren", "Löschen"}));
        QCOMPARE(combo->currentIndex(), 1);
        QCOMPARE(combo->currentText(), QString("Löschen"));
        QCOMPARE(w.CurrentRule().Name, latin1);
        QCOMPARE(RuleText(w.CurrentRule()), std::string("0|5|1|1"));
        QCOMPARE(Control<QTabBar>(&w, "TabStrip1Tabs")->count(), 2);
        // The editor finds it as well, and saving it unchanged keeps its bytes.
        WithEditor(w, [&](Form3* editor) {
            auto* list = Control<QListWidget>(editor, "List1");
            QVERIFY(list->currentItem() != nullptr);
            QCOMPARE(list->currentItem()->text(), QString("Löschen"));
            QCOMPARE(Control<QLineEdit>(editor, "Text1")->text(), QString("Löschen"));
            QVERIFY(Control<QRadioButton>(editor, "Option4")->isChecked());
            editor->Command1_Click();
            QCOMPARE(Items(list), (QStringList{"Aktualisieren", "Löschen"}));
            QCOMPARE(list->currentItem()->text(), QString("Löschen"));
        });
        QCOMPARE(w.CurrentRule().Name, latin1);
        w.close();
    }
    QCOMPARE(home_->reg.GetStringValue(HKCU, kRootKey, "LastRegel"), latin1);
    QCOMPARE(home_->reg.EnumValues(HKCU, kRulesKey, true),
             (std::vector<std::string>{"Aktualisieren", latin1}));
    const std::string after = ReadFile(hive);
    QVERIFY(after.find(line) != std::string::npos);
    QVERIFY(after.find("L\xc3\xb6schen") == std::string::npos);
}

void RuleNamesTest::renamingTheCurrentRuleMakesTheMainWindowFollow() {
    StoreRules(home_->reg, {{"Alt", "1|2|1|3"}, {"Anders", "0|0|1|1"}});
    home_->reg.SetStringValue(HKCU, kRootKey, "LastRegel", "Alt");
    Form1 w;
    w.show();
    QCOMPARE(w.CurrentRule().Name, std::string("Alt"));
    WithEditor(w, [&](Form3* editor) {
        QCOMPARE(Control<QLineEdit>(editor, "Text1")->text(), QString("Alt"));
        Control<QLineEdit>(editor, "Text1")->setText("Neu2");
        editor->Command1_Click();
    });
    QCOMPARE(Stored(home_->reg, "Neu2"), std::string("1|2|1|3"));
    QCOMPARE(Stored(home_->reg, "Alt"), std::string()); // gone
    QCOMPARE(Control<QComboBox>(&w, "Combo1")->currentText(), QString("Neu2"));
    QCOMPARE(w.CurrentRule().Name, std::string("Neu2"));
}

void RuleNamesTest::renamingOntoAnotherRuleSavesWhatTheFormShowed() {
    StoreRules(home_->reg, {{"Quelle", "1|1|0|3"}, {"Ziel", "2|5|1|0"}});
    Form1 w;
    w.show();
    WithEditor(w, [&](Form3* editor) {
        Select(editor, "Quelle");
        editor->edit_Click();
        Control<QLineEdit>(editor, "Text1")->setText("Ziel");
        editor->Command1_Click();
        QCOMPARE(Items(Control<QListWidget>(editor, "List1")), QStringList{"Ziel"});
    });
    QCOMPARE(Stored(home_->reg, "Ziel"), std::string("1|1|0|3"));
}

void RuleNamesTest::renamingOnAFullDiskLosesNothing() {
    StoreRules(home_->reg, {{"Alt", "1|2|1|3"}});
    home_->reg.SetStringValue(HKCU, kRootKey, "LastRegel", "Alt");
    Form1 w;
    w.show();
    QString message;
    WithEditor(w, [&](Form3* editor) {
        Control<QLineEdit>(editor, "Text1")->setText("Neu2");
        {
            FullHiveDisk full; // the longer name does not fit any more
            OnNextModal([&](QWidget* modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal))
                    message = box->text();
            });
            editor->Command1_Click();
            CancelModalWatchers();
        }
        // The form keeps what the user typed, to try again.
        QCOMPARE(Control<QLineEdit>(editor, "Text1")->text(), QString("Neu2"));
        QCOMPARE(Items(Control<QListWidget>(editor, "List1")), QStringList{"Alt"});
    });
    QCOMPARE(message, QString("Die Regel konnte nicht gespeichert werden."));
    QCOMPARE(Stored(home_->reg, "Alt"), std::string("1|2|1|3"));
    QCOMPARE(home_->reg.EnumValues(HKCU, kRulesKey, true), std::vector<std::string>{"Alt"});
    QCOMPARE(w.CurrentRule().Name, std::string("Alt"));
}

void RuleNamesTest::namesAreTrimmedAndAnEmptyNameIsRefused() {
    StoreRules(home_->reg, {{"Eins", "0|0|1|1"}});
    Form1 w;
    w.show();
    const std::string before = ReadFile(home_->home.hivePath());
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WithEditor(w, [&](Form3* editor) {
        editor->add_Click();
        Control<QLineEdit>(editor, "Text1")->setText("   ");
        OnNextModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box != nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
        });
        editor->Command1_Click();
        QCOMPARE(ReadFile(home_->home.hivePath()), before);
        Control<QLineEdit>(editor, "Text1")->setText("  Mit Leerzeichen ");
        editor->Command1_Click();
    });
    QCOMPARE(title, QString("Fehler..."));
    QCOMPARE(text, QString("Die Regel muss einen Namen haben !!"));
    QCOMPARE(icon, QMessageBox::Critical);
    const auto names = home_->reg.EnumValues(HKCU, kRulesKey, true);
    QCOMPARE(names, (std::vector<std::string>{"Eins", "Mit Leerzeichen"}));
}

GLEICHWART_UI_TEST_MAIN(RuleNamesTest)
