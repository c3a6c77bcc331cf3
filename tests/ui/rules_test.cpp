// The rule list of the main window and the rule editor: starter rules, the delete tab, what
// the editor shows and saves, renaming, names that are no UTF-8, and a full disk.
#include "ui_test_support.h"

#include "core/full_hive_disk.h"
#include "dialogs/form3.h"
#include "kit/list_index.h"
#include "kit/twips.h"
#include "mainwindow/form1.h"
#include "rules/rule_store.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

namespace {

QStringList Items(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

QStringList Items(QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

std::string Stored(clsRegistry& reg, const std::string& name) {
    return reg.GetStringValue(HKCU, kRulesKey, name);
}

bool Checked(QWidget* window, const char* name) {
    return Control<QAbstractButton>(window, name)->isChecked();
}

// Opens the rule editor from the main window's "..." button and runs `steps` in it.
void WithEditor(Form1& w, const std::function<void(Form3*)>& steps) {
    bool ran = false;
    OnNextModal([&](QWidget* modal) {
        auto* editor = qobject_cast<Form3*>(modal);
        QVERIFY(editor != nullptr);
        steps(editor);
        ran = true;
    });
    Click(&w, "Command5_2");
    QVERIFY(ran);
}

void Select(Form3* editor, const QString& name) {
    auto* list = Control<QListWidget>(editor, "List1");
    const auto found = list->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    list->setCurrentItem(found.first());
}

void SelectInMain(Form1& w, const QString& name) {
    auto* combo = Control<QComboBox>(&w, "Combo1");
    combo->setCurrentIndex(combo->findText(name));
    w.Combo1_Click();
}

} // namespace

class RulesTest : public UiTestCase {
    Q_OBJECT
private slots:
    void firstStartStoresThreeRulesOnlyOnce() {
        {
            Form1 w;
            auto* combo = Control<QComboBox>(&w, "Combo1");
            QCOMPARE(Items(combo), (QStringList{"Aktualisieren", "Beide Richtungen", "Spiegeln"}));
            QCOMPARE(combo->currentText(), QString("Aktualisieren"));
            QCOMPARE(w.CurrentRule().ReverseAction, 0);
        }
        QCOMPARE(Stored(reg(), "Aktualisieren"), std::string("0|0|1|1"));
        QCOMPARE(Stored(reg(), "Spiegeln"), std::string("0|4|1|1"));
        QCOMPARE(Stored(reg(), "Beide Richtungen"), std::string("0|3|1|1"));
        for (const char* name : {"Aktualisieren", "Spiegeln", "Beide Richtungen"}) {
            reg().setEnableDelete(true); // each deletion has to be allowed anew
            reg().DeleteValue(HKCU, kRulesKey, name);
        }
        Form1 again;
        QCOMPARE(Control<QComboBox>(&again, "Combo1")->count(), 0);
        // With no rule the empty name applies, which reads as the default rule.
        QCOMPARE(again.CurrentRule().Name, std::string());
        QCOMPARE(again.CurrentRule().ReverseAction, 3);
        QVERIFY(!clsRegistry::IsFullArray(reg().EnumValues(HKCU, kRulesKey, true)));
    }

    void deleteTabComesWithTheDeleteRulesAndGoesWithOthers() {
        StoreRules(reg(), {{"Papierkorb", "0|4|1|1"}, {"Weg", "0|5|1|1"}, {"Nur", "0|0|1|1"}});
        Form1 w;
        w.show();
        QTabBar* tabs = Control<QTabBar>(&w, "TabStrip1Tabs");
        SelectInMain(w, "Papierkorb");
        QCOMPARE(tabs->count(), 2);
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
        QVERIFY(!Enabled(&w, "Command3"));
    }

    void ruleListIsSortedAndMatchesTheLastRuleExactly() {
        // Names compare without case in the store, so "a" would be "A": "ab" stands in for it.
        StoreRules(reg(),
                   {{"b", "0|0|1|1"}, {"A", "0|0|1|1"}, {"Ä", "0|4|1|1"}, {"ab", "0|5|1|1"}});
        reg().SetStringValue(HKCU, kRootKey, "LastRegel", "Ä");
        {
            Form1 w;
            auto* combo = Control<QComboBox>(&w, "Combo1");
            QCOMPARE(Items(combo), (QStringList{"A", "ab", "b", "Ä"}));
            QCOMPARE(combo->currentText(), QString("Ä"));
            QCOMPARE(w.CurrentRule().ReverseAction, 4);
            QCOMPARE(Control<QTabBar>(&w, "TabStrip1Tabs")->count(), 2);
        }
        // The last rule is matched with its case: "ä" is no "Ä".
        reg().SetStringValue(HKCU, kRootKey, "LastRegel", "ä");
        Form1 w;
        QCOMPARE(Control<QComboBox>(&w, "Combo1")->currentIndex(), 0);
    }

    void formShowsTheStoredRuleWithItsEnabling() {
        StoreRules(reg(), {{"Papierkorb", "1|4|1|2"}, {"Zurück", "2|2|0|6"}});
        reg().SetStringValue(HKCU, kRootKey, "LastRegel", "Papierkorb");
        Form1 w;
        w.show();
        bool isModal = false;
        WithEditor(w, [&](Form3* editor) {
            isModal = editor->isModal() && editor->parentWidget() == &w;
            QCOMPARE(editor->windowTitle(), QString("Regel Editor"));
            QCOMPARE(Control<QComboBox>(editor, "Combo1")->currentIndex(), 1);
            QVERIFY(Checked(editor, "Option2") && Checked(editor, "Option3"));
            QVERIFY(!Enabled(editor, "Combo2"));
            QVERIFY(Checked(editor, "Check5") && Checked(editor, "Check3"));
            QVERIFY(!Checked(editor, "Check4") && Checked(editor, "Check2"));
            // A right click below the last entry finds no entry; on the first it finds that one.
            auto* list = Control<QListWidget>(editor, "List1");
            const QPoint first = list->visualItemRect(list->item(0)).center();
            QCOMPARE(ListIndexFromPoint(list, PixelsToTwips(first.x()), PixelsToTwips(first.y())),
                     0);
            QCOMPARE(ListIndexFromPoint(list, PixelsToTwips(5), PixelsToTwips(list->height() - 5)),
                     -1);
            Select(editor, "Zurück");
            editor->edit_Click();
            QVERIFY(Checked(editor, "Option1"));
            QCOMPARE(Control<QComboBox>(editor, "Combo2")->currentIndex(), 1);
            QVERIFY(!Enabled(editor, "Frame3"));
            QVERIFY(Checked(editor, "Check4") && !Checked(editor, "Check2"));
        });
        QVERIFY(isModal);
    }

    void savedControlsMapToTheStoredText() {
        StoreRules(reg(), {{"R", "1|3|1|0"}});
        Form1 w;
        w.show();
        WithEditor(w, [&](Form3* editor) {
            Select(editor, "R");
            editor->edit_Click();
            auto* check1 = Control<QCheckBox>(editor, "Check1");
            check1->click(); // the frame off: nothing happens on the target side
            QVERIFY(!Enabled(editor, "Frame2"));
            QVERIFY(check1->isEnabled());
            editor->Command1_Click();
            QCOMPARE(Stored(reg(), "R"), std::string("1|0|1|0"));

            check1->click();
            Click(editor, "Option1");
            Control<QComboBox>(editor, "Combo2")->setCurrentIndex(2); // "älter ist."
            editor->Command1_Click();
            QCOMPARE(Stored(reg(), "R"), std::string("1|1|1|0"));

            Click(editor, "Option2");
            QVERIFY(!Enabled(editor, "Combo2"));
            QVERIFY(Enabled(editor, "Frame3"));
            Click(editor, "Option4"); // "Datei komplett löschen"
            Control<QCheckBox>(editor, "Check5")->setChecked(true);
            Control<QCheckBox>(editor, "Check4")->setChecked(true);
            Control<QCheckBox>(editor, "Check3")->setChecked(false);
            Control<QCheckBox>(editor, "Check2")->setChecked(false);
            Control<QComboBox>(editor, "Combo1")->setCurrentIndex(2);
            editor->Command1_Click();
            QCOMPARE(Stored(reg(), "R"), std::string("2|5|0|7"));
        });
    }

    void newRuleSavedUnchangedIsTheDefaultRule() {
        StoreRules(reg(), {{"Spiegeln", "0|4|1|1"}});
        Form1 w;
        w.show();
        WithEditor(w, [&](Form3* editor) {
            editor->add_Click();
            QCOMPARE(Control<QLineEdit>(editor, "Text1")->selectedText(), QString("Neue Regel"));
            editor->Command1_Click();
            QCOMPARE(Control<QListWidget>(editor, "List1")->currentItem()->text(),
                     QString("Neue Regel"));
        });
        QCOMPARE(Stored(reg(), "Neue Regel"), std::string("0|3|1|1"));
        QCOMPARE(Stored(reg(), "Spiegeln"), std::string("0|4|1|1"));
        // The main window's list knows the new rule and keeps its own.
        QCOMPARE(Items(Control<QComboBox>(&w, "Combo1")), (QStringList{"Neue Regel", "Spiegeln"}));
        QCOMPARE(w.CurrentRule().Name, std::string("Spiegeln"));
    }

    void deletingSelectsTheNeighbour() {
        StoreRules(reg(), {{"A", "0|0|1|1"}, {"B", "0|1|1|1"}, {"C", "0|2|1|1"}});
        Form1 w;
        w.show();
        WithEditor(w, [&](Form3* editor) {
            auto* list = Control<QListWidget>(editor, "List1");
            Select(editor, "A");
            editor->delete_Click();
            QCOMPARE(Items(list), (QStringList{"B", "C"}));
            QCOMPARE(list->currentItem()->text(), QString("B"));
            QCOMPARE(TextOf(editor, "Text1"), QString("B"));
            Select(editor, "C");
            editor->delete_Click();
            QCOMPARE(Items(list), QStringList{"B"});
            QCOMPARE(list->currentItem()->text(), QString("B"));
            editor->delete_Click();
            QCOMPARE(list->count(), 0);
            QCOMPARE(TextOf(editor, "Text1"), QString("B")); // left as it was
        });
        QVERIFY(!clsRegistry::IsFullArray(reg().EnumValues(HKCU, kRulesKey, true)));
        // The main window still lists them until its list is refreshed.
        QCOMPARE(Control<QComboBox>(&w, "Combo1")->count(), 3);
    }

    void renamingReplacesTheOldNameAndTheMainWindowFollows() {
        StoreRules(reg(), {{"Alt", "1|2|1|3"}, {"Anders", "0|0|1|1"}});
        reg().SetStringValue(HKCU, kRootKey, "LastRegel", "Alt");
        Form1 w;
        w.show();
        WithEditor(w, [&](Form3* editor) {
            QCOMPARE(TextOf(editor, "Text1"), QString("Alt"));
            Control<QLineEdit>(editor, "Text1")->setText("Neu2");
            editor->Command1_Click();
            QCOMPARE(Items(Control<QListWidget>(editor, "List1")), (QStringList{"Anders", "Neu2"}));
        });
        QCOMPARE(Stored(reg(), "Neu2"), std::string("1|2|1|3"));
        QCOMPARE(Stored(reg(), "Alt"), std::string()); // gone
        QCOMPARE(Control<QComboBox>(&w, "Combo1")->currentText(), QString("Neu2"));
        QCOMPARE(w.CurrentRule().Name, std::string("Neu2"));
        // Renamed onto another rule, what the form showed replaces that rule.
        WithEditor(w, [&](Form3* editor) {
            Select(editor, "Anders");
            editor->edit_Click();
            Control<QLineEdit>(editor, "Text1")->setText("Neu2");
            editor->Command1_Click();
            QCOMPARE(Items(Control<QListWidget>(editor, "List1")), QStringList{"Neu2"});
        });
        QCOMPARE(Stored(reg(), "Neu2"), std::string("0|0|1|1"));
    }

    void renamingOnAFullDiskLosesNothing() {
        StoreRules(reg(), {{"Alt", "1|2|1|3"}});
        reg().SetStringValue(HKCU, kRootKey, "LastRegel", "Alt");
        Form1 w;
        w.show();
        SeenBox box;
        WithEditor(w, [&](Form3* editor) {
            Control<QLineEdit>(editor, "Text1")->setText("Neu2");
            {
                FullHiveDisk full; // the longer name does not fit any more
                box = CatchBox([&] { editor->Command1_Click(); });
            }
            // The form keeps what the user typed, to try again.
            QCOMPARE(TextOf(editor, "Text1"), QString("Neu2"));
            QCOMPARE(Items(Control<QListWidget>(editor, "List1")), QStringList{"Alt"});
        });
        QCOMPARE(box.text, QString("Die Regel konnte nicht gespeichert werden."));
        QCOMPARE(Stored(reg(), "Alt"), std::string("1|2|1|3"));
        QCOMPARE(reg().EnumValues(HKCU, kRulesKey, true), std::vector<std::string>{"Alt"});
        QCOMPARE(w.CurrentRule().Name, std::string("Alt"));
    }

    void namesAreTrimmedAndAnEmptyNameIsRefused() {
        StoreRules(reg(), {{"Eins", "0|0|1|1"}});
        Form1 w;
        w.show();
        const std::string before = ReadFile(home_->home.hivePath());
        SeenBox box;
        WithEditor(w, [&](Form3* editor) {
            editor->add_Click();
            Control<QLineEdit>(editor, "Text1")->setText("   ");
            box = CatchBox([&] { editor->Command1_Click(); });
            QCOMPARE(ReadFile(home_->home.hivePath()), before);
            Control<QLineEdit>(editor, "Text1")->setText("  Mit Leerzeichen ");
            editor->Command1_Click();
        });
        QCOMPARE(box.title, QString("Fehler..."));
        QCOMPARE(box.text, QString("Die Regel muss einen Namen haben !!"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(reg().EnumValues(HKCU, kRulesKey, true),
                 (std::vector<std::string>{"Eins", "Mit Leerzeichen"}));
    }

    void latin1RuleNameIsFoundAppliedAndWrittenBackUnchanged() {
        // Written by an older program in Latin-1: the byte F6 alone is no valid UTF-8.
        const std::string latin1 = "L\xf6schen";
        const std::string line = "\"L\xf6schen\"=\"0|5|1|1\"\n";
        StoreRules(reg(), {{"Aktualisieren", "0|0|1|1"}, {latin1, "0|5|1|1"}});
        reg().SetStringValue(HKCU, kRootKey, "LastRegel", latin1);
        const std::string hive = home_->home.hivePath();
        QVERIFY(ReadFile(hive).find(line) != std::string::npos);
        {
            Form1 w;
            w.show();
            auto* combo = Control<QComboBox>(&w, "Combo1");
            QCOMPARE(Items(combo), (QStringList{"Aktualisieren", "Löschen"}));
            QCOMPARE(combo->currentIndex(), 1);
            QCOMPARE(w.CurrentRule().Name, latin1);
            QCOMPARE(RuleText(w.CurrentRule()), std::string("0|5|1|1"));
            // The editor finds it as well, and saving it unchanged keeps its bytes.
            WithEditor(w, [&](Form3* editor) {
                auto* list = Control<QListWidget>(editor, "List1");
                QVERIFY(list->currentItem() != nullptr);
                QCOMPARE(list->currentItem()->text(), QString("Löschen"));
                QVERIFY(Checked(editor, "Option4"));
                editor->Command1_Click();
                QCOMPARE(Items(list), (QStringList{"Aktualisieren", "Löschen"}));
            });
            QCOMPARE(w.CurrentRule().Name, latin1);
            w.close();
        }
        QCOMPARE(reg().GetStringValue(HKCU, kRootKey, "LastRegel"), latin1);
        QCOMPARE(reg().EnumValues(HKCU, kRulesKey, true),
                 (std::vector<std::string>{"Aktualisieren", latin1}));
        const std::string after = ReadFile(hive);
        QVERIFY(after.find(line) != std::string::npos);
        QVERIFY(after.find("L\xc3\xb6schen") == std::string::npos);
    }
};

GLEICHWART_UI_TEST_MAIN(RulesTest)
#include "rules_test.moc"
