#pragma once

#include <QObject>

struct RulesHome;

class RulesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstStartStoresThreeRulesOnlyOnce();
    void deleteTabComesWithTheDeleteRulesAndGoesWithOthers();
    void ruleListIsSortedAndMatchesTheLastRuleExactly();
    void newRuleSavedUnchangedIsTheDefaultRule();
    void savedControlsMapToTheStoredText();
    void deletingSelectsTheNeighbour();
    void formShowsTheStoredRuleWithItsEnabling();

private:
    RulesHome* home_ = nullptr;
};
