#include "hyperlink_test.h"

#include "kit/hyperlink.h"
#include "platform/shell_execute.h"
#include "ui_test_support.h"

#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

std::vector<win::ShellExecuteRequest> g_opened;
win::ShellExecuteHandler g_previous;

void Move(HyperLink& link, QPointF pos) {
    QMouseEvent e(QEvent::MouseMove, pos, link.mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(&link, &e);
}

void Click(HyperLink& link) {
    const QPointF pos(2, 2);
    QMouseEvent e(QEvent::MouseButtonPress, pos, link.mapToGlobal(pos), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&link, &e);
}

QString LabelColour(const HyperLink& link) {
    return link.label()->styleSheet();
}

} // namespace

void HyperLinkTest::init() {
    g_opened.clear();
    g_previous = win::SetShellExecuteHandler([](const win::ShellExecuteRequest& r) {
        g_opened.push_back(r);
        return std::intptr_t{42};
    });
}

void HyperLinkTest::cleanup() {
    win::SetShellExecuteHandler(g_previous);
}

void HyperLinkTest::movingInAndOutRaisesMouseInAndMouseOutOnce() {
    QWidget host;
    HyperLink link(&host);
    host.show();
    QSignalSpy in(&link, &HyperLink::MouseIn);
    QSignalSpy out(&link, &HyperLink::MouseOut);
    QSignalSpy moves(&link, &HyperLink::MouseMove);
    Move(link, {3, 3});
    Move(link, {5, 4});
    Move(link, {6, 2});
    QCOMPARE(in.count(), 1);
    QCOMPARE(out.count(), 0);
    QVERIFY(link.isHovering());
    QVERIFY(link.label()->font().underline());
    QVERIFY(LabelColour(link).contains(HyperLink::kHoverColour.name()));
    Move(link, {link.width() + 5.0, 3});
    Move(link, {link.width() + 9.0, 3});
    QCOMPARE(in.count(), 1);
    QCOMPARE(out.count(), 1);
    QCOMPARE(moves.count(), 5);
    QVERIFY(!link.label()->font().underline());
    QVERIFY(LabelColour(link).contains(HyperLink::kNormalColour.name()));
}

void HyperLinkTest::clickOpensAddressesAsTheirKindAsks_data() {
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

void HyperLinkTest::clickOpensAddressesAsTheirKindAsks() {
    QFETCH(QString, link);
    QFETCH(QString, opened);
    QFETCH(int, show);
    QWidget host;
    HyperLink control(&host);
    host.show();
    control.setLink(link);
    QSignalSpy down(&control, &HyperLink::MouseDown);
    Move(control, {2, 2});
    Click(control);
    QCOMPARE(down.count(), 1);
    QVERIFY(!control.isHovering()); // a click always ends the hover
    QCOMPARE(g_opened.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(g_opened[0].file), opened);
    QCOMPARE(QString::fromStdString(g_opened[0].operation), QString("Open"));
    QCOMPARE(g_opened[0].show, show);
    QCOMPARE(g_opened[0].window, win::GetDesktopWindow());
    control.LinkGo();
    QCOMPARE(g_opened.size(), std::size_t{2});
}

void HyperLinkTest::withoutProcessActionAClickOnlyRaisesMouseDown() {
    HyperLink link;
    link.setProcessAction(false);
    QSignalSpy down(&link, &HyperLink::MouseDown);
    link.LinkGo();
    QCOMPARE(down.count(), 1);
    QCOMPARE(down.at(0).at(0).value<short>(), short{1});
    QVERIFY(g_opened.empty());
}

void HyperLinkTest::disabledLinkIsGreyAndDoesNothing() {
    QWidget host;
    HyperLink link(&host);
    host.show();
    link.setProperty("Enabled", false);
    QVERIFY(!link.Enabled());
    QSignalSpy down(&link, &HyperLink::MouseDown);
    QSignalSpy in(&link, &HyperLink::MouseIn);
    Move(link, {2, 2});
    Click(link);
    link.LinkGo();
    QCOMPARE(down.count(), 0);
    QCOMPARE(in.count(), 0);
    QVERIFY(g_opened.empty());
    QVERIFY(!link.label()->font().underline());
    const QString grey = link.palette().color(QPalette::Disabled, QPalette::WindowText).name();
    QVERIFY(LabelColour(link).contains(grey));
    QCOMPARE(link.cursor().shape(), Qt::ArrowCursor);
    link.setProperty("Enabled", true);
    QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(LabelColour(link).contains(HyperLink::kNormalColour.name()));
}

void HyperLinkTest::movesWithinAHundredMillisecondsOfAClickAreIgnored() {
    QWidget host;
    HyperLink link(&host);
    host.show();
    link.setProcessAction(false);
    QSignalSpy in(&link, &HyperLink::MouseIn);
    link.LinkGo();
    QVERIFY(link.isLocked());
    Move(link, {2, 2});
    QCOMPARE(in.count(), 0);
    QVERIFY(!link.label()->font().underline());
    QTRY_VERIFY_WITH_TIMEOUT(!link.isLocked(), 1000);
    Move(link, {2, 2});
    QCOMPARE(in.count(), 1);
}

void HyperLinkTest::changingTheTextRefitsTheControl() {
    HyperLink link;
    const int before = link.width();
    link.setLinkText("eine deutlich längere Adresse@halvorn-soft.de");
    QVERIFY(link.width() > before);
    QCOMPARE(link.size(), link.label()->size());
    QCOMPARE(link.changedProperties(), QStringList{"LinkText"});
    link.setLink("www.halvorn-soft.de");
    QCOMPARE(link.property("Link").toString(), QString("www.halvorn-soft.de"));
}

GLEICHWART_UI_TEST_MAIN(HyperLinkTest)
