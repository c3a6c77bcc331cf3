// The link control: what a click opens, and that moves just after a click are ignored.
#include "ui_test_support.h"

#include "kit/hyperlink.h"
#include "platform/shell_execute.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

std::vector<win::ShellExecuteRequest> g_opened;

// Moves the mouse onto the link, or presses the left button there.
void Mouse(HyperLink& link, bool press = false) {
    const QPointF pos(2, 2);
    const Qt::MouseButton button = press ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent e(press ? QEvent::MouseButtonPress : QEvent::MouseMove, pos, link.mapToGlobal(pos),
                  button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(&link, &e);
}

} // namespace

class HyperLinkTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { win::SetShellExecuteHandler(nullptr); }

    void clickOpensAddressesAsTheirKindAsks_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<int>("show");
        QTest::newRow("www") << "www.halvorn-soft.de"
                             << "http://www.halvorn-soft.de" << win::SW_SHOWMAXIMIZED;
        QTest::newRow("mail") << "anna@example.org"
                              << "mailto:anna@example.org" << win::SW_SHOWNORMAL;
    }
    void clickOpensAddressesAsTheirKindAsks() {
        QFETCH(QString, link);
        QFETCH(QString, opened);
        QFETCH(int, show);
        g_opened.clear();
        win::SetShellExecuteHandler([](const win::ShellExecuteRequest& r) {
            g_opened.push_back(r);
            return std::intptr_t{42};
        });
        QWidget host;
        auto* hyperlink = new HyperLink(&host);
        host.show();
        hyperlink->setLink(link);
        QSignalSpy in(hyperlink, &HyperLink::MouseIn);
        Mouse(*hyperlink);
        Mouse(*hyperlink, true);
        // A click ends the hover, and moves within 100 ms of it are ignored.
        Mouse(*hyperlink);
        QCOMPARE(in.count(), 1);
        QVERIFY(!hyperlink->isHovering());
        QCOMPARE(g_opened.size(), std::size_t{1});
        QCOMPARE(Q(g_opened[0].file), opened);
        QCOMPARE(g_opened[0].show, show);
        QTRY_VERIFY_WITH_TIMEOUT(!hyperlink->isLocked(), 1000);
        Mouse(*hyperlink);
        QCOMPARE(in.count(), 2);
    }
};

GLEICHWART_UI_TEST_MAIN(HyperLinkTest)
#include "hyperlink_test.moc"
