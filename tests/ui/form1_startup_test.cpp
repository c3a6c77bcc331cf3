// The main window's start and shutdown: what it shows first, what it keeps for next time,
// where it opens, and its menus.
#include "ui_test_support.h"

#include "kit/twips.h"
#include "kit/window_font.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
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
    void firstStartShowsTheDesignedWindowCentred() {
        Form1 w;
        QCOMPARE(TextOf(&w, "Text1"), QString());
        QCOMPARE(TextOf(&w, "Text2"), QString());
        QCOMPARE(w.windowTitle(), QString("Gleichwart"));
        QCOMPARE(Control<QLineEdit>(&w, "Text1")->font().family(), QString("Tahoma"));
        QCOMPARE(w.size(),
                 QSize(Px(Form1::kDesignedScaleWidth),
                       Px(Form1::kDesignedScaleHeight) + w.menuBar()->sizeHint().height()));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(w.x() - (screen.width() - w.width()) / 2) <= 1);
        QVERIFY(qAbs(w.y() - (screen.height() - w.height()) / 2) <= 1);
        // The progress panel makes its captions and values from a table: each in its place.
        const std::vector<std::pair<const char*, QString>> captions = {
            {"Command1", "    Ordner laden"},      {"Command3", "          Synchronisieren"},
            {"lblDateiname", "Dateiname:"},        {"lblFertigIn", "Fertig in ca.:"},
            {"lblMenge", "Zu kopierende Menge:"},  {"lblNochDateien", "Noch zu kopieren:"},
            {"lblGroesse", "Zu kopierende Größe:"}};
        for (const auto& [name, caption] : captions)
            QVERIFY2(TextOf(&w, name) == caption, name);
    }

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
        QCOMPARE(reg().GetStringValue(HKCU, kRootKey, "LastRegel"), std::string("Spiegeln"));
        QCOMPARE(reg().GetNumericValue(HKCU, kRootKey, "SyncMode"), 2);
        Form1 next;
        QCOMPARE(TextOf(&next, "Text1"), QString("/home/anna/Fotos \"alt\""));
        QCOMPARE(TextOf(&next, "Text2"), QString("/media/Sicherung/Größe"));
        QCOMPARE(Control<QComboBox>(&next, "Combo1")->currentText(), QString("Spiegeln"));
        QCOMPARE(next.geometry().size(), QSize(Px(9000), Px(7200)));
        QCOMPARE(next.pos(), QPoint(Px(300), Px(450)));
    }

    void windowClosedMaximisedKeepsItsLastNormalGeometry() {
        const std::vector<std::pair<const char*, int>> stored = {
            {"Left", 600}, {"Top", 750}, {"Width", 9600}, {"Height", 6600}};
        for (const auto& [name, value] : stored)
            reg().SetNumericValue(HKCU, kRootKey, name, value);
        {
            Form1 w;
            w.showMaximized();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTRY_VERIFY(w.isMaximized());
            w.close();
        }
        for (const auto& [name, value] : stored)
            QCOMPARE(reg().GetNumericValue(HKCU, kRootKey, name), value);
    }

    void storedGeometryIsBroughtOntoTheScreen_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("centred");
        // Far beyond 16 bits: a window once left on a monitor that is gone.
        QTest::newRow("off every screen") << 200000 << -90000 << 0 << true;
        // Some 35000 pixels each way: unchecked, gigabytes of window and seconds to start.
        QTest::newRow("larger than the screen") << 300 << 450 << 0x80000 << false;
    }
    void storedGeometryIsBroughtOntoTheScreen() {
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(int, size);
        QFETCH(bool, centred);
        reg().SetNumericValue(HKCU, kRootKey, "Left", left);
        reg().SetNumericValue(HKCU, kRootKey, "Top", top);
        if (size != 0) {
            reg().SetNumericValue(HKCU, kRootKey, "Width", size);
            reg().SetNumericValue(HKCU, kRootKey, "Height", size);
        }
        Form1 w;
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(area.contains(w.geometry()));
        if (centred)
            QVERIFY(qAbs(w.geometry().center().x() - area.center().x()) <= 1);
    }

    void noBackgroundShowsTheFileListsInstead() {
        reg().SetNumericValue(HKCU, kRootKey, "NoBackGround", 1);
        Form1 w;
        QVERIFY(Control<QWidget>(&w, "Picture2")->isVisibleTo(&w));
    }

    void helpAndAboutOpenModallyWithTheirTexts() {
        Form1 w;
        w.show();
        const SeenBox help = CatchBox([&] { Control<QAction>(&w, "help")->trigger(); });
        QCOMPARE(help.title, QString("Gleichwart"));
        QCOMPARE(help.icon, QMessageBox::Warning);
        QCOMPARE(help.text, QString("Es existiert momentan noch keine Programmhilfe.\n"
                                    "Bei Fragen bitte dem Autor eine Mail schicken"));
        QString aboutTitle;
        OnNextModal([&](QWidget* about) { aboutTitle = about->windowTitle(); });
        Control<QAction>(&w, "about")->trigger();
        QCOMPARE(aboutTitle, QString(" Über Gleichwart"));
    }

    void windowsAreFoundByNameInAnyCase() {
        QVERIFY(!IsFormLoaded("Form1"));
        auto w = std::make_unique<Form1>();
        QVERIFY(IsFormLoaded("FORM1"));
        QVERIFY(IsFormLoaded("form1"));
        QVERIFY(!IsFormLoaded("Form3"));
        w.reset();
        QVERIFY(!IsFormLoaded("Form1"));
    }
};

GLEICHWART_UI_TEST_MAIN(Form1StartupTest)
#include "form1_startup_test.moc"
