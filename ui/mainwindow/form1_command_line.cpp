// The command line: the paths and the rule it names, then "Ordner laden" at once.
#include "form1.h"

#include "input_panel.h"
#include "kit/error_message.h"
#include "kit/rule_name_text.h"
#include "settings/command_line.h"

#include <QComboBox>
#include <QLineEdit>

bool Form1::ParseCommandLine() {
    const CommandLine parsed = ::ParseCommandLine(commandLine_);
    if (!parsed.given)
        return false;
    auto text = [](const std::string& s) {
        return QString::fromUtf8(s.data(), qsizetype(s.size()));
    };
    // The boxes keep these paths even when the rule is not found.
    if (parsed.startFolder)
        inputPanel_->startPathBox()->setText(text(*parsed.startFolder));
    if (parsed.targetFolder)
        inputPanel_->targetPathBox()->setText(text(*parsed.targetFolder));
    // Chosen by name among the entries the list shows: the store may have changed since the
    // list was filled, and an index into another reading of it would pick another rule.
    QComboBox* rules = inputPanel_->ruleList();
    std::vector<std::string> shownNames;
    for (int k = 0; k < rules->count(); ++k)
        shownNames.push_back(RuleNameOf(rules->itemData(k)));
    const RuleChoice choice = ChooseRule(parsed, shownNames);
    if (choice.index) {
        rules->setCurrentIndex(int(*choice.index));
        Combo1_Click();
        return true;
    }
    ShowErrorMessage(this, text(choice.message), "CommandLineError");
    return false;
}

void Form1::Timer2_Timer() {
    if (ParseCommandLine())
        Command1_Click();
}
