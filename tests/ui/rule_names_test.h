#pragma once

#include <QObject>

struct RulesHome;

class RuleNamesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void latin1RuleNameIsFoundAppliedAndWrittenBackUnchanged();
    void renamingTheCurrentRuleMakesTheMainWindowFollow();
    void renamingOntoAnotherRuleSavesWhatTheFormShowed();
    void renamingOnAFullDiskLosesNothing();
    void namesAreTrimmedAndAnEmptyNameIsRefused();

private:
    RulesHome* home_ = nullptr;
};
