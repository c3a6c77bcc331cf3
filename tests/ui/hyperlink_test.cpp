// The link control: what a click opens, and that moves just after a click are ignored.
#include "ui_test_support.h"

#include "kit/hyperlink.h"
#include "platform/shell_execute.h"

#include <QMouseEvent>
#include <QSignalSpy>

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

    void clickOpensAddressesAsTheirKindAsks() {
        win::SetShellExecuteHandler([](const win::ShellExecuteRequest& r) {
            g_opened.push_back(r);
            return std::intptr_t{42};
        });
        QWidget host;
        auto* hyperlink = new HyperLink(&host);
        host.show();
        hyperlink->setLink("www.halvorn-soft.de");
        QSignalSpy in(hyperlink, &HyperLink::MouseIn);
        Mouse(*hyperlink);
        Mouse(*hyperlink, true);
        // A click ends the hover, and moves within 100 ms of it are ignored.
        Mouse(*hyperlink);
        QCOMPARE(in.count(), 1);
        QVERIFY(!hyperlink->isHovering());
        QTRY_VERIFY_WITH_TIMEOUT(!hyperlink->isLocked(), 1000);
        Mouse(*hyperlink);
        QCOMPARE(in.count(), 2);
        hyperlink->setLink("anna@example.org");
        Mouse(*hyperlink, true);
        QCOMPARE(g_opened.size(), std::size_t{2});
        QCOMPARE(Q(g_opened[0].file), QString("http://www.halvorn-soft.de"));
        QCOMPARE(g_opened[0].show, int(win::SW_SHOWMAXIMIZED));
        QCOMPARE(Q(g_opened[1].file), QString("mailto:anna@example.org"));
        QCOMPARE(g_opened[1].show, int(win::SW_SHOWNORMAL));
    }
};

GLEICHWART_UI_TEST_MAIN(HyperLinkTest)
#include "hyperlink_test.moc"
