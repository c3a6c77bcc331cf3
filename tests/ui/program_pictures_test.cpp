// The program with its own pictures, as installed: this test program runs with a copy of
// Icons/ beside it, as the program does. It checks the first start's background and the
// shipped icons on screen, at the density of the screen it runs on (run it again with
// QT_SCALE_FACTOR=2), and saves screenshots below $GLEICHWART_SCREENSHOTS when that is set.
#include "core/temp_home.h"
#include "core/tree_builder.h"
#include "kit/button_pictures.h"
#include "kit/picture_box.h"
#include "mainwindow/form1.h"
#include "platform/system_info.h"
#include "settings/cls_registry.h"
#include "ui_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QString Shot(QWidget* w, const QString& name) {
    return w->devicePixelRatioF() > 1 ? name + "-2x" : name;
}

// Every fully opaque pixel of the icon file for this density, where the button drew it.
int PixelsOffTheFile(QWidget* button, const QString& name, QPoint origin) {
    const qreal ratio = button->devicePixelRatioF();
    const QString file = ProgramIconsFolder() + "/" + name + (ratio > 1 ? "@2x.png" : ".png");
    const QImage icon(file);
    const QImage shot = button->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (icon.isNull() || qRound(ratio) * 48 != icon.width())
        return -1;
    int off = 0;
    const QPoint at = origin * qRound(ratio);
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if (icon.pixelColor(x, y).alpha() == 255 &&
                shot.pixelColor(at + QPoint(x, y)) != icon.pixelColor(x, y))
                ++off;
    return off;
}

} // namespace

class ProgramPicturesTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartShowsTheShippedBackgroundStretched();
    void shippedIconsAreDrawnSharpAtTheScreensDensity();
    void loadedListsCarryTheirTabPictures();
    void chosenPictureStretchedWithASoftFrame();
};

void ProgramPicturesTest::firstStartShowsTheShippedBackgroundStretched() {
    TempHome home;
    Form1 w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    clsRegistry reg;
    QCOMPARE(reg.GetStringValue(HKCU, kRootKey, "BackGround"),
             platform::ExecutableFolder() + "/Icons/Background.png");
    QCOMPARE(reg.GetNumericValue(HKCU, kRootKey, "BackGroundResize"), 1);
    QCOMPARE(reg.GetNumericValue(HKCU, kRootKey, "NoBackGround", -1), -1);
    auto* panel = Control<PictureBox>(&w, "Picture5");
    QVERIFY(panel->isVisible());
    const QImage& image = panel->image();
    const QSize inner = panel->innerSize();
    // Light above, the hills below, over the whole panel.
    QVERIFY(qGray(image.pixel(inner.width() / 2, 10)) > 220);
    QVERIFY(image.pixel(inner.width() / 2, 10) !=
            image.pixel(inner.width() / 2, inner.height() - 5));
    SaveScreenshot(&w, Shot(&w, "settings-first-start"));
    // Only the first start stores it: a user's own choice stays.
    reg.SetStringValue(HKCU, kRootKey, "BackGround", "/eigenes/bild.png");
    Form1 next;
    QCOMPARE(reg.GetStringValue(HKCU, kRootKey, "BackGround"), std::string("/eigenes/bild.png"));
}

void ProgramPicturesTest::shippedIconsAreDrawnSharpAtTheScreensDensity() {
    TempHome home;
    Form1 w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (const char* name : {"Load", "LoadDisabled", "Abort", "Sync", "SyncDisabled", "File",
                             "FileDisabled", "Delete", "DeleteDisabled"})
        QVERIFY2(!ProgramIcon(ProgramIconsFolder(), name).isNull(), name);
    auto* load = Control<QPushButton>(&w, "Command1");
    auto* sync = Control<QPushButton>(&w, "Command3");
    QCOMPARE(PixelsOffTheFile(load, "Load", {7, 4}), 0);
    QCOMPARE(PixelsOffTheFile(sync, "SyncDisabled", {7, 4}), 0);
    load->setEnabled(false);
    QCOMPARE(PixelsOffTheFile(load, "LoadDisabled", {7, 4}), 0);
    load->setEnabled(true);
}

void ProgramPicturesTest::loadedListsCarryTheirTabPictures() {
    TempHome home;
    TreeBuilder trees;
    for (const char* name :
         {"Urlaub/IMG_0001.jpg", "Urlaub/IMG_0002.jpg", "Briefe/Antrag.odt", "Notizen.txt"})
        trees.file(std::string("start/") + name, 150000, UnixTime(12, 0, 0));
    trees.file("ziel/Notizen.txt", 10, UnixTime(9, 0, 0));
    trees.file("ziel/alt/Entwurf.odt", 2000, UnixTime(9, 0, 0));
    const auto w = LoadedWindow("0|4|1|1", trees);
    QVERIFY(Control<QPushButton>(w.get(), "Command3")->isEnabled());
    QVERIFY(Control<QCheckBox>(w.get(), "Check1")->isEnabled());
    QVERIFY(Control<QWidget>(w.get(), "Picture2")->isVisible());
    SaveScreenshot(w.get(), Shot(w.get(), "settings-after-load"));
}

void ProgramPicturesTest::chosenPictureStretchedWithASoftFrame() {
    TempHome home;
    // A picture of the user's own: a sunset of sorts, half the panel's proportions.
    const QString picture = QString::fromStdString(home.path()) + "/Abend.jpg";
    QImage evening(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            evening.setPixelColor(x, y, QColor(250 - y / 3, 150 - y / 3 + x / 10, 60 + y / 2));
    QVERIFY(evening.save(picture));
    {
        Form1 w;
        w.show();
        OnNextModal([&](QWidget* settings) {
            Control<QLineEdit>(settings, "Text1")->setText(picture);
            Control<QCheckBox>(settings, "Check1")->setChecked(true);
            Control<QCheckBox>(settings, "Check2")->setChecked(true);
            Control<QLineEdit>(settings, "Text2")->setText("40");
            SaveScreenshot(settings, Shot(settings, "settings-window-chosen"));
            Control<QPushButton>(settings, "Command2")->click();
        });
        Control<QAction>(&w, "settings")->trigger();
    }
    Form1 next;
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    auto* panel = Control<PictureBox>(&next, "Picture5");
    const QImage& image = panel->image();
    const QColor window = next.palette().color(QPalette::Window);
    QCOMPARE(image.pixelColor(0, image.height() / 2), window);
    QVERIFY(image.pixelColor(image.width() / 2, image.height() / 2) != window);
    SaveScreenshot(&next, Shot(&next, "settings-stretched-soft"));
}

GLEICHWART_UI_TEST_MAIN(ProgramPicturesTest)
#include "program_pictures_test.moc"
