#pragma once

#include <QObject>

class RulesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstStartStoresThreeRulesOnlyOnce();
    void deleteTabComesWithTheDeleteRulesAndGoesWithOthers();
    void ruleListIsSortedAndMatchesTheLastRuleExactly();
    void latin1RuleNameIsFoundAppliedAndWrittenBackUnchanged();
    void newRuleSavedUnchangedIsTheDefaultRule();
    void savedControlsMapToTheStoredText();
    void deletingSelectsTheNeighbour();
    void renamingTheCurrentRuleMakesTheMainWindowFollow();
    void renamingOntoAnotherRuleSavesWhatTheFormShowed();
    void renamingOnAFullDiskLosesNothing();
    void namesAreTrimmedAndAnEmptyNameIsRefused();
    void formShowsTheStoredRuleWithItsEnabling();

private:
    struct Home;
    Home* home_ = nullptr;
};
