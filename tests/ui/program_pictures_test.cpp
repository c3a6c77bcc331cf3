// The program with its own pictures, as installed: this test program runs with a copy of
// Icons/ beside it, as the program does, once at single and once at double density. It
// checks the first start's background on screen.
#include "ui_test_support.h"

#include "kit/picture_box.h"
#include "platform/system_info.h"

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
        // Only the first start stores it: a user's own choice stays.
        reg().SetStringValue(HKCU, kRootKey, "BackGround", "/eigenes/bild.png");
        Form1 next;
        QCOMPARE(reg().GetStringValue(HKCU, kRootKey, "BackGround"),
                 std::string("/eigenes/bild.png"));
    }
};

GLEICHWART_UI_TEST_MAIN(ProgramPicturesTest)
#include "program_pictures_test.moc"
