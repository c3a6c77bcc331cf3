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

// Moves the mouse to `pos`, or presses the left button there.
void Mouse(HyperLink& link, QPointF pos, bool press = false) {
    const Qt::MouseButton button = press ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent e(press ? QEvent::MouseButtonPress : QEvent::MouseMove, pos, link.mapToGlobal(pos),
                  button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(&link, &e);
}

bool Looks(const HyperLink& link, const QColor& colour, bool underlined) {
    return link.label()->styleSheet().contains(colour.name()) &&
           link.label()->font().underline() == underlined;
}

} // namespace

class HyperLinkTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QWidget> host_;
    HyperLink* link_ = nullptr;

private slots:
    void init() {
        g_opened.clear();
        win::SetShellExecuteHandler([](const win::ShellExecuteRequest& r) {
            g_opened.push_back(r);
            return std::intptr_t{42};
        });
        host_ = std::make_unique<QWidget>();
        link_ = new HyperLink(host_.get());
        host_->show();
    }
    void cleanup() {
        host_.reset();
        win::SetShellExecuteHandler(nullptr);
    }

    void movingInAndOutRaisesMouseInAndMouseOutOnce() {
        QSignalSpy in(link_, &HyperLink::MouseIn);
        QSignalSpy out(link_, &HyperLink::MouseOut);
        QSignalSpy moves(link_, &HyperLink::MouseMove);
        for (const QPointF p : {QPointF(3, 3), QPointF(5, 4), QPointF(6, 2)})
            Mouse(*link_, p);
        QCOMPARE(in.count(), 1);
        QCOMPARE(out.count(), 0);
        QVERIFY(link_->isHovering());
        QVERIFY(Looks(*link_, HyperLink::kHoverColour, true));
        Mouse(*link_, {link_->width() + 5.0, 3});
        Mouse(*link_, {link_->width() + 9.0, 3});
        QCOMPARE(in.count(), 1);
        QCOMPARE(out.count(), 1);
        QCOMPARE(moves.count(), 5);
        QVERIFY(Looks(*link_, HyperLink::kNormalColour, false));
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
        link_->setLink(link);
        QSignalSpy down(link_, &HyperLink::MouseDown);
        QSignalSpy in(link_, &HyperLink::MouseIn);
        Mouse(*link_, {2, 2});
        Mouse(*link_, {2, 2}, true);
        // A click ends the hover, and moves within 100 ms of it are ignored.
        QVERIFY(link_->isLocked());
        Mouse(*link_, {2, 2});
        QCOMPARE(in.count(), 1);
        QVERIFY(!link_->isHovering());
        QCOMPARE(down.count(), 1);
        QCOMPARE(g_opened.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(g_opened[0].file), opened);
        QCOMPARE(g_opened[0].show, show);
        QTRY_VERIFY_WITH_TIMEOUT(!link_->isLocked(), 1000);
        Mouse(*link_, {2, 2});
        QCOMPARE(in.count(), 2);
    }

    void withoutProcessActionOrWhenDisabledAClickOpensNothing() {
        QSignalSpy down(link_, &HyperLink::MouseDown);
        QSignalSpy in(link_, &HyperLink::MouseIn);
        link_->setProcessAction(false);
        link_->LinkGo();
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0).at(0).value<short>(), short{1});
        // Disabled, it is grey and neither hovers nor clicks.
        link_->setProperty("Enabled", false);
        QCOMPARE(link_->cursor().shape(), Qt::ArrowCursor);
        QTRY_VERIFY_WITH_TIMEOUT(!link_->isLocked(), 1000);
        Mouse(*link_, {2, 2});
        Mouse(*link_, {2, 2}, true);
        link_->LinkGo();
        QCOMPARE(down.count(), 1);
        QCOMPARE(in.count(), 0);
        QVERIFY(g_opened.empty());
        QVERIFY(
            Looks(*link_, link_->palette().color(QPalette::Disabled, QPalette::WindowText), false));
        link_->setProperty("Enabled", true);
        QCOMPARE(link_->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(Looks(*link_, HyperLink::kNormalColour, false));
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
