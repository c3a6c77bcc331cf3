#include "event_pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>

void PumpPendingEvents() {
    static QElapsedTimer sinceLast;
    if (sinceLast.isValid() && sinceLast.elapsed() < 15)
        return;
    QCoreApplication::processEvents();
    sinceLast.restart();
}
