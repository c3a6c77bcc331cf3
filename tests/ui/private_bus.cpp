#include "private_bus.h"

#include <QtGlobal>

#include <csignal>
#include <cstdio>
#include <cstdlib>

PrivateBus::PrivateBus() {
    FILE* out = ::popen(
        "c=$(mktemp) && echo '<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
        "<policy context=\"default\"><allow send_destination=\"*\"/><allow eavesdrop=\"true\"/>"
        "<allow own=\"*\"/></policy></busconfig>' > \"$c\" && dbus-daemon --fork --nopidfile "
        "--print-address=1 --print-pid=1 --config-file=\"$c\" 2>/dev/null; rm -f \"$c\"",
        "r");
    char address[1024] = {}, pid[32] = {};
    if (out != nullptr && std::fgets(address, sizeof address, out) != nullptr &&
        std::fgets(pid, sizeof pid, out) != nullptr) {
        address_ = QByteArray(address).trimmed();
        pid_ = std::atoi(pid);
    }
    if (out != nullptr)
        ::pclose(out);
    qputenv("DBUS_SESSION_BUS_ADDRESS",
            started() ? address_ : QByteArray("unix:path=/nonexistent/gleichwart-test-bus"));
}

PrivateBus::~PrivateBus() {
    if (pid_ > 0)
        ::kill(pid_, SIGTERM);
}
