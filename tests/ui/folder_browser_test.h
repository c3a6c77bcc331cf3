#pragma once

#include <QObject>

class FolderBrowserTest : public QObject {
    Q_OBJECT
private slots:
    void folderThatCannotBeListedIsGreyAndClosed();
    void deepInitialFolderIsOpenedAndSelected();
    void longPathIsShortenedInTheMiddle();
    void missingInitialFolderSelectsNothing();
    void choosingGivesThePathWithoutTrailingSlash_data();
    void choosingGivesThePathWithoutTrailingSlash();
    void hiddenFoldersShowOnlyWhenTicked();
    void newFolderNames_data();
    void newFolderNames();
    void newFolderRefusesASlashThenMakesAndSelectsTheFolder();
    void staysResponsiveWhileAHugeFolderIsListed();
    void volumesAUserLooksFor_data();
    void volumesAUserLooksFor();
    void specialFoldersFollowTheUserFolders();
};
