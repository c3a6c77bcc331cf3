// Desktop notifications: a long load or run that ends while the main window is not the active
// window sends one over D-Bus; none while it is active, none for short work, and nothing
// happens where no notification service answers or no bus is there. The test runs a message
// bus of its own with a notification service of its own.
#include "ui_test_support.h"

#include "desktop/desktop_notification.h"
#include "private_bus.h"

#include <QDBusConnection>
#include <QRegularExpression>

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
// The service's own connection to the test's bus, beside the program's session bus.
constexpr const char* kConnection = "fake-notification-service";

// The Icon= of the program's desktop entry.
QString DesktopEntryIcon() {
    QFile entry(GLEICHWART_DESKTOP_ENTRY);
    entry.open(QIODevice::ReadOnly);
    return QRegularExpression("^Icon=(.*)$", QRegularExpression::MultilineOption)
        .match(QString::fromUtf8(entry.readAll()))
        .captured(1);
}

} // namespace

// The desktop's notification service as the test sees it: every call of Notify it received,
// each as its arguments in order, joined by " | ", the hints as "key=value".
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList received;
public slots:
    Q_SCRIPTABLE uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                             const QString& summary, const QString& body,
                             const QStringList& actions, const QVariantMap& hints,
                             int expireTimeout) {
        QStringList hintTexts;
        for (auto it = hints.begin(); it != hints.end(); ++it)
            hintTexts << it.key() + "=" + it.value().toString();
        received << QString("%1 | %2 | %3 | %4 | %5 | %6 | %7 | %8")
                        .arg(appName, QString::number(replacesId), appIcon, summary, body,
                             actions.join(','), hintTexts.join(','),
                             QString::number(expireTimeout));
        return uint(received.size());
    }
};

class NotificationTest : public UiTestCase {
    Q_OBJECT
    FakeNotifications service_;
    QWidget elsewhere_;
    std::unique_ptr<platform::FileSystem> slowScan_;
    std::unique_ptr<platform::FileOps> slowCopies_;

    // What the service received since the last look, in order. A marker sent after it on the
    // program's own connection arrives after everything the program sent before, so nothing
    // is still on its way, without waiting for a while and hoping.
    QStringList receivedNow(Form1& w) {
        w.notification().send("Marke", QString());
        const auto arrived = [&] {
            return !service_.received.isEmpty() && service_.received.last().contains(" | Marke | ");
        };
        if (!QTest::qWaitFor(arrived, 10000)) {
            QTest::qFail("the marker did not arrive", __FILE__, __LINE__);
            return {};
        }
        QStringList received = service_.received;
        received.removeLast();
        service_.received.clear();
        return received;
    }

    // A shown main window starting with `rule`, active, whose loads and runs take longer than
    // no time at all; every one counts as long unless `longWork` is false. The start tree
    // holds two files of 7 B, the target one of 2 B.
    std::unique_ptr<Form1> activeWindow(const std::string& rule, bool longWork = true) {
        trees().text("start/a.txt", "aaa", UnixTime(12, 0, 0));
        trees().text("start/b.txt", "bbbb", UnixTime(12, 0, 0));
        trees().text("ziel/weg.txt", "zz");
        UseRule(rule);
        auto w = std::make_unique<Form1>();
        if (longWork)
            w->notification().setThreshold(0);
        slowScan_ = SlowListingsFor(*w);
        slowCopies_ = SlowCopiesFor(*w);
        w->show();
        lookElsewhere(*w, false);
        return w;
    }

    // Another window of the program made active, as when the user works elsewhere; or the
    // main window made active again.
    void lookElsewhere(Form1& w, bool elsewhere) {
        QWidget* active = elsewhere ? &elsewhere_ : &w;
        active->show();
        active->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(active));
        QCOMPARE(w.isActiveWindow(), !elsewhere);
    }

private slots:
    void initTestCase() {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "dbus-daemon did not start");
        QDBusConnection service = QDBusConnection::connectToBus(
            QString::fromUtf8(qgetenv("DBUS_SESSION_BUS_ADDRESS")), kConnection);
        QVERIFY(service.registerObject("/org/freedesktop/Notifications", &service_,
                                       QDBusConnection::ExportScriptableSlots));
    }
    void cleanupTestCase() { QDBusConnection::disconnectFromBus(kConnection); }
    // Beside the fresh home: the service runs (again, where a case took it off the bus) and has
    // received nothing.
    void init() {
        home_ = std::make_unique<UiHome>();
        service_.received.clear();
        QVERIFY(QDBusConnection(kConnection).registerService(kService));
    }

    // "Ordner laden" and "Synchronisieren", each ending with the main window active and not,
    // long and under the threshold of 20 seconds: one notification, only for long work that
    // ended unseen. A load says what a run would do.
    void onlyLongWorkEndingUnseenIsAnnouncedOnce() {
        const struct {
            bool run, elsewhere, longWork;
            QString summary, body; // body: a pattern; no summary: nothing is sent
        } rows[] = {
            {false, false, true, {}, {}},
            {false, true, true, "Gleichwart: Ordner geladen",
             "Zu kopieren: 2 Dateien \\(7 B\\); zu löschen: 1 Datei \\(2 B\\)"},
            {false, true, false, {}, {}},
            {true, false, true, {}, {}},
            {true, true, true, "Gleichwart: Synchronisierung beendet",
             "Kopiert: 2 Dateien \\(7 B\\); Dauer: \\d\\d:\\d\\d min"},
            {true, true, false, {}, {}},
        };
        for (const auto& [run, elsewhere, longWork, summary, body] : rows) {
            renewHome();
            const auto window = activeWindow(run ? "0|0|1|1" : "0|4|1|1", longWork);
            Form1& w = *window;
            QCOMPARE(w.notification().threshold(), longWork ? 0 : qint64(20000));
            if (run) {
                LoadFolders(&w, trees().path("start"), trees().path("ziel"));
                QCOMPARE(receivedNow(w).size(), 0); // the load ended in view
            }
            lookElsewhere(w, elsewhere);
            if (run)
                Click(&w, "Command3");
            else
                LoadFolders(&w, trees().path("start"), trees().path("ziel"));
            QCOMPARE(Enabled(&w, "Command3"), !run);
            const QStringList received = receivedNow(w);
            QCOMPARE(received.size(), summary.isEmpty() ? 0 : 1);
            if (summary.isEmpty())
                continue;
            // Named as the program, its desktop entry's icon and the entry itself; no actions,
            // replacing nothing, the desktop's own time on view.
            const QString expected =
                QRegularExpression::escape("Gleichwart | 0 | " + DesktopEntryIcon() + " | " +
                                           summary + " | ") +
                body + QRegularExpression::escape(" |  | desktop-entry=" GLEICHWART_APP_ID " | -1");
            QVERIFY2(QRegularExpression("^" + expected + "$").match(received[0]).hasMatch(),
                     qPrintable(received[0]));
        }
    }

    // No service on the bus: the load and the run end as ever, with no message; on a
    // connection that is not there nothing is even sent.
    void withoutAServiceOrABusNothingHappens() {
        QDBusConnection(kConnection).unregisterService(kService);
        const auto window = activeWindow("0|0|1|1");
        lookElsewhere(*window, true);
        LoadFolders(window.get(), trees().path("start"), trees().path("ziel"));
        Click(window.get(), "Command3");
        QCOMPARE(StatusText(window.get()), QString("Synchronisierung beendet"));
        // The answers that nobody is there come back, and are not shown: a message box would
        // fail the case.
        QTest::qWait(100);
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
