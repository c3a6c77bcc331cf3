#pragma once

#include <QObject>

class LoadingTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void badPathsAreRefusedWithTheirMessage();
    void folderButtonsPutTheChosenFolderIntoTheBox();
    void loadShowsTickedEntriesWithDetailsAndTotals();
    void untickingAnEntryUpdatesTotalsAndSelectAll();
    void selectAllOnTheDeleteTabUnticksEveryRecord();
    void emptyCopyListLeavesDetailsEmpty();
    void abortDuringTheScanEndsIdleWithEmptyLists();
    void aMillionEntriesFillScrollAndToggleQuickly();

private:
    struct Home;
    Home* home_ = nullptr;
};
