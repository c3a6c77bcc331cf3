// The link control: its look under the mouse, what a click opens, and when it does nothing.
#include "ui_test_support.h"

#include "kit/hyperlink.h"
#include "platform/shell_execute.h"

#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

std::vector<win::ShellExecuteRequest> g_opened;

void Send(HyperLink& link, QEvent::Type type, QPointF pos) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, pos, link.mapToGlobal(pos), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(&link, &e);
}

void Move(HyperLink& link, QPointF pos) {
    Send(link, QEvent::MouseMove, pos);
}

void Click(HyperLink& link) {
    Send(link, QEvent::MouseButtonPress, {2, 2});
}

bool Looks(const HyperLink& link, const QColor& colour, bool underlined) {
    return link.label()->styleSheet().contains(colour.name()) &&
           link.label()->font().underline() == underlined;
}

} // namespace

class HyperLinkTest : public QObject {
    Q_OBJECT
    QWidget* host_ = nullptr;
    HyperLink* link_ = nullptr;

private slots:
    void init() {
        g_opened.clear();
        win::SetShellExecuteHandler([](const win::ShellExecuteRequest& r) {
            g_opened.push_back(r);
            return std::intptr_t{42};
        });
        host_ = new QWidget;
        link_ = new HyperLink(host_);
        host_->show();
    }
    void cleanup() {
        delete host_;
        win::SetShellExecuteHandler(nullptr);
    }

    void movingInAndOutRaisesMouseInAndMouseOutOnce() {
        HyperLink& link = *link_;
        QSignalSpy in(&link, &HyperLink::MouseIn);
        QSignalSpy out(&link, &HyperLink::MouseOut);
        QSignalSpy moves(&link, &HyperLink::MouseMove);
        for (QPointF p : {QPointF(3, 3), QPointF(5, 4), QPointF(6, 2)})
            Move(link, p);
        QCOMPARE(in.count(), 1);
        QCOMPARE(out.count(), 0);
        QVERIFY(link.isHovering());
        QVERIFY(Looks(link, HyperLink::kHoverColour, true));
        Move(link, {link.width() + 5.0, 3});
        Move(link, {link.width() + 9.0, 3});
        QCOMPARE(in.count(), 1);
        QCOMPARE(out.count(), 1);
        QCOMPARE(moves.count(), 5);
        QVERIFY(Looks(link, HyperLink::kNormalColour, false));
    }

    void clickOpensAddressesAsTheirKindAsks_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<int>("show");
        QTest::newRow("www") << "www.halvorn-soft.de"
                             << "http://www.halvorn-soft.de" << win::SW_SHOWMAXIMIZED;
        QTest::newRow("scheme") << "https://halvorn-soft.de/x"
                                << "https://halvorn-soft.de/x" << win::SW_SHOWMAXIMIZED;
        QTest::newRow("x:y") << "x:y"
                             << "x:y" << win::SW_SHOWMAXIMIZED;
        QTest::newRow("mail") << "anna@example.org"
                              << "mailto:anna@example.org" << win::SW_SHOWNORMAL;
    }
    void clickOpensAddressesAsTheirKindAsks() {
        QFETCH(QString, link);
        QFETCH(QString, opened);
        QFETCH(int, show);
        HyperLink& control = *link_;
        control.setLink(link);
        QCOMPARE(control.property("Link").toString(), link);
        QSignalSpy down(&control, &HyperLink::MouseDown);
        QSignalSpy in(&control, &HyperLink::MouseIn);
        Move(control, {2, 2});
        Click(control);
        // A click ends the hover, and moves within 100 ms of it are ignored.
        QVERIFY(control.isLocked());
        Move(control, {2, 2});
        QCOMPARE(in.count(), 1);
        QVERIFY(!control.isHovering());
        QCOMPARE(down.count(), 1);
        QCOMPARE(g_opened.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(g_opened[0].file), opened);
        QCOMPARE(QString::fromStdString(g_opened[0].operation), QString("Open"));
        QCOMPARE(g_opened[0].show, show);
        QCOMPARE(g_opened[0].window, win::GetDesktopWindow());
        QTRY_VERIFY_WITH_TIMEOUT(!control.isLocked(), 1000);
        Move(control, {2, 2});
        QCOMPARE(in.count(), 2);
        control.LinkGo();
        QCOMPARE(g_opened.size(), std::size_t{2});
    }

    void withoutProcessActionAClickOnlyRaisesMouseDown() {
        link_->setProcessAction(false);
        QSignalSpy down(link_, &HyperLink::MouseDown);
        link_->LinkGo();
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0).at(0).value<short>(), short{1});
        QVERIFY(g_opened.empty());
    }

    void disabledLinkIsGreyAndDoesNothing() {
        HyperLink& link = *link_;
        link.setProperty("Enabled", false);
        QSignalSpy down(&link, &HyperLink::MouseDown);
        QSignalSpy in(&link, &HyperLink::MouseIn);
        Move(link, {2, 2});
        Click(link);
        link.LinkGo();
        QCOMPARE(down.count() + in.count(), 0);
        QVERIFY(g_opened.empty());
        QVERIFY(Looks(link, link.palette().color(QPalette::Disabled, QPalette::WindowText), false));
        QCOMPARE(link.cursor().shape(), Qt::ArrowCursor);
        link.setProperty("Enabled", true);
        QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(Looks(link, HyperLink::kNormalColour, false));
    }

    void changingTheTextRefitsTheControl() {
        const int before = link_->width();
        link_->setLinkText("eine deutlich längere Adresse@halvorn-soft.de");
        QVERIFY(link_->width() > before);
        QCOMPARE(link_->size(), link_->label()->size());
        QCOMPARE(link_->changedProperties(), QStringList{"LinkText"});
    }
};

GLEICHWART_UI_TEST_MAIN(HyperLinkTest)
#include "hyperlink_test.moc"
