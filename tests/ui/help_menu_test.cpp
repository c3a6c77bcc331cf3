// The program's own files, as installed: this test program lies in a folder with a copy of
// Icons/ and the handbook beside it, as the program does, and runs once more at double density
// for the first start's background. The menu "Hilfe": the handbook window of "Hilfethemen", and
// "Über...", and the link control the About window shows: what a click opens, and that moves
// just after a click are ignored.
#include "ui_test_support.h"

#include "kit/hyperlink.h"
#include "kit/picture_box.h"
#include "platform/shell_execute.h"
#include "platform/system_info.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextBrowser>

namespace {

// The links of a page (target, where the text begins) and the tops of its anchors (id="x"
// or name="x").
struct Page {
    QList<std::pair<QString, int>> links;
    QHash<QString, qreal> anchorTops;
};

Page Read(const QTextDocument* document) {
    Page page;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.anchorHref().isEmpty())
                page.links << std::pair(format.anchorHref(), it.fragment().position());
            for (const QString& name : format.anchorNames())
                page.anchorTops[name] = document->documentLayout()->blockBoundingRect(block).top();
        }
    return page;
}

// Clicks the link whose text begins at `position`, scrolled into view first.
void ClickLink(QTextBrowser* browser, int position) {
    QTextCursor cursor(browser->document());
    cursor.setPosition(position + 1);
    browser->setTextCursor(cursor);
    browser->ensureCursorVisible();
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, browser->cursorRect().center());
}

// Moves the mouse onto the link, or presses the left button there.
void Mouse(HyperLink& link, bool press = false) {
    const QPointF pos(2, 2);
    const Qt::MouseButton button = press ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent e(press ? QEvent::MouseButtonPress : QEvent::MouseMove, pos, link.mapToGlobal(pos),
                  button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(&link, &e);
}

} // namespace

class HelpMenuTest : public UiTestCase {
    Q_OBJECT
private slots:
    void cleanup() { win::SetShellExecuteHandler(nullptr); }

    void firstStartShowsTheShippedBackgroundStretched() {
        Shown<Form1> w;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(reg().GetStringValue(HKCU, kRootKey, "BackGround"),
                 platform::ExecutableFolder() + "/Icons/Background.png");
        QCOMPARE(reg().GetNumericValue(HKCU, kRootKey, "BackGroundResize"), 1);
        QCOMPARE(reg().GetNumericValue(HKCU, kRootKey, "NoBackGround", -1), -1);
        auto* panel = Control<PictureBox>(&w, "Picture5");
        QVERIFY(panel->isVisible());
        const QImage& image = panel->image();
        const QSize inner = panel->innerSize();
        // Light above, the hills below, over the whole panel.
        QVERIFY(qGray(image.pixel(inner.width() / 2, 10)) > 220);
        QVERIFY(image.pixel(inner.width() / 2, 10) !=
                image.pixel(inner.width() / 2, inner.height() - 5));
        // Only the first start stores it: a user's own choice stays.
        reg().SetStringValue(HKCU, kRootKey, "BackGround", "/eigenes/bild.png");
        Form1 next;
        QCOMPARE(reg().GetStringValue(HKCU, kRootKey, "BackGround"),
                 std::string("/eigenes/bild.png"));
    }

    // One window, with the handbook found beside the program. Each link inside it shows its
    // section at the top of the window (or as far up as the end of the page allows); the mail
    // address goes to the desktop instead. A second "Hilfethemen" brings the same window back,
    // also from the task bar; Esc closes it and the next one is new.
    void handbookOpensOnceFromTheMenuAndItsLinksMoveWithinOrOpenOutside() {
        std::vector<std::string> opened;
        win::SetShellExecuteHandler([&](const win::ShellExecuteRequest& r) {
            opened.push_back(r.file);
            return std::intptr_t{42};
        });
        Form1 window;
        const auto handbooks = [&] { return window.findChildren<QWidget*>("HandbookWindow"); };
        window.show();
        Control<QAction>(&window, "help")->trigger();
        QCOMPARE(handbooks().size(), 1);
        QPointer<QWidget> handbook = handbooks().front();
        auto* browser = Control<QTextBrowser>(handbook, "Handbook");
        QVERIFY(handbook->isVisible());
        QCOMPARE(handbook->windowTitle(), QString("Gleichwart – Hilfe"));
        QCOMPARE(browser->documentTitle(), QString("Gleichwart – Handbuch"));
        const QUrl file =
            QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + "/handbook/handbuch.html");
        QCOMPARE(browser->source(), file);

        const Page page = Read(browser->document());
        const QScrollBar* scroll = browser->verticalScrollBar();
        int inPage = 0;
        for (const auto& [href, position] : page.links) {
            const QUrl before = browser->source();
            ClickLink(browser, position);
            if (!href.startsWith('#')) {
                QCOMPARE(href, QString("mailto:gleichwart@halvorn-soft.de"));
                QCOMPARE(opened, std::vector<std::string>{href.toStdString()});
                QCOMPARE(browser->source(), before);
                continue;
            }
            ++inPage;
            const QString name = href.mid(1);
            QCOMPARE(browser->source().toString(), file.toString() + href);
            QVERIFY2(page.anchorTops.contains(name), qPrintable(href));
            const qreal shownAt = page.anchorTops[name] - scroll->value();
            if (scroll->value() < scroll->maximum())
                QVERIFY2(qAbs(shownAt) <= 2, qPrintable(href));
            else
                QVERIFY2(shownAt >= 0 && shownAt < browser->viewport()->height(), qPrintable(href));
        }
        QVERIFY(inPage >= 15); // the contents, the links between sections, back to the top
        QCOMPARE(opened.size(), std::size_t{1});

        handbook->showMinimized();
        Control<QAction>(&window, "help")->trigger();
        QCOMPARE(handbooks(), QList<QWidget*>{handbook.data()});
        QVERIFY(handbook->isVisible() && !handbook->isMinimized());
        QTest::keyClick(browser, Qt::Key_Escape);
        QTRY_VERIFY(handbook.isNull());
        Control<QAction>(&window, "help")->trigger();
        QCOMPARE(handbooks().size(), 1);
    }

    // Whether every control of the About window is whole and apart from the others, with each
    // font, the text fit test shows.
    void missingHandbookShowsTheNoHelpMessageAndAboutTheVersionAndLicence() {
        Form1 window;
        window.setHandbookFile(Q(home_->home.path()) + "/handbuch.html");
        const SeenBox box = CatchBox([&] { Control<QAction>(&window, "help")->trigger(); });
        QCOMPARE(box.title, QString("Gleichwart"));
        QCOMPARE(box.text, QString("Es existiert momentan noch keine Programmhilfe.\n"
                                   "Bei Fragen bitte dem Autor eine Mail schicken"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QVERIFY(window.findChildren<QWidget*>("HandbookWindow").isEmpty());
        QStringList seen;
        OnNextModal([&](QWidget* about) {
            seen << TextOf(about, "lblVersion") << TextOf(about, "lblLizenz");
        });
        Control<QAction>(&window, "about")->trigger();
        QCOMPARE(seen, (QStringList{"Gleichwart, Version 0.1.0",
                                    "Lizenz: GNU GPL, Version 3 oder später (GPL-3.0-or-later)"}));
    }

    void clickOpensAddressesAsTheirKindAsks() {
        QStringList opened; // each with the way its window is to be shown
        win::SetShellExecuteHandler([&](const win::ShellExecuteRequest& r) {
            opened << Q(r.file) + " " + QString::number(r.show);
            return std::intptr_t{42};
        });
        Shown<HyperLink> hyperlink;
        hyperlink.setLink("www.halvorn-soft.de");
        QSignalSpy in(&hyperlink, &HyperLink::MouseIn);
        Mouse(hyperlink);
        Mouse(hyperlink, true);
        // A click ends the hover, and moves within 100 ms of it are ignored.
        Mouse(hyperlink);
        QCOMPARE(in.count(), 1);
        QVERIFY(!hyperlink.isHovering());
        QTRY_VERIFY_WITH_TIMEOUT(!hyperlink.isLocked(), 1000);
        Mouse(hyperlink);
        QCOMPARE(in.count(), 2);
        hyperlink.setLink("anna@example.org");
        Mouse(hyperlink, true);
        QCOMPARE(opened, (QStringList{
                             "http://www.halvorn-soft.de " + QString::number(win::SW_SHOWMAXIMIZED),
                             "mailto:anna@example.org " + QString::number(win::SW_SHOWNORMAL)}));
    }
};

GLEICHWART_UI_TEST_MAIN(HelpMenuTest)
#include "help_menu_test.moc"
