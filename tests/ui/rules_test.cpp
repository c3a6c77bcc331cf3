// The rule list of the main window and the rule editor: starter rules, the delete tab, what
// the editor shows and saves, renaming, names that are no UTF-8, a full disk, and a rule
// changed after the load, which blocks the run.
#include "ui_test_support.h"

#include "core/full_hive_disk.h"
#include "dialogs/rule_editor.h"

#include <QListWidget>
#include <QPlainTextEdit>

namespace {

// The editor's two options in short: L for symbolic links, O for matching folders, and
// "gesperrt" while the box for matching folders cannot be used.
QString OptionsOf(Form3* e) {
    QString options = QString(Checked(e, "chkVerknuepfungen") ? 'L' : '-') +
                      (Checked(e, "chkOrdner") ? 'O' : '-');
    return Enabled(e, "chkOrdner") ? options : options + " gesperrt";
}

// The editor's form in short: the copy condition, the way back ("aus", "zurück" with its
// condition, "Papierkorb", "löschen"), the ticked attributes (read-only, system, hidden) and
// subfolders, and which controls of the way back can be used.
QString FormOf(Form3* e) {
    const auto index = [e](const char* c) { return Control<QComboBox>(e, c)->currentIndex(); };
    const QString back = !Checked(e, "Check1")   ? "aus"
                         : Checked(e, "Option1") ? QString("zurück %1").arg(index("Combo2"))
                         : Checked(e, "Option3") ? "Papierkorb"
                                                 : "löschen";
    QString form = QString("%1 %2 ").arg(index("Combo1")).arg(back);
    for (const auto& [name, mark] :
         {std::pair{"Check5", 'R'}, {"Check4", 'S'}, {"Check3", 'H'}, {"Check2", 'U'}})
        form += Checked(e, name) ? mark : '-';
    for (const char* name : {"Frame2", "Combo2", "Frame3"})
        if (Enabled(e, name))
            form += QString(" ") + name;
    return form;
}

// Opens the rule editor from the main window's "..." button and runs `steps` in it; it
// opens modally, or `steps` never runs.
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
    editor->edit_Click();
}

void SelectInMain(Form1& w, const QString& name) {
    auto* combo = Control<QComboBox>(&w, "Combo1");
    combo->setCurrentIndex(combo->findText(name));
    w.Combo1_Click();
}

} // namespace

class RulesTest : public UiTestCase {
    Q_OBJECT
    std::string stored(const std::string& n) { return reg().GetStringValue(HKCU, kRulesKey, n); }

private slots:
    void firstStartStoresThreeRulesAndTheDeleteTabFollowsTheRule() {
        Shown<Form1> w;
        QCOMPARE(Items(&w, "Combo1"),
                 (QStringList{"Aktualisieren", "Beide Richtungen", "Spiegeln"}));
        QTabBar* tabs = Control<QTabBar>(&w, "TabStrip1Tabs");
        QCOMPARE(tabs->count(), 1);
        SelectInMain(w, "Spiegeln");
        QCOMPARE(tabs->count(), 2);
        tabs->setCurrentIndex(1);
        SelectInMain(w, "Beide Richtungen");
        QCOMPARE(tabs->count(), 1);
        QVERIFY(!Control<QWidget>(&w, "List1")->isHidden());
    }

    void theEditorShowsStoredRulesSavesThemUnchangedAndSavesClicks() {
        // Rules named by their text, and the form the editor shows for each.
        const std::vector<std::pair<std::string, QString>> rules = {
            {"1|4|1|2", "1 Papierkorb R-HU Frame2 Frame3"},
            {"2|2|0|6", "2 zurück 1 -S-- Frame2 Combo2"}};
        StoreRules(reg(), {{"1|4|1|2", "1|4|1|2"}, {"2|2|0|6", "2|2|0|6"}, {"R", "1|3|1|0"}});
        Shown<Form1> w;
        WithEditor(w, [&](Form3* editor) {
            for (const auto& [text, form] : rules) {
                Select(editor, Q(text));
                QCOMPARE(FormOf(editor), form);
                editor->Command1_Click();
                QCOMPARE(stored(text), text);
            }
            // Clicks on the way back enable its controls and are saved.
            Select(editor, "R");
            Click(editor, "Check1"); // the frame off: nothing happens on the target side
            QCOMPARE(FormOf(editor), QString("1 aus ---U"));
            Click(editor, "Check1");
            QCOMPARE(FormOf(editor), QString("1 zurück 0 ---U Frame2 Combo2"));
            Click(editor, "Option2");
            QCOMPARE(FormOf(editor), QString("1 Papierkorb ---U Frame2 Frame3"));
            Click(editor, "Option4");
            Control<QComboBox>(editor, "Combo1")->setCurrentIndex(2);
            editor->Command1_Click();
        });
        QCOMPARE(stored("R"), std::string("2|5|1|0"));
    }

    void theOptionsAreShownAndSavedAndMatchingFoldersWaitsForSubfolders() {
        StoreRules(reg(), {{"Flach", "0|0|0|1"}, {"Tief", "0|4|1|2"}});
        reg().SetStringValue(HKCU, kRuleOptionsKey, "Tief",
                             "ordner=1\nmuster=*.tmp\nausschliessen=build/");
        reg().SetStringValue(HKCU, kRootKey, "LastRegel", "Tief");
        Shown<Form1> w;
        WithEditor(w, [&](Form3* editor) {
            QCOMPARE(OptionsOf(editor), QString("-O"));
            auto* patterns = Control<QPlainTextEdit>(editor, "txtAusschliessen");
            QCOMPARE(patterns->toPlainText(), QString("build/"));
            patterns->setPlainText("build/\n\n*.tmp\n!wichtig.tmp");
            Click(editor, "chkVerknuepfungen");
            editor->Command1_Click();
            // Without subfolders the box cannot be used, and keeps its tick.
            Select(editor, "Flach");
            QCOMPARE(OptionsOf(editor), QString("-- gesperrt"));
            Click(editor, "Check2");
            Click(editor, "chkOrdner");
            QCOMPARE(OptionsOf(editor), QString("-O"));
            Click(editor, "Check2");
            QCOMPARE(OptionsOf(editor), QString("-O gesperrt"));
            editor->Command1_Click();
        });
        // A line the editor does not know stays.
        QCOMPARE(reg().GetStringValue(HKCU, kRuleOptionsKey, "Tief"),
                 std::string("links=1\nordner=1\nausschliessen=build/\nausschliessen=*.tmp\n"
                             "ausschliessen=!wichtig.tmp\nmuster=*.tmp"));
        QCOMPARE(stored("Flach"), std::string("0|0|0|1"));
        QCOMPARE(reg().GetStringValue(HKCU, kRuleOptionsKey, "Flach"), std::string("ordner=1"));
        QVERIFY(w.CurrentRule().Options.SymbolicLinks); // the main window took the saved rule
    }

    void renamingReplacesTheOldNameAndLosesNothingOnAFullDisk() {
        StoreRules(reg(), {{"Alt", "1|2|1|3"}, {"Anders", "0|0|1|1"}});
        reg().SetStringValue(HKCU, kRootKey, "LastRegel", "Alt");
        Shown<Form1> w;
        SeenBox box;
        WithEditor(w, [&](Form3* editor) {
            QCOMPARE(TextOf(editor, "Text1"), QString("Alt"));
            Control<QLineEdit>(editor, "Text1")->setText("Neu2");
            {
                FullHiveDisk full; // the longer name does not fit any more
                box = CatchBox([&] { editor->Command1_Click(); });
            }
            // Nothing is lost, and the form keeps what the user typed, to try again.
            QCOMPARE(reg().EnumValues(HKCU, kRulesKey, true),
                     (std::vector<std::string>{"Alt", "Anders"}));
            QCOMPARE(TextOf(editor, "Text1"), QString("Neu2"));
            editor->Command1_Click();
            QCOMPARE(Items(editor, "List1"), (QStringList{"Anders", "Neu2"}));
        });
        QCOMPARE(box.text, QString("Die Regel konnte nicht gespeichert werden."));
        QCOMPARE(stored("Neu2"), std::string("1|2|1|3"));
        QCOMPARE(stored("Alt"), std::string()); // gone
        QCOMPARE(w.CurrentRule().Name, std::string("Neu2"));
        // Renamed onto another rule, what the form showed replaces that rule.
        WithEditor(w, [&](Form3* editor) {
            Select(editor, "Anders");
            Control<QLineEdit>(editor, "Text1")->setText("Neu2");
            editor->Command1_Click();
            QCOMPARE(Items(editor, "List1"), QStringList{"Neu2"});
        });
        QCOMPARE(stored("Neu2"), std::string("0|0|1|1"));
    }

    void latin1RuleNameIsFoundAppliedAndWrittenBackUnchanged() {
        // Written by an older program in Latin-1: the byte F6 alone is no valid UTF-8.
        const std::string latin1 = "L\xf6schen";
        StoreRules(reg(), {{"Aktualisieren", "0|0|1|1"}, {latin1, "0|5|1|1"}});
        reg().SetStringValue(HKCU, kRootKey, "LastRegel", latin1);
        {
            Shown<Form1> w;
            QCOMPARE(Items(&w, "Combo1"), (QStringList{"Aktualisieren", "Löschen"}));
            QCOMPARE(RuleText(w.CurrentRule()), std::string("0|5|1|1"));
            // The editor finds it as well, and saving it unchanged keeps its bytes.
            WithEditor(w, [&](Form3* editor) {
                QCOMPARE(FormOf(editor), QString("0 löschen R--U Frame2 Frame3"));
                editor->Command1_Click();
            });
        }
        QCOMPARE(reg().GetStringValue(HKCU, kRootKey, "LastRegel"), latin1);
        QCOMPARE(reg().EnumValues(HKCU, kRulesKey, true),
                 (std::vector<std::string>{"Aktualisieren", latin1}));
        QVERIFY(ReadFile(home_->home.hivePath()).find("\"L\xf6schen\"=\"0|5|1|1\"\n") !=
                std::string::npos);
    }
    // Another rule chosen, or the loaded rule edited.
    void aRuleChangedAfterTheLoadBlocksTheRun() {
        trees().folder("start");
        trees().text("ziel/geprueft.txt", "im Papierkorb wiederzufinden");
        StoreRules(reg(), {{"Weg", "0|5|1|1"}});
        for (const bool edited : {false, true}) {
            const auto window = LoadedWindow("0|4|1|1", trees()); // "Test", to the trash
            Form1& w = *window;
            QVERIFY(Enabled(&w, "Command3"));
            if (edited) {
                // In the rule editor the loaded rule is switched from the trash to deleting for
                // good.
                WithEditor(w, [](Form3* editor) {
                    Click(editor, "Option4");
                    Click(editor, "Command1");
                });
            } else {
                // The user steps from "Test" to "Weg" in the rule list with the arrow key.
                auto* combo = Control<QComboBox>(&w, "Combo1");
                combo->setFocus();
                QTest::keyClick(combo, Qt::Key_Down);
            }
            QCOMPARE(w.CurrentRule().ReverseAction, 5);
            QVERIFY(!Enabled(&w, "Command3"));
            QCOMPARE(Rows(&w, "List2"), 0);
            Click(&w, "Command3"); // disabled; a question would fail the case
            QVERIFY(fs::exists(trees().path("ziel/geprueft.txt")));
        }
    }
};

GLEICHWART_UI_TEST_MAIN(RulesTest)
#include "rules_test.moc"
