#pragma once

#include <QObject>

class ShellMenuTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void aTextFileOffersBothApplicationsTheDefaultFirst();
    void anApplicationGetsExactlyTheFileAsItsArgument_data();
    void anApplicationGetsExactlyTheFileAsItsArgument();
    void filesOfOneFolderShareOneMenu();
    void filesThatCannotBeShownGiveNoMenu_data();
    void filesThatCannotBeShownGiveNoMenu();
    void commandsRaiseBeforeThenAfter();
    void cancelStopsTheCommandAndTheAfterEvent();
    void extraItemsStandByPositionForEveryInstance();
    void anExtraItemRunsNothing();
    void dismissingRaisesNothing();

private:
    struct Home;
    Home* home_ = nullptr;
};
