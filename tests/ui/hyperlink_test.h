#pragma once

#include <QObject>

class HyperLinkTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void movingInAndOutRaisesMouseInAndMouseOutOnce();
    void clickOpensAddressesAsTheirKindAsks_data();
    void clickOpensAddressesAsTheirKindAsks();
    void withoutProcessActionAClickOnlyRaisesMouseDown();
    void disabledLinkIsGreyAndDoesNothing();
    void movesWithinAHundredMillisecondsOfAClickAreIgnored();
    void changingTheTextRefitsTheControl();
};
