#pragma once

#include <QObject>

class RunTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void runCopiesTickedEntriesFillsThePanelAndEndsIdle();
    void failedCopiesAreListedModallyWithReasonsInStep();
    void deleteAsksOnceAndMovesOnlyTickedFilesToTheTrash();
    void deleteForGoodRemovesTheFiles();
    void rulesWithoutDeletingNeverDelete();
    void closingDuringARunFinishesTheFileThenCloses();
    void closingDuringALoadStopsItAndCloses();
    void filesChangedAfterTheLoadAreLeftAndListed();
    void errorListsScrollSidewaysOnlyWhenAnEntryIsTooWide();

private:
    struct Home;
    Home* home_ = nullptr;
};
