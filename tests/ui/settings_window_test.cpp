// The settings window: what it shows from the stored values, which fields it switches on and
// off, what "OK" stores and the close box does not, and the picture the next start paints.
#include "ui_test_support.h"

#include "dialogs/form2.h"
#include "kit/picture_box.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

namespace {

// The fields the frame's box switches; "Text2" and "Label1" go with "Soft Frame" besides.
const QStringList kFields = {"Text1", "Label2", "Check1", "Check2", "Text2", "Label1"};

void SetText(QWidget* w, const char* box, const QString& text) {
    Control<QLineEdit>(w, box)->setText(text);
}

void SetTicked(QWidget* w, const char* box, bool ticked) {
    Control<QAbstractButton>(w, box)->setChecked(ticked);
}

} // namespace

class SettingsWindowTest : public UiTestCase {
    Q_OBJECT
    int number(const char* name) { return reg().GetNumericValue(HKCU, kRootKey, name, -1); }
    void store(const char* name, int value) { reg().SetNumericValue(HKCU, kRootKey, name, value); }

private slots:
    void firstOpeningShowsTheDefaults() {
        Form2 w(reg(), nullptr);
        w.show();
        SaveScreenshot(&w, "settings-window");
        // The missing width reads 0 and is raised to 10; a missing "NoBackGround" is 0: ticked.
        QCOMPARE(TextOf(&w, "Text2"), QString("10"));
        QCOMPARE(TextOf(&w, "Text1"), QString());
        QVERIFY(Checked(&w, "Check3") && !Checked(&w, "Check1") && !Checked(&w, "Check2"));
        QCOMPARE(EnabledOf(&w, kFields), kFields.mid(0, 4));
    }

    void anyStoredValueButOneKeepsTheBackgroundOn() {
        store("NoBackGround", 2);
        store("SoftWidth", 151); // stored out of range by someone else: shown held to 150
        store("BackGroundSoft", 1);
        Form2 w(reg(), nullptr);
        QVERIFY(Checked(&w, "Check3"));
        QCOMPARE(TextOf(&w, "Text2"), QString("150"));
        QVERIFY(Enabled(&w, "Text2"));
        Click(&w, "Command2");
        QCOMPARE(number("NoBackGround"), 0);
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }

    void widthIsHeldToItsRangeAndOnlyANumberIsStored_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored"); // 42, the value before, when nothing is written
        QTest::newRow("below") << "9" << 10;
        QTest::newRow("above") << "151" << 150;
        QTest::newRow("upper end") << "150" << 150;
        QTest::newRow("lower end") << "10" << 10;
        QTest::newRow("letters") << "abc" << 42;
        QTest::newRow("exponent") << "1e3" << 150;
        QTest::newRow("blanks around") << " 12 " << 12;
        QTest::newRow("huge") << "99999999999999999999" << 150;
        QTest::newRow("negative") << "-7" << 10;
        QTest::newRow("half to even") << "12,5" << 12;
        QTest::newRow("empty") << "" << 42;
    }

    void widthIsHeldToItsRangeAndOnlyANumberIsStored() {
        QFETCH(QString, typed);
        QFETCH(int, stored);
        qputenv("LC_ALL", "de_DE.UTF-8"); // the decimal separator of the user: ","
        store("SoftWidth", 42);
        Form2 w(reg(), nullptr);
        SetText(&w, "Text2", typed);
        Click(&w, "Command2");
        qunsetenv("LC_ALL");
        QCOMPARE(number("SoftWidth"), stored);
        // The other values are written all the same.
        QCOMPARE(number("NoBackGround"), 0);
        QCOMPARE(number("BackGroundResize"), 0);
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
        Click(&w, "Command2");
        QCOMPARE(number("NoBackGround"), 1);
        QCOMPARE(reg().GetStringValue(HKCU, kRootKey, "BackGround"),
                 std::string("/bilder/neu.jpg"));
        QCOMPARE(number("BackGroundResize"), 1);
        QCOMPARE(number("BackGroundSoft"), 1);
        QCOMPARE(number("SoftWidth"), 25);
        Form2 again(reg(), nullptr);
        QVERIFY(!Checked(&again, "Check3"));
        QCOMPARE(EnabledOf(&again, kFields), QStringList());
    }

    void closeBoxStoresNothing() {
        store("SoftWidth", 33);
        const std::string before = ReadFile(home_->home.hivePath());
        Form2 w(reg(), nullptr);
        w.show();
        SetText(&w, "Text1", "/bilder/neu.png");
        SetText(&w, "Text2", "99");
        SetTicked(&w, "Check1", true);
        SetTicked(&w, "Check3", false);
        w.close();
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(ReadFile(home_->home.hivePath()), before);
    }

    void pictureIsChosenInThePicturesFolderAndCancelKeepsThePath() {
        const QString pictures = Q(home_->home.path()) + "/Pictures";
        QDir().mkpath(pictures);
        QFile(pictures + "/Urlaub.pcx").open(QIODevice::WriteOnly);
        Form2 w(reg(), nullptr);
        w.show();
        SetText(&w, "Text1", "/bilder/alt.png");
        // What each dialog showed: its title, folder and filters; an empty name cancels it.
        QStringList seen;
        const auto answer = [&](const QString& name) {
            seen.clear();
            OnNextModal([&seen, name](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                QVERIFY(dialog != nullptr);
                seen << dialog->windowTitle() << dialog->directory().absolutePath()
                     << dialog->nameFilters();
                if (name.isEmpty())
                    return dialog->reject();
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
                QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
            });
        };
        const QStringList expected = {
            "Bilddatei öffnen...", pictures,
            "Alle Bilddateien (*.jpg *.jpeg *.png *.bmp *.gif *.pcx *.webp)"};
        answer({});
        Click(&w, "Command1");
        QCOMPARE(seen, expected);
        QCOMPARE(TextOf(&w, "Text1"), QString("/bilder/alt.png"));
        // A double click in the path box opens the same dialog; choosing fills in the full path.
        answer("Urlaub.pcx");
        QTest::mouseDClick(Control<QWidget>(&w, "Text1"), Qt::LeftButton);
        QCOMPARE(seen, expected);
        QCOMPARE(TextOf(&w, "Text1"), pictures + "/Urlaub.pcx");
    }

    void menuOpensItModallyAndTheNextStartPaintsTheNewPicture_data() {
        QTest::addColumn<bool>("soft");
        QTest::newRow("stretched over the whole panel") << false;
        QTest::newRow("stretched with a soft frame") << true;
    }

    void menuOpensItModallyAndTheNextStartPaintsTheNewPicture() {
        QFETCH(bool, soft);
        const QString picture = Q(home_->home.path()) + "/rot.png";
        const QColor red(220, 10, 10);
        QImage small(2, 1, QImage::Format_RGB32);
        small.fill(red);
        QVERIFY(small.save(picture));
        {
            Form1 w;
            w.show();
            bool modal = false;
            OnNextModal([&](QWidget* dialog) {
                modal = dialog->objectName() == "Form2" && dialog->isModal();
                SetText(dialog, "Text1", picture);
                SetTicked(dialog, "Check1", true);
                SetTicked(dialog, "Check2", soft);
                SetText(dialog, "Text2", "40");
                Click(dialog, "Command2");
            });
            Control<QAction>(&w, "settings")->trigger();
            QVERIFY(modal);
        }
        Form1 next;
        next.show();
        QVERIFY(QTest::qWaitForWindowExposed(&next));
        auto* panel = Control<PictureBox>(&next, "Picture5");
        const QSize inner = panel->innerSize();
        const QImage& image = panel->image();
        QCOMPARE(image.pixelColor(inner.width() / 2, inner.height() / 2), red);
        const QColor edge = soft ? next.palette().color(QPalette::Window) : red;
        QCOMPARE(image.pixelColor(0, inner.height() / 2), edge);
        QCOMPARE(image.pixelColor(inner.width() / 2, 0), edge);
    }
};

GLEICHWART_UI_TEST_MAIN(SettingsWindowTest)
#include "settings_window_test.moc"
