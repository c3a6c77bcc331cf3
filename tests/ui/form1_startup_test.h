#pragma once

#include <QObject>

class Form1StartupTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstStartShowsEmptyPathsAndTheDesignedSizeCentred();
    void everyDesignedControlIsThereWithItsCaption();
    void whatShutdownWritesIsWhatTheNextStartShows();
    void emptyStartPathComesBackAsOneSpace();
    void windowClosedMaximisedKeepsItsLastNormalGeometry();
    void windowOffEveryScreenOpensCentred();
    void storedSizeBeyondTheScreenIsCutToIt();
    void backgroundSettingsAreReadAsFlagsOnlyWhenOne();
    void helpAndAboutOpenModallyWithTheirTexts();
    void windowsAreFoundByNameInAnyCase();

private:
    struct Home;
    Home* home_ = nullptr;
};
