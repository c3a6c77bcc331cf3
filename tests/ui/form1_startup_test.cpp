// The main window's start and shutdown: what it shows first, what it keeps for next time,
// and that a stored place never puts it off the screen.
#include "ui_test_support.h"

#include "kit/twips.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

namespace {
int Px(double twips) {
    return TwipsToPixels(twips);
}
} // namespace

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
            w.resize(Px(9000), Px(7200));
            w.move(Px(300), Px(450));
            w.close();
        }
        QCOMPARE(reg().GetNumericValue(HKCU, kRootKey, "SyncMode"), 2);
        Form1 next;
        QCOMPARE(TextOf(&next, "Text1"), QString("/home/anna/Fotos \"alt\""));
        QCOMPARE(TextOf(&next, "Text2"), QString("/media/Sicherung/Größe"));
        QCOMPARE(Control<QComboBox>(&next, "Combo1")->currentText(), QString("Spiegeln"));
        QCOMPARE(next.geometry().size(), QSize(Px(9000), Px(7200)));
        QCOMPARE(next.pos(), QPoint(Px(300), Px(450)));
    }

    void storedGeometryIsBroughtOntoTheScreen_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("size");
        // Far beyond 16 bits: a window once left on a monitor that is gone.
        QTest::newRow("off every screen") << 200000 << -90000 << 0;
        // Some 35000 pixels each way: unchecked, gigabytes of window and seconds to start.
        QTest::newRow("larger than the screen") << 300 << 450 << 0x80000;
    }
    void storedGeometryIsBroughtOntoTheScreen() {
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(int, size);
        reg().SetNumericValue(HKCU, kRootKey, "Left", left);
        reg().SetNumericValue(HKCU, kRootKey, "Top", top);
        if (size != 0) {
            reg().SetNumericValue(HKCU, kRootKey, "Width", size);
            reg().SetNumericValue(HKCU, kRootKey, "Height", size);
        }
        Form1 w;
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(area.contains(w.geometry()));
    }
};

GLEICHWART_UI_TEST_MAIN(Form1StartupTest)
#include "form1_startup_test.moc"
