// The command line: the paths and the rule it names, then "Ordner laden" at once.
#include "form1.h"

#include "input_panel.h"
#include "kit/error_message.h"
#include "rules/rule_store.h"
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
    const RuleChoice choice = ChooseRule(parsed, RuleStore(*registry_).Names());
    if (choice.index) {
        inputPanel_->ruleList()->setCurrentIndex(int(*choice.index));
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
