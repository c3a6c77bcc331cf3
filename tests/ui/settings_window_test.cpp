// The settings window: which fields it switches on and off, what "OK" stores (the trash
// setting too, as the run reads it) and the close box does not.
#include "ui_test_support.h"

#include "dialogs/settings_window.h"
#include "settings/app_settings.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QImageReader>

namespace {

// The fields the frame's box switches; "Text2" and "Label1" go with "Soft Frame" besides.
const QStringList kFields = {"Text1", "Label2", "Check1", "Check2", "Text2", "Label1"};

void SetText(QWidget* w, const char* box, const QString& text) {
    Control<QLineEdit>(w, box)->setText(text);
}

} // namespace

class SettingsWindowTest : public UiTestCase {
    Q_OBJECT
    int number(const char* name) { return reg().GetNumericValue(HKCU, kRootKey, name, -1); }
    void store(const char* name, int value) { reg().SetNumericValue(HKCU, kRootKey, name, value); }

private slots:
    void thePictureDialogOffersWhatCanBeRead() {
        Form2 w(reg(), nullptr);
        QStringList filters;
        OnNextModal([&](QWidget* d) { filters = qobject_cast<QFileDialog*>(d)->nameFilters(); });
        Click(&w, "Command1");
        QCOMPARE(filters.size(), 1);
        QVERIFY2(filters[0].startsWith("Alle Bilddateien ("), qPrintable(filters[0]));
        // Each kind the installed Qt reads, and PCX, which the program reads itself.
        QStringList offered = filters[0].section('(', 1).chopped(1).split(' '), readable;
        for (const QByteArray& kind :
             QImageReader::supportedImageFormats() + QList<QByteArray>{"pcx"})
            readable << "*." + QString::fromLatin1(kind);
        readable.removeDuplicates();
        offered.sort();
        readable.sort();
        QCOMPARE(offered, readable);
    }

    void widthIsHeldToItsRangeAndOnlyANumberIsStored() {
        qputenv("LC_ALL", "de_DE.UTF-8"); // the decimal separator of the user: ","
        // What is typed, and what is stored: 42, the value before, when nothing is written.
        for (const auto& [typed, stored] :
             {std::pair{"9", 10}, {"151", 150}, {"abc", 42}, {"1e12", 150}, {"12,5", 12}}) {
            store("SoftWidth", 42);
            Form2 w(reg(), nullptr);
            SetText(&w, "Text2", typed);
            Click(&w, "Command2");
            QCOMPARE(number("SoftWidth"), stored);
        }
        qunsetenv("LC_ALL");
    }

    void untickingTheFrameLeavesOnlyTheButtonsAndOkStillStoresAll() {
        store("BackGroundSoft", 1);
        store("BackGroundResize", 1);
        store("SoftWidth", 30);
        Form2 w(reg(), nullptr);
        QCOMPARE(EnabledOf(&w, kFields), kFields);
        const QStringList others = {"Command1", "Command2", "Check3", "Frame2"};
        QTest::mouseClick(Control<QWidget>(&w, "Check3"), Qt::LeftButton);
        QCOMPARE(EnabledOf(&w, kFields + others), others);
        // Ticked again, every field comes back, the width too as "Soft Frame" is ticked.
        Click(&w, "Check3");
        QCOMPARE(EnabledOf(&w, kFields), kFields);
        Click(&w, "Check3");
        SetText(&w, "Text1", "/bilder/neu.jpg");
        SetText(&w, "Text2", "25");
        QVERIFY(Checked(&w, "KeepReplaced")); // never stored: on
        Click(&w, "KeepReplaced");
        {
            // The close box stores nothing of it.
            const std::string before = ReadFile(home_->home.hivePath());
            Form2 closed(reg(), nullptr);
            closed.show();
            SetText(&closed, "Text2", "99");
            Click(&closed, "Check3");
            closed.close();
            QCOMPARE(ReadFile(home_->home.hivePath()), before);
        }
        Click(&w, "Command2");
        QCOMPARE(number("NoBackGround"), 1);
        QCOMPARE(reg().GetStringValue(HKCU, kRootKey, "BackGround"),
                 std::string("/bilder/neu.jpg"));
        QCOMPARE(number("BackGroundSoft"), 1);
        QCOMPARE(number("SoftWidth"), 25);
        QCOMPARE(number("KeepReplaced"), 0);
        QVERIFY(!AppSettings::LoadKeepReplaced());
        Form2 again(reg(), nullptr);
        QVERIFY(!Checked(&again, "Check3") && !Checked(&again, "KeepReplaced"));
        QCOMPARE(EnabledOf(&again, kFields), QStringList());
    }
};

GLEICHWART_UI_TEST_MAIN(SettingsWindowTest)
#include "settings_window_test.moc"
