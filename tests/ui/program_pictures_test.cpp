// The program with its own pictures, as installed: this test program runs with a copy of
// Icons/ beside it, as the program does, once at single and once at double density. It
// checks the first start's background and the shipped icons on screen.
#include "ui_test_support.h"

#include "kit/button_pictures.h"
#include "kit/picture_box.h"
#include "platform/system_info.h"

#include <QPushButton>
#include <QTest>

namespace {

// Every fully opaque pixel of the icon file for this density that the button did not draw
// where it belongs; -1 when the file is missing or not of the density's size.
int PixelsOffTheFile(QWidget* button, const QString& name) {
    const int ratio = qRound(button->devicePixelRatioF());
    const QImage icon(ProgramIconsFolder() + "/" + name + (ratio > 1 ? "@2x.png" : ".png"));
    const QImage shot = button->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (icon.isNull() || ratio * 48 != icon.width())
        return -1;
    int off = 0;
    const QPoint at = QPoint(7, 4) * ratio;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            off += icon.pixelColor(x, y).alpha() == 255 &&
                   shot.pixelColor(at + QPoint(x, y)) != icon.pixelColor(x, y);
    return off;
}

} // namespace

class ProgramPicturesTest : public UiTestCase {
    Q_OBJECT
private slots:
    void firstStartShowsTheShippedBackgroundStretched() {
        Form1 w;
        w.show();
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
        SaveScreenshot(&w, w.devicePixelRatioF() > 1 ? "first-start-2x" : "first-start");
        // Only the first start stores it: a user's own choice stays.
        reg().SetStringValue(HKCU, kRootKey, "BackGround", "/eigenes/bild.png");
        Form1 next;
        QCOMPARE(reg().GetStringValue(HKCU, kRootKey, "BackGround"),
                 std::string("/eigenes/bild.png"));
    }

    void shippedIconsAreDrawnSharpAtTheScreensDensity() {
        for (const char* name : {"Load", "LoadDisabled", "Abort", "Sync", "SyncDisabled", "File",
                                 "FileDisabled", "Delete", "DeleteDisabled"})
            QVERIFY2(!ProgramIcon(ProgramIconsFolder(), name).isNull(), name);
        Form1 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* load = Control<QPushButton>(&w, "Command1");
        QCOMPARE(PixelsOffTheFile(load, "Load"), 0);
        QCOMPARE(PixelsOffTheFile(Control<QPushButton>(&w, "Command3"), "SyncDisabled"), 0);
        load->setEnabled(false);
        QCOMPARE(PixelsOffTheFile(load, "LoadDisabled"), 0);
    }
};

GLEICHWART_UI_TEST_MAIN(ProgramPicturesTest)
#include "program_pictures_test.moc"
