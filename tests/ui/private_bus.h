#pragma once

#include <QByteArray>

#include <sys/types.h>

// A session bus of the test's own, made before the application's first use of the session
// bus: its address replaces DBUS_SESSION_BUS_ADDRESS. It starts no service by itself, so no
// real file manager or notification daemon is ever started, and it is stopped when this
// object goes. Where it cannot be started the address is one that leads nowhere, so that no
// test reaches the desktop's own bus.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool started() const { return pid_ > 0; }

private:
    pid_t pid_ = 0;
    QByteArray address_;
};
