#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

// Tells the desktop that a long load or run ended while the user was looking elsewhere: one
// notification over D-Bus (freedesktop.org Desktop Notifications, org.freedesktop.Notifications
// "Notify"), sent without waiting for the answer. Where no session bus or no notification
// service runs, nothing happens.
class DesktopNotification {
public:
    static constexpr qint64 kDefaultThresholdMs = 20000;

    // Only work that took longer than this is announced; tests make it shorter.
    void setThreshold(qint64 milliseconds) { thresholdMs_ = milliseconds; }
    qint64 threshold() const { return thresholdMs_; }
    // The D-Bus connection to send on, by its name (see QDBusConnection::connectToBus);
    // empty, as by default, for the session bus.
    void setConnectionName(const QString& name) { connectionName_ = name; }

    // Sends `summary` and `body` when work that took `milliseconds` ended while `window` was
    // not the active window or was minimised. Returns whether a notification was sent.
    bool notifyIfUnseen(const QWidget* window, qint64 milliseconds, const QString& summary,
                        const QString& body) const;
    // Sends one notification; false when there is no bus to send it on.
    bool send(const QString& summary, const QString& body) const;

    // What the notification names as its sender: the program, its icon in the icon theme (the
    // desktop entry's Icon=), and its desktop entry (the application id).
    static QString appName();
    static QString iconName();
    static QString desktopEntry();

private:
    qint64 thresholdMs_ = kDefaultThresholdMs;
    QString connectionName_;
};
