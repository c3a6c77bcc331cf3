#include "desktop_notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";

} // namespace

QString DesktopNotification::appName() {
    return QStringLiteral("Gleichwart");
}

// The name data/CMakeLists.txt installs the application icon under in the hicolor theme, and
// the Icon= of the desktop entry.
QString DesktopNotification::iconName() {
    return QStringLiteral("gleichwart");
}

QString DesktopNotification::desktopEntry() {
    return QStringLiteral(GLEICHWART_APP_ID);
}

bool DesktopNotification::notifyIfUnseen(const QWidget* window, qint64 milliseconds,
                                         const QString& summary, const QString& body) const {
    if (milliseconds <= thresholdMs_)
        return false;
    if (window != nullptr && window->isActiveWindow() && !window->isMinimized())
        return false;
    return send(summary, body);
}

bool DesktopNotification::send(const QString& summary, const QString& body) const {
    QDBusConnection bus = connectionName_.isEmpty() ? QDBusConnection::sessionBus()
                                                    : QDBusConnection(connectionName_);
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    const QVariantMap hints{{"desktop-entry", desktopEntry()}};
    call << appName() << uint(0) << iconName() << summary << body << QStringList() << hints
         << int(-1);
    // Nothing waits for the answer, nor for a service that never gives one: a missing service
    // comes back as an error no one reads.
    bus.asyncCall(call);
    return true;
}
