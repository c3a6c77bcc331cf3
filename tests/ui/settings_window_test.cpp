// The settings window: what it shows from the stored values, which fields it switches on and
// off, what "OK" stores and the close box does not, and the picture the next start paints.
#include "core/temp_home.h"
#include "dialogs/form2.h"
#include "kit/picture_box.h"
#include "kit/twips.h"
#include "mainwindow/form1.h"
#include "settings/cls_registry.h"
#include "ui_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

int Number(const char* name) {
    return clsRegistry().GetNumericValue(HKCU, kRootKey, name, -1); // -1: not stored
}

std::string Text(const char* name) {
    return clsRegistry().GetStringValue(HKCU, kRootKey, name);
}

void Store(const char* name, int value) {
    clsRegistry().SetNumericValue(HKCU, kRootKey, name, value);
}

void Store(const char* name, const std::string& value) {
    clsRegistry().SetStringValue(HKCU, kRootKey, name, value);
}

// Enabled state of each named control, in the order given.
QList<bool> Enabled(QWidget* w, const QStringList& names) {
    QList<bool> states;
    for (const QString& name : names)
        states << Control<QWidget>(w, name)->isEnabled();
    return states;
}

// A tiny PCX picture, 2 x 1 in three planes, both pixels `r, g, b`.
void WritePcx(const QString& path, int r, int g, int b) {
    QByteArray header(128, '\0');
    header[0] = 0x0A;
    header[1] = 5;
    header[2] = 1;
    header[3] = 8;
    header[8] = 1;  // right edge 1: two pixels
    header[65] = 3; // planes
    header[66] = 2; // bytes per line
    const char lines[] = {char(0xC2), char(r), char(0xC2), char(g), char(0xC2), char(b)};
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(header + QByteArray(lines, sizeof lines));
}

} // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void firstOpeningShowsTheDefaults();
    void anyStoredValueButOneKeepsTheBackgroundOn();
    void widthIsHeldToItsRangeAndOnlyANumberIsStored_data();
    void widthIsHeldToItsRangeAndOnlyANumberIsStored();
    void untickingTheFrameLeavesOnlyTheButtonsAndOkStillStoresAll();
    void closeBoxStoresNothing();
    void pictureIsChosenInThePicturesFolderAndCancelKeepsThePath();
    void menuOpensItModallyAndTheNextStartPaintsTheNewPicture();
};

void SettingsWindowTest::firstOpeningShowsTheDefaults() {
    TempHome home;
    clsRegistry reg;
    Form2 w(reg, nullptr);
    QCOMPARE(w.windowTitle(), QString("Einstellungen"));
    QCOMPARE(w.size(), QSize(TwipsToPixels(4650), TwipsToPixels(2130)));
    QCOMPARE(Control<QGroupBox>(&w, "Frame2")->title(), QString("     Hintergrundbild"));
    QCOMPARE(Control<QCheckBox>(&w, "Check2")->text(), QString("Soft Frame"));
    QCOMPARE(Control<QCheckBox>(&w, "Check1")->text(), QString("automatisch anpassen"));
    QCOMPARE(Control<QLabel>(&w, "Label2")->text(), QString("Pfad:"));
    QCOMPARE(Control<QLabel>(&w, "Label1")->text(), QString("Breite:"));
    QCOMPARE(Control<QPushButton>(&w, "Command1")->text(), QString("..."));
    // The missing width reads 0 and is raised to 10; a missing "NoBackGround" is 0: ticked.
    QCOMPARE(Control<QLineEdit>(&w, "Text2")->text(), QString("10"));
    QCOMPARE(Control<QLineEdit>(&w, "Text1")->text(), QString());
    QVERIFY(!Control<QCheckBox>(&w, "Check1")->isChecked());
    QVERIFY(!Control<QCheckBox>(&w, "Check2")->isChecked());
    QVERIFY(Control<QCheckBox>(&w, "Check3")->isChecked());
    QCOMPARE(Enabled(&w, {"Text1", "Label2", "Check1", "Check2", "Text2", "Label1"}),
             (QList<bool>{true, true, true, true, false, false}));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    SaveScreenshot(&w, "settings-window");
}

void SettingsWindowTest::anyStoredValueButOneKeepsTheBackgroundOn() {
    TempHome home;
    Store("NoBackGround", 2);
    Store("SoftWidth", 151); // stored out of range by someone else: shown held to 150
    Store("BackGroundSoft", 1);
    clsRegistry reg;
    Form2 w(reg, nullptr);
    QVERIFY(Control<QCheckBox>(&w, "Check3")->isChecked());
    QCOMPARE(Control<QLineEdit>(&w, "Text2")->text(), QString("150"));
    QVERIFY(Control<QLineEdit>(&w, "Text2")->isEnabled());
    Control<QPushButton>(&w, "Command2")->click();
    QCOMPARE(Number("NoBackGround"), 0);
    QVERIFY(w.isHidden());
}

void SettingsWindowTest::widthIsHeldToItsRangeAndOnlyANumberIsStored_data() {
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

void SettingsWindowTest::widthIsHeldToItsRangeAndOnlyANumberIsStored() {
    QFETCH(QString, typed);
    QFETCH(int, stored);
    TempHome home;
    qputenv("LC_ALL", "de_DE.UTF-8"); // the decimal separator of the user: ","
    Store("SoftWidth", 42);
    clsRegistry reg;
    Form2 w(reg, nullptr);
    Control<QLineEdit>(&w, "Text2")->setText(typed);
    Control<QPushButton>(&w, "Command2")->click();
    qunsetenv("LC_ALL");
    QCOMPARE(Number("SoftWidth"), stored);
    // The other values are written all the same.
    QCOMPARE(Number("NoBackGround"), 0);
    QCOMPARE(Number("BackGroundResize"), 0);
}

void SettingsWindowTest::untickingTheFrameLeavesOnlyTheButtonsAndOkStillStoresAll() {
    TempHome home;
    Store("BackGroundSoft", 1);
    Store("BackGroundResize", 1);
    Store("SoftWidth", 30);
    Store("BackGround", "/bilder/alt.png");
    clsRegistry reg;
    Form2 w(reg, nullptr);
    const QStringList fields = {"Text1", "Text2", "Label1", "Label2", "Check1", "Check2"};
    QCOMPARE(Enabled(&w, fields), QList<bool>(6, true));
    QTest::mouseClick(Control<QCheckBox>(&w, "Check3"), Qt::LeftButton);
    QCOMPARE(Enabled(&w, fields), QList<bool>(6, false));
    QCOMPARE(Enabled(&w, {"Command1", "Command2", "Check3", "Frame2"}), QList<bool>(4, true));
    Control<QLineEdit>(&w, "Text1")->setText("/bilder/neu.jpg");
    Control<QLineEdit>(&w, "Text2")->setText("25");
    Control<QPushButton>(&w, "Command2")->click();
    QCOMPARE(Number("NoBackGround"), 1);
    QCOMPARE(Text("BackGround"), std::string("/bilder/neu.jpg"));
    QCOMPARE(Number("BackGroundResize"), 1);
    QCOMPARE(Number("BackGroundSoft"), 1);
    QCOMPARE(Number("SoftWidth"), 25);
    // Ticking it again brings back the fields, the width only with "Soft Frame".
    Form2 again(reg, nullptr);
    QVERIFY(!Control<QCheckBox>(&again, "Check3")->isChecked());
    Control<QCheckBox>(&again, "Check2")->setChecked(false);
    Control<QCheckBox>(&again, "Check3")->setChecked(true);
    QCOMPARE(Enabled(&again, fields), (QList<bool>{true, false, false, true, true, true}));
}

void SettingsWindowTest::closeBoxStoresNothing() {
    TempHome home;
    Store("SoftWidth", 33);
    Store("BackGround", "/bilder/alt.png");
    const std::string before = ReadFile(home.hivePath());
    clsRegistry reg;
    Form2 w(reg, nullptr);
    w.show();
    Control<QLineEdit>(&w, "Text1")->setText("/bilder/neu.png");
    Control<QLineEdit>(&w, "Text2")->setText("99");
    Control<QCheckBox>(&w, "Check1")->setChecked(true);
    Control<QCheckBox>(&w, "Check3")->setChecked(false);
    w.close();
    QCOMPARE(w.result(), int(QDialog::Rejected));
    QCOMPARE(ReadFile(home.hivePath()), before);
}

void SettingsWindowTest::pictureIsChosenInThePicturesFolderAndCancelKeepsThePath() {
    TempHome home;
    const QString pictures = QString::fromStdString(home.path()) + "/Pictures";
    QDir().mkpath(pictures);
    const QString chosen = pictures + "/Urlaub.pcx";
    WritePcx(chosen, 1, 2, 3);
    clsRegistry reg;
    Form2 w(reg, nullptr);
    w.show();
    auto* path = Control<QLineEdit>(&w, "Text1");
    path->setText("/bilder/alt.png");

    QString title, folder;
    QStringList filters;
    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog != nullptr);
        title = dialog->windowTitle();
        folder = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        dialog->reject();
    });
    Control<QPushButton>(&w, "Command1")->click();
    QCOMPARE(title, QString("Bilddatei öffnen..."));
    QCOMPARE(folder, pictures);
    QCOMPARE(filters,
             QStringList{"Alle Bilddateien (*.jpg *.jpeg *.png *.bmp *.gif *.pcx *.webp)"});
    QCOMPARE(path->text(), QString("/bilder/alt.png"));

    // A double click in the path box opens the same dialog; choosing fills in the full path.
    bool opened = false;
    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog != nullptr);
        opened = true;
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("Urlaub.pcx");
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    QTest::mouseDClick(path, Qt::LeftButton);
    QVERIFY(opened);
    QCOMPARE(path->text(), chosen);
}

void SettingsWindowTest::menuOpensItModallyAndTheNextStartPaintsTheNewPicture() {
    TempHome home;
    const QString picture = QString::fromStdString(home.path()) + "/rot.pcx";
    WritePcx(picture, 220, 10, 10);
    {
        Form1 w;
        w.show();
        QVERIFY(Control<QAction>(&w, "settings")->isEnabled());
        bool modal = false;
        OnNextModal([&](QWidget* dialog) {
            modal = dialog->objectName() == "Form2" && dialog->isModal();
            Control<QLineEdit>(dialog, "Text1")->setText(picture);
            Control<QCheckBox>(dialog, "Check1")->setChecked(true);
            Control<QCheckBox>(dialog, "Check2")->setChecked(false);
            Control<QPushButton>(dialog, "Command2")->click();
        });
        Control<QAction>(&w, "settings")->trigger();
        QVERIFY(modal);
        QCOMPARE(Text("BackGround"), picture.toStdString());
        // This window keeps what it started with.
        auto* panel = Control<PictureBox>(&w, "Picture5");
        QVERIFY(panel->image().pixelColor(panel->innerSize().width() / 2, 40) !=
                QColor(220, 10, 10));
    }
    Form1 next;
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    auto* panel = Control<PictureBox>(&next, "Picture5");
    const QSize inner = panel->innerSize();
    // Stretched over the whole panel.
    QCOMPARE(panel->image().pixelColor(inner.width() - 3, inner.height() - 3), QColor(220, 10, 10));
    QCOMPARE(panel->image().pixelColor(2, 2), QColor(220, 10, 10));
}

GLEICHWART_UI_TEST_MAIN(SettingsWindowTest)
#include "settings_window_test.moc"
