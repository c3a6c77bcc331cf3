// The main window's start and shutdown: what it shows first, what it keeps for next time,
// and that a stored place never puts it off the screen.
#include "ui_test_support.h"

#include "kit/twips.h"

#include <QGuiApplication>
#include <QScreen>

class Form1StartupTest : public UiTestCase {
    Q_OBJECT
private slots:

    void whatShutdownWritesIsWhatTheNextStartShows() {
        {
            Form1 w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            Control<QLineEdit>(&w, "Text1")->setText("/home/anna/Fotos \"alt\"");
            Control<QLineEdit>(&w, "Text2")->setText("/media/Sicherung/Größe");
            auto* combo = Control<QComboBox>(&w, "Combo1");
            combo->setCurrentIndex(combo->findText("Spiegeln"));
            w.resize(TwipsToPixelsX(9000), TwipsToPixelsY(7200));
            w.move(TwipsToPixelsX(300), TwipsToPixelsY(450));
            w.close();
        }
        QCOMPARE(reg().GetNumericValue(HKCU, kRootKey, "SyncMode"), 2);
        Form1 next;
        QCOMPARE(TextOf(&next, "Text1"), QString("/home/anna/Fotos \"alt\""));
        QCOMPARE(TextOf(&next, "Text2"), QString("/media/Sicherung/Größe"));
        QCOMPARE(Control<QComboBox>(&next, "Combo1")->currentText(), QString("Spiegeln"));
        QCOMPARE(next.geometry().size(), QSize(TwipsToPixelsX(9000), TwipsToPixelsY(7200)));
        QCOMPARE(next.pos(), QPoint(TwipsToPixelsX(300), TwipsToPixelsY(450)));
    }

    void storedGeometryIsBroughtOntoTheScreen() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // Far beyond 16 bits: a window once left on a monitor that is gone.
        reg().SetNumericValue(HKCU, kRootKey, "Left", 200000);
        reg().SetNumericValue(HKCU, kRootKey, "Top", -90000);
        QVERIFY(area.contains(Form1().geometry()));
        // Some 35000 pixels each way: unchecked, gigabytes of window and seconds to start.
        for (const auto& [name, value] :
             {std::pair{"Left", 300}, {"Top", 450}, {"Width", 0x80000}, {"Height", 0x80000}})
            reg().SetNumericValue(HKCU, kRootKey, name, value);
        QVERIFY(area.contains(Form1().geometry()));
    }
};

GLEICHWART_UI_TEST_MAIN(Form1StartupTest)
#include "form1_startup_test.moc"
