// The menu "Hilfe": the handbook window of "Hilfethemen", and "Über...", and the link control the
// About window shows: what a click opens, and that moves just after a click are ignored. This
// program lies in a folder with the program's files beside it, as the installed program does.
#include "ui_test_support.h"

#include "kit/hyperlink.h"
#include "platform/shell_execute.h"

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

    // One window, with the handbook found beside the program; a second "Hilfethemen" brings
    // the same window back, also from the task bar; Esc closes it and the next one is new.
    void handbookOpensOnceFromTheMenu() {
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
        QCOMPARE(browser->source(), QUrl::fromLocalFile(QCoreApplication::applicationDirPath() +
                                                        "/handbook/handbuch.html"));
        SaveScreenshot(handbook, "handbook-window");

        handbook->showMinimized();
        Control<QAction>(&window, "help")->trigger();
        QCOMPARE(handbooks(), QList<QWidget*>{handbook.data()});
        QVERIFY(handbook->isVisible() && !handbook->isMinimized());

        QTest::keyClick(browser, Qt::Key_Escape);
        QTRY_VERIFY(handbook.isNull());
        Control<QAction>(&window, "help")->trigger();
        QCOMPARE(handbooks().size(), 1);
    }

    // Each link inside the handbook shows its section at the top of the window (or as far up
    // as the end of the page allows); the mail address goes to the desktop instead.
    void linksMoveWithinTheHandbookOrOpenOutside() {
        std::vector<std::string> opened;
        win::SetShellExecuteHandler([&](const win::ShellExecuteRequest& r) {
            opened.push_back(r.file);
            return std::intptr_t{42};
        });
        Form1 window;
        window.show();
        Control<QAction>(&window, "help")->trigger();
        auto* browser = Control<QTextBrowser>(
            window.findChildren<QWidget*>("HandbookWindow").front(), "Handbook");
        const QUrl handbook = browser->source();
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
            QCOMPARE(browser->source().toString(), handbook.toString() + href);
            QVERIFY2(page.anchorTops.contains(name), qPrintable(href));
            const qreal shownAt = page.anchorTops[name] - scroll->value();
            if (scroll->value() < scroll->maximum())
                QVERIFY2(qAbs(shownAt) <= 2, qPrintable(href));
            else
                QVERIFY2(shownAt >= 0 && shownAt < browser->viewport()->height(), qPrintable(href));
        }
        QVERIFY(inPage >= 15); // the contents, the links between sections, back to the top
        QCOMPARE(opened.size(), std::size_t{1});
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
            SaveScreenshot(about, "about-window");
        });
        Control<QAction>(&window, "about")->trigger();
        QCOMPARE(seen, (QStringList{"Gleichwart, Version 0.1.0",
                                    "Lizenz: GNU GPL, Version 3 oder später (GPL-3.0-or-later)"}));
    }

    void clickOpensAddressesAsTheirKindAsks() {
        std::vector<win::ShellExecuteRequest> opened;
        win::SetShellExecuteHandler([&](const win::ShellExecuteRequest& r) {
            opened.push_back(r);
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
        QCOMPARE(opened.size(), std::size_t{2});
        QCOMPARE(Q(opened[0].file), QString("http://www.halvorn-soft.de"));
        QCOMPARE(opened[0].show, int(win::SW_SHOWMAXIMIZED));
        QCOMPARE(Q(opened[1].file), QString("mailto:anna@example.org"));
        QCOMPARE(opened[1].show, int(win::SW_SHOWNORMAL));
    }
};

GLEICHWART_UI_TEST_MAIN(HelpMenuTest)
#include "help_menu_test.moc"
