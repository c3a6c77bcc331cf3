#pragma once

#include <QObject>

class FileActionsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void theCopyListsTickItemFollowsTheTickAndInvertsIt();
    void theDeleteListsTickItemInvertsOnlyTheDeleteList();
    void clicksBesideEveryEntryChangeNothing();
    void everyButtonSelectsOnlyTheRightOneOpensTheMenu();
    void clickingATickBoxMakesItsEntryCurrent();
    void theKeyboardOpensTheMenuOfTheCurrentEntry();
    void verbsThatTakeTheFileAwayTakeTheEntryOff_data();
    void verbsThatTakeTheFileAwayTakeTheEntryOff();
    void verbsThatLeaveTheFileChangeNothing();
    void noMenuOpensWhileARunCopies();
    void namesWithControlCharactersStayOnOneLine();
    void theDetailsShowLocalTime();
    void theMenuOverTheCopyListLooksFinished();

private:
    struct Home;
    Home* home_ = nullptr;
};
