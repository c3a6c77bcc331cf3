#pragma once

#include <QObject>

class FileVerbsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void renameRefusesATakenNameAndTouchesNeitherFile();
    void renameOffersTheNameWithoutItsExtension_data();
    void renameOffersTheNameWithoutItsExtension();
    void failingVerbsSayWhyAndLeaveTheFile();
    void propertiesShowWhatTheFileSystemSays();

private:
    struct Home;
    Home* home_ = nullptr;
};
