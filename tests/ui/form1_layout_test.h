#pragma once

#include <QObject>

class Form1LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void designedSizeGivesTheDesignedGeometry();
    void narrowWindowLeavesOnlyTheFileBarUnchanged();
    void minimisedWindowIsNotLaidOut();
    void softFrameFadesTheBackgroundPictureIntoTheWindow();
    void stretchedPictureFillsThePanelUnderTheFrame();
    void statusPanelHostsTheActivityStripAndTheLoadingBar();
};
