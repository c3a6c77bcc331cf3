#include "form1_startup_test.h"

#include "core/temp_home.h"
#include "dialogs/form5.h"
#include "kit/hyperlink.h"
#include "kit/twips.h"
#include "kit/window_font.h"
#include "mainwindow/form1.h"
#include "settings/cls_registry.h"
#include "ui_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTabBar>
#include <QTest>

#include <cmath>

struct Form1StartupTest::Home {
    TempHome home;
    clsRegistry reg;
};

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;

int Px(double twips) {
    return TwipsToPixels(twips);
}

QRect ScreenRect() {
    return QGuiApplication::primaryScreen()->geometry();
}

} // namespace

void Form1StartupTest::init() {
    home_ = new Home;
}

void Form1StartupTest::cleanup() {
    delete home_;
    home_ = nullptr;
}

void Form1StartupTest::firstStartShowsEmptyPathsAndTheDesignedSizeCentred() {
    Form1 w;
    QCOMPARE(Control<QLineEdit>(&w, "Text1")->text(), QString());
    QCOMPARE(Control<QLineEdit>(&w, "Text2")->text(), QString());
    QCOMPARE(w.windowTitle(), QString("Gleichwart"));
    QCOMPARE(w.width(), Px(Form1::kDesignedScaleWidth));
    QCOMPARE(w.height() - w.menuBar()->sizeHint().height(), Px(Form1::kDesignedScaleHeight));
    QVERIFY(std::abs(w.x() - (ScreenRect().width() - w.width()) / 2) <= 1);
    QVERIFY(std::abs(w.y() - (ScreenRect().height() - w.height()) / 2) <= 1);
    // The menus and their items.
    QStringList items;
    for (QAction* menu : w.menuBar()->actions()) {
        items << menu->text();
        for (QAction* item : menu->menu()->actions())
            items << (item->isSeparator() ? "-" : item->text());
    }
    QCOMPARE(items, (QStringList{"Datei", "Einstellungen", "Verknüpfung erstellen", "-", "Beenden",
                                 "Hilfe", "Hilfethemen", "-", "Über..."}));
}

void Form1StartupTest::everyDesignedControlIsThereWithItsCaption() {
    Form1 w;
    const std::vector<std::pair<const char*, QString>> captions = {
        {"Label1", "Startpfad:"},
        {"Label2", "Zielpfad:"},
        {"Label3", "Regel:"},
        {"Command1", "    Ordner laden"},
        {"Command3", "          Synchronisieren"},
        {"Command2", "Abbrechen"},
        {"Command5_0", "..."},
        {"Command5_1", "..."},
        {"Command5_2", "..."},
        {"Label4", "Kopiervorgang:"},
        {"lblDateiname", "Dateiname:"},
        {"lblVon", "Von:"},
        {"lblNach", "Nach:"},
        {"lblFortschritt", "Fortschritt:"},
        {"lblGeschaetzteDauer", "Geschätzte Dauer:"},
        {"lblFertigIn", "Fertig in ca.:"},
        {"lblMenge", "Zu kopierende Menge:"},
        {"lblNochDateien", "Noch zu kopieren:"},
        {"lblGroesse", "Zu kopierende Größe:"},
        {"lblNochGroesse", "Noch zu kopieren:"},
        {"lblKopiergeschwindigkeit", "Kopiergeschwindigkeit:"},
    };
    for (const auto& [name, caption] : captions) {
        QWidget* control = Control<QWidget>(&w, name);
        const QVariant text = control->property("text");
        QCOMPARE(text.toString(), caption);
    }
    QCOMPARE(Control<QGroupBox>(&w, "Frame1")->title(), QString("Aktuelle Datei"));
    QCOMPARE(Control<QGroupBox>(&w, "Frame3")->title(), QString("Gesamtfortschritt"));
    // The controls no other case reaches by name (a missing one fails those cases).
    for (const char* name : {"Image1", "Picture4", "PicBuf", "DrawTextContainer", "Line1_0",
                             "Line1_1", "Label9_0", "Label9_1", "Label9_5"})
        QVERIFY2(w.findChild<QWidget*>(name) != nullptr, name);
    QCOMPARE(TwipsOf(Control<QWidget>(&w, "Command1")).height, 855.0);
    QCOMPARE(TwipsOf(Control<QWidget>(&w, "Text2")).top, 840.0);
    QCOMPARE(Control<QTabBar>(&w, "TabStrip1Tabs")->tabText(0),
             QString("     zu kopierende Dateien"));
}

void Form1StartupTest::whatShutdownWritesIsWhatTheNextStartShows() {
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
    clsRegistry& reg = home_->reg;
    QCOMPARE(reg.GetStringValue(HKCU, kRootKey, "LastRegel"), std::string("Spiegeln"));
    QCOMPARE(reg.GetNumericValue(HKCU, kRootKey, "SyncMode"), 2);
    QCOMPARE(reg.GetNumericValue(HKCU, kRootKey, "Width"), 9000);
    QCOMPARE(reg.GetNumericValue(HKCU, kRootKey, "Height"), 7200);
    QCOMPARE(reg.GetNumericValue(HKCU, kRootKey, "Left"), 300);
    QCOMPARE(reg.GetNumericValue(HKCU, kRootKey, "Top"), 450);

    Form1 next;
    QCOMPARE(Control<QLineEdit>(&next, "Text1")->text(), QString("/home/anna/Fotos \"alt\""));
    QCOMPARE(Control<QLineEdit>(&next, "Text2")->text(), QString("/media/Sicherung/Größe"));
    QCOMPARE(next.geometry().size(), QSize(Px(9000), Px(7200)));
    QCOMPARE(next.pos(), QPoint(Px(300), Px(450)));
}

void Form1StartupTest::emptyStartPathComesBackAsOneSpace() {
    {
        Form1 w;
        Control<QLineEdit>(&w, "Text1")->clear();
        w.close();
    }
    Form1 next;
    QCOMPARE(Control<QLineEdit>(&next, "Text1")->text(), QString(" "));
}

void Form1StartupTest::windowClosedMaximisedKeepsItsLastNormalGeometry() {
    clsRegistry& reg = home_->reg;
    reg.SetNumericValue(HKCU, kRootKey, "Left", 600);
    reg.SetNumericValue(HKCU, kRootKey, "Top", 750);
    reg.SetNumericValue(HKCU, kRootKey, "Width", 9600);
    reg.SetNumericValue(HKCU, kRootKey, "Height", 6600);
    {
        Form1 w;
        w.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.isMaximized());
        w.close();
    }
    QCOMPARE(reg.GetNumericValue(HKCU, kRootKey, "Left"), 600);
    QCOMPARE(reg.GetNumericValue(HKCU, kRootKey, "Top"), 750);
    QCOMPARE(reg.GetNumericValue(HKCU, kRootKey, "Width"), 9600);
    QCOMPARE(reg.GetNumericValue(HKCU, kRootKey, "Height"), 6600);
}

void Form1StartupTest::windowOffEveryScreenOpensCentred() {
    // Far beyond 16 bits: a window once left on a monitor that is gone.
    home_->reg.SetNumericValue(HKCU, kRootKey, "Left", 200000);
    home_->reg.SetNumericValue(HKCU, kRootKey, "Top", -90000);
    Form1 w;
    const QRect screen = ScreenRect();
    QVERIFY(screen.contains(w.geometry().center()));
    QVERIFY(std::abs(w.geometry().center().x() - screen.center().x()) <= 1);
}

void Form1StartupTest::storedSizeBeyondTheScreenIsCutToIt() {
    // Some 35000 pixels each way: unchecked, gigabytes of window and seconds to start.
    home_->reg.SetNumericValue(HKCU, kRootKey, "Width", 0x80000);
    home_->reg.SetNumericValue(HKCU, kRootKey, "Height", 0x80000);
    home_->reg.SetNumericValue(HKCU, kRootKey, "Left", 300);
    home_->reg.SetNumericValue(HKCU, kRootKey, "Top", 450);
    Form1 w;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(w.width() <= area.width() && w.height() <= area.height(),
             qPrintable(QString("%1 x %2").arg(w.width()).arg(w.height())));
    QVERIFY(area.contains(w.geometry()));
}

void Form1StartupTest::backgroundSettingsAreReadAsFlagsOnlyWhenOne() {
    clsRegistry& reg = home_->reg;
    reg.SetNumericValue(HKCU, kRootKey, "NoBackGround", 2);
    {
        Form1 w;
        // Only 1 switches the background off: the background panel is in front.
        QVERIFY(!Control<QWidget>(&w, "Picture2")->isVisibleTo(&w));
    }
    reg.SetNumericValue(HKCU, kRootKey, "NoBackGround", 1);
    Form1 w;
    QVERIFY(Control<QWidget>(&w, "Picture2")->isVisibleTo(&w));
}

void Form1StartupTest::helpAndAboutOpenModallyWithTheirTexts() {
    Form1 w;
    w.show();
    QString helpText, helpTitle;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    OnNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        helpText = box->text();
        helpTitle = box->windowTitle();
        icon = box->icon();
    });
    Control<QAction>(&w, "help")->trigger();
    QCOMPARE(helpTitle, QString("Gleichwart"));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(helpText, QString("Es existiert momentan noch keine Programmhilfe.\n"
                               "Bei Fragen bitte dem Autor eine Mail schicken"));

    QString aboutTitle, heading;
    bool wasModal = false;
    QSize aboutSize;
    OnNextModal([&](QWidget* modal) {
        aboutTitle = modal->windowTitle();
        wasModal = modal->isModal();
        aboutSize = modal->size();
        heading = Control<QLabel>(modal, "Label1")->text();
        QCOMPARE(Control<HyperLink>(modal, "HyperLink1")->Link(),
                 QString(HyperLink::kDefaultAddress));
        SaveScreenshot(modal, "about");
    });
    Control<QAction>(&w, "about")->trigger();
    QCOMPARE(aboutTitle, QString(" Über Gleichwart"));
    QVERIFY(wasModal);
    QCOMPARE(aboutSize, QSize(Px(5145), Px(1440)));
    QCOMPARE(heading, QString("Halvorn - Softwareengeneering"));
}

void Form1StartupTest::windowsAreFoundByNameInAnyCase() {
    QVERIFY(!IsFormLoaded("Form1"));
    auto* w = new Form1;
    QVERIFY(IsFormLoaded("FORM1"));
    QVERIFY(IsFormLoaded("form1"));
    QVERIFY(!IsFormLoaded("Form3"));
    QCOMPARE(Control<QLineEdit>(w, "Text1")->font().family(), QString("Tahoma"));
    delete w;
    QVERIFY(!IsFormLoaded("Form1"));
}

GLEICHWART_UI_TEST_MAIN(Form1StartupTest)
