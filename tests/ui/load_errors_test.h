#pragma once

#include <QObject>

// What the main window shows when a load cannot read all it should.
class LoadErrorsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void aStartRootThatCannotBeReadLeavesNothingToRun();
    void unreadableFoldersAreListedWithTheirReasonsAfterTheLoad();

private:
    struct Home;
    Home* home_ = nullptr;
};
