#pragma once

#include <QObject>

// A run that is stopped, a rule changed after the load, roots that are no longer the loaded
// folders, and the question for a single file: the window must never do more than was shown.
class RunSafetyTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void abbrechenStopsAfterTheCurrentFileAndSkipsDeleting();
    void choosingAnotherRuleAfterTheLoadBlocksTheRun();
    void editingTheCurrentRuleAfterTheLoadBlocksTheRun();
    void rootsThatAreNoLongerTheLoadedFoldersAreRefused_data();
    void rootsThatAreNoLongerTheLoadedFoldersAreRefused();
    void oneFileToTheTrashIsAskedForInTheSingular();

private:
    struct Home;
    Home* home_ = nullptr;
};
