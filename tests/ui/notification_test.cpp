// Desktop notifications: a long load or run that ends while the main window is not the active
// window sends one over D-Bus; none while it is active, none for short work, and nothing
// happens where no notification service answers or no bus is there. The test runs a message
// bus of its own with a notification service of its own.
#include "ui_test_support.h"

#include "desktop/desktop_notification.h"
#include "private_bus.h"

#include <QApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
// The service's own connection to the test's bus, beside the program's session bus.
constexpr const char* kConnection = "fake-notification-service";

QDBusConnection ServiceBus() {
    return QDBusConnection(kConnection);
}

// The Icon= of the program's desktop entry.
QString DesktopEntryIcon() {
    QFile entry(GLEICHWART_DESKTOP_ENTRY);
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return "(" + entry.fileName() + " unreadable)";
    while (!entry.atEnd()) {
        const QString line = QString::fromUtf8(entry.readLine()).trimmed();
        if (line.startsWith("Icon="))
            return line.mid(5);
    }
    return "(no Icon=)";
}

} // namespace

// One call of Notify, as the service received it.
struct Notification {
    QString appName;
    uint replacesId = 0;
    QString appIcon, summary, body;
    QStringList actions;
    QVariantMap hints;
    int expireTimeout = 0;
};

// The desktop's notification service as the test sees it: every notification it was sent.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<Notification> received;
public slots:
    Q_SCRIPTABLE uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                             const QString& summary, const QString& body,
                             const QStringList& actions, const QVariantMap& hints,
                             int expireTimeout) {
        received.append(
            {appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
        return uint(received.size());
    }
};

class NotificationTest : public UiTestCase {
    Q_OBJECT
    FakeNotifications service_;
    std::unique_ptr<QWidget> elsewhere_;

    // What the service received since the last look, in order. A marker sent after it on the
    // program's own connection arrives after everything the program sent before, so nothing
    // is still on its way, without waiting for a while and hoping.
    QList<Notification> receivedNow(Form1& w) {
        w.notification().send("Marke", QString());
        const bool arrived = QTest::qWaitFor(
            [&] {
                return !service_.received.isEmpty() && service_.received.last().summary == "Marke";
            },
            10000);
        if (!arrived) {
            QTest::qFail("the marker did not arrive", __FILE__, __LINE__);
            return {};
        }
        QList<Notification> received = service_.received;
        received.removeLast();
        service_.received.clear();
        return received;
    }

    // A main window shown, active, starting with `rule`; every load and run counts as long.
    std::unique_ptr<Form1> activeWindow(const std::string& rule) {
        UseRule(rule);
        auto w = std::make_unique<Form1>();
        w->notification().setThreshold(0);
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            QTest::qFail("the main window did not become active", __FILE__, __LINE__);
        return w;
    }

    // Another window of the program made active, as when the user works elsewhere; or the
    // main window made active again.
    void lookElsewhere(Form1& w, bool elsewhere) {
        if (elsewhere) {
            elsewhere_ = std::make_unique<QWidget>();
            elsewhere_->setWindowTitle("anderswo");
            elsewhere_->resize(200, 100);
            elsewhere_->show();
            elsewhere_->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(elsewhere_.get()));
            QVERIFY(!w.isActiveWindow());
        } else {
            elsewhere_.reset();
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QVERIFY(w.isActiveWindow());
        }
    }

private slots:
    void initTestCase() {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "dbus-daemon did not start");
        QDBusConnection service = QDBusConnection::connectToBus(
            QString::fromUtf8(qgetenv("DBUS_SESSION_BUS_ADDRESS")), kConnection);
        QVERIFY(service.isConnected());
        QVERIFY(service.registerObject(kPath, &service_, QDBusConnection::ExportScriptableSlots));
    }
    void cleanupTestCase() { QDBusConnection::disconnectFromBus(kConnection); }
    // Beside the fresh home: the service runs and has received nothing.
    void init() {
        home_ = std::make_unique<UiHome>();
        service_.received.clear();
        QVERIFY(ServiceBus().registerService(kService));
    }
    void cleanup() {
        CancelModalWatchers();
        elsewhere_.reset();
        ServiceBus().unregisterService(kService);
        home_.reset();
    }

    // "Ordner laden" with the main window active and not: one notification with what a run
    // would do, only when the window was not on view.
    void aLoadEndingUnseenNotifiesOnce() {
        trees().text("start/a.txt", "aaa", UnixTime(12, 0, 0));
        trees().text("start/b.txt", "bbbb", UnixTime(12, 0, 0));
        trees().text("ziel/weg.txt", "zz");
        const auto window = activeWindow("0|4|1|1");
        Form1& w = *window;
        const auto slowScan = SlowListingsFor(w); // the load takes longer than no time at all
        for (const bool elsewhere : {false, true}) {
            lookElsewhere(w, elsewhere);
            LoadFolders(&w, trees().path("start"), trees().path("ziel"));
            QVERIFY(Enabled(&w, "Command3"));
            const QList<Notification> received = receivedNow(w);
            QCOMPARE(received.size(), elsewhere ? 1 : 0);
            if (!elsewhere)
                continue;
            const Notification& n = received.first();
            QCOMPARE(n.appName, QString("Gleichwart"));
            QCOMPARE(n.replacesId, 0u);
            QCOMPARE(n.appIcon, DesktopEntryIcon());
            QCOMPARE(n.summary, QString("Gleichwart: Ordner geladen"));
            QCOMPARE(n.body, QString("Zu kopieren: 2 Dateien (7 B); zu löschen: 1 Datei (2 B)"));
            QCOMPARE(n.actions, QStringList());
            QCOMPARE(n.hints, (QVariantMap{{"desktop-entry", QString(GLEICHWART_APP_ID)}}));
            QCOMPARE(n.expireTimeout, -1);
        }
    }

    // "Synchronisieren" with the main window active and not.
    void aRunEndingUnseenNotifiesOnce() {
        for (const bool elsewhere : {false, true}) {
            renewHome();
            trees().text("start/a.txt", "aaa", UnixTime(12, 0, 0));
            trees().folder("ziel");
            const auto window = activeWindow("0|0|1|1");
            Form1& w = *window;
            LoadFolders(&w, trees().path("start"), trees().path("ziel"));
            QCOMPARE(receivedNow(w).size(), 0); // the load ended in view
            const auto slow = SlowCopiesFor(w); // the run takes longer than no time at all
            lookElsewhere(w, elsewhere);
            Click(&w, "Command3");
            QCOMPARE(StatusText(&w), QString("Synchronisierung beendet"));
            const QList<Notification> received = receivedNow(w);
            QCOMPARE(received.size(), elsewhere ? 1 : 0);
            if (!elsewhere)
                continue;
            const Notification& n = received.first();
            QCOMPARE(n.appName, QString("Gleichwart"));
            QCOMPARE(n.appIcon, DesktopEntryIcon());
            QCOMPARE(n.summary, QString("Gleichwart: Synchronisierung beendet"));
            QVERIFY2(n.body.startsWith("Kopiert: 1 Datei (3 B); Dauer: ") &&
                         n.body.endsWith(" min"),
                     qPrintable(n.body));
            QCOMPARE(n.hints.value("desktop-entry").toString(), QString(GLEICHWART_APP_ID));
            QCOMPARE(n.expireTimeout, -1);
        }
    }

    // Under the threshold of 20 seconds nothing is sent, seen or not.
    void shortWorkIsNotAnnounced() {
        trees().text("start/a.txt", "aaa", UnixTime(12, 0, 0));
        trees().folder("ziel");
        const auto window = activeWindow("0|0|1|1");
        Form1& w = *window;
        w.notification().setThreshold(DesktopNotification::kDefaultThresholdMs);
        QCOMPARE(w.notification().threshold(), qint64(20000));
        lookElsewhere(w, true);
        LoadFolders(&w, trees().path("start"), trees().path("ziel"));
        Click(&w, "Command3");
        QCOMPARE(StatusText(&w), QString("Synchronisierung beendet"));
        QCOMPARE(receivedNow(w).size(), 0);
    }

    // No service on the bus: the load and the run end as ever, at once, with no message; on a
    // connection that is not there nothing is even sent.
    void withoutAServiceOrABusNothingHappens() {
        ServiceBus().unregisterService(kService);
        trees().text("start/a.txt", "aaa", UnixTime(12, 0, 0));
        trees().folder("ziel");
        const auto window = activeWindow("0|0|1|1");
        Form1& w = *window;
        const auto slowScan = SlowListingsFor(w);
        const auto slow = SlowCopiesFor(w);
        lookElsewhere(w, true);
        QElapsedTimer took;
        took.start();
        LoadFolders(&w, trees().path("start"), trees().path("ziel"));
        Click(&w, "Command3");
        QCOMPARE(StatusText(&w), QString("Synchronisierung beendet"));
        QVERIFY2(took.elapsed() < 5000, qPrintable(QString::number(took.elapsed())));
        QTest::qWait(100); // the answers that nobody is there come back, and are not shown
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(service_.received.isEmpty());

        DesktopNotification nowhere;
        nowhere.setConnectionName("keine-verbindung");
        nowhere.setThreshold(0);
        QVERIFY(!nowhere.send("Gleichwart: Ordner geladen", "x"));
        QVERIFY(!nowhere.notifyIfUnseen(nullptr, 1, "Gleichwart: Ordner geladen", "x"));
    }
};

int main(int argc, char* argv[]) {
    const PrivateBus bus; // its address replaces the session bus of the machine, if any
    return RunUiTest(argc, argv, [] { return std::make_unique<NotificationTest>(); });
}

#include "notification_test.moc"
