// The main window's rule list and its "..." buttons: filling the list from the store,
// applying the chosen rule, and choosing folders in the folder browser.
#include "form1.h"

#include "dialogs/rule_editor.h"
#include "file_lists_panel.h"
#include "input_panel.h"
#include "kit/rule_name_text.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"

#include <QComboBox>
#include <QPushButton>

void Form1::Regeln_Laden(const std::string& Regel) {
    QComboBox* rules = inputPanel_->ruleList();
    rules->clear();
    const std::vector<std::string> names = RuleStore(*registry_).Names();
    for (std::size_t k = 0; k < names.size(); ++k) {
        rules->addItem(RuleNameText(names[k]), RuleNameData(names[k]));
        if (names[k] == Regel)
            rules->setCurrentIndex(static_cast<int>(k));
    }
    if (rules->currentIndex() < 0 && rules->count() > 0)
        rules->setCurrentIndex(0);
    Combo1_Click();
}

std::string Form1::chosenRuleName() const {
    const QComboBox* rules = inputPanel_->ruleList();
    return rules->currentIndex() < 0 ? std::string() : RuleNameOf(rules->currentData());
}

void Form1::Combo1_Click() {
    // With no rule in the list the name is empty, which reads as the default rule.
    session_.CurrentRule = RuleStore(*registry_).Load(chosenRuleName());
    fileListsPanel_->setDeleteTabShown(session_.CurrentRule.deletesOnTarget());
    // After a change of rule the folders have to be loaded again before a run.
    fileListsPanel_->clearLists();
    inputPanel_->syncButton()->setEnabled(false);
}

void Form1::ruleSaved(const std::string& previousName, const std::string& name) {
    Regeln_Laden(previousName == session_.CurrentRule.Name ? name : session_.CurrentRule.Name);
}

void Form1::Command5_Click(int Index) {
    if (Index == 2) {
        auto* editor = new Form3(this);
        connect(editor, &Form3::ruleSaved, this, &Form1::ruleSaved);
        editor->Laden(chosenRuleName());
        return;
    }
    inputPanel_->chooseFolder(Index == 0);
}
