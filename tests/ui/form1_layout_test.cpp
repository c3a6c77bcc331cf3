#include "form1_layout_test.h"

#include "core/temp_home.h"
#include "kit/activity_strip.h"
#include "kit/picture_box.h"
#include "kit/status_bar.h"
#include "kit/twips.h"
#include "mainwindow/background_panel.h"
#include "mainwindow/form1.h"
#include "settings/cls_registry.h"
#include "ui_test_support.h"

#include <QMenuBar>
#include <QProgressBar>
#include <QTest>

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;

// Resizes the window so that its inner area is the given size in twips.
void ResizeInner(Form1& w, double widthTwips, double heightTwips) {
    w.resize(TwipsToPixels(widthTwips),
             TwipsToPixels(heightTwips) + w.menuBar()->sizeHint().height());
    QCOMPARE(w.ScaleWidth(), widthTwips);
    QCOMPARE(w.ScaleHeight(), heightTwips);
}

Twips Of(Form1& w, const char* name) {
    return TwipsOf(Control<QWidget>(&w, name));
}

QImage WriteBackground(const QString& path, QSize size, QColor colour) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    picture.save(path);
    return picture;
}

} // namespace

void Form1LayoutTest::designedSizeGivesTheDesignedGeometry() {
    TempHome home;
    Form1 w;
    w.show();
    ResizeInner(w, 11670, 6210);
    for (const char* panel : {"Picture2", "Picture5", "Picture3"}) {
        QCOMPARE(Of(w, panel).width, 7820.0);
        QCOMPARE(Of(w, panel).height, 5775.0);
    }
    QCOMPARE(Of(w, "List1").width, 7580.0);
    QCOMPARE(Of(w, "List2").height, 3540.0);
    QCOMPARE(Of(w, "TabStrip1").width, 7820.0);
    QCOMPARE(Of(w, "TabStrip1").height, 4695.0);
    QCOMPARE(Of(w, "Check1").top, 4320.0);
    QCOMPARE(Of(w, "Frame2").top, 4800.0);
    QCOMPARE(Of(w, "Picture6").left, 8090.0);
    QCOMPARE(Of(w, "ProgressBar3").width, 6500.0);
    QCOMPARE(Of(w, "StatusBar1").top, 5955.0);
    // The same in pixels at the screen's resolution.
    QCOMPARE(Control<QWidget>(&w, "Picture5")->width(), TwipsToPixels(7820));
    QCOMPARE(Control<QWidget>(&w, "Picture6")->x(), TwipsToPixels(8090));
    SaveScreenshot(&w, "main-window-first-start");
}

void Form1LayoutTest::narrowWindowLeavesOnlyTheFileBarUnchanged() {
    TempHome home;
    Form1 w;
    w.show();
    ResizeInner(w, 11670, 6210);
    ResizeInner(w, 3850 + 995, 6210); // W − 1320 is negative
    QCOMPARE(Of(w, "ProgressBar3").width, 6500.0);
    QCOMPARE(Of(w, "Picture3").width, 995.0);
    QCOMPARE(Of(w, "ProgressBar2").width, 635.0);
    QCOMPARE(Of(w, "Frame1").width, 875.0);
    QCOMPARE(Of(w, "Picture6").left, 3850 + 995 - 3580.0);
}

void Form1LayoutTest::minimisedWindowIsNotLaidOut() {
    TempHome home;
    Form1 w;
    w.show();
    ResizeInner(w, 11670, 6210);
    w.setWindowState(Qt::WindowMinimized);
    w.resize(TwipsToPixels(9000), TwipsToPixels(5010));
    w.Form_Resize();
    QCOMPARE(Of(w, "Picture5").width, 7820.0);
    w.setWindowState(Qt::WindowNoState);
    ResizeInner(w, 9000, 5010);
    QCOMPARE(Of(w, "Picture5").width, 9000 - 3850.0);
}

void Form1LayoutTest::softFrameFadesTheBackgroundPictureIntoTheWindow() {
    TempHome home;
    const QString path = QString::fromStdString(home.path()) + "/bild.png";
    WriteBackground(path, QSize(1200, 900), QColor(200, 0, 0));
    clsRegistry reg;
    reg.SetStringValue(HKCU, kRootKey, "BackGround", path.toStdString());
    reg.SetNumericValue(HKCU, kRootKey, "BackGroundSoft", 1);
    reg.SetNumericValue(HKCU, kRootKey, "SoftWidth", 10);
    Form1 w;
    w.show();
    ResizeInner(w, 11670, 6210);
    auto* panel = Control<PictureBox>(&w, "Picture5");
    const QImage& image = panel->image();
    const QColor window = w.palette().color(QPalette::Window);
    const QSize inner = panel->innerSize();
    // Ring 0 is the window's colour, ring 10 and everything inside it the picture.
    QCOMPARE(image.pixelColor(0, 50), window);
    QCOMPARE(image.pixelColor(50, 0), window);
    const int red = image.pixelColor(inner.width() - 1, 50).red();
    QVERIFY(qAbs(red - (200 * (1 - 230 / 255.0) + window.red() * 230 / 255.0)) <= 1);
    QCOMPARE(image.pixelColor(10, 50), QColor(200, 0, 0));
    QCOMPARE(image.pixelColor(inner.width() / 2, inner.height() / 2), QColor(200, 0, 0));
    // Ring 5 with alpha 128 lies half way between the two colours.
    const QColor ring5 = image.pixelColor(5, 60);
    QVERIFY(qAbs(ring5.red() - (200 * 127 + window.red() * 128) / 255) <= 1);
    SaveScreenshot(&w, "main-window-soft-frame");
}

void Form1LayoutTest::stretchedPictureFillsThePanelUnderTheFrame() {
    TempHome home;
    const QString path = QString::fromStdString(home.path()) + "/klein.png";
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 180));
    picture.save(path);
    clsRegistry reg;
    reg.SetStringValue(HKCU, kRootKey, "BackGround", path.toStdString());
    reg.SetNumericValue(HKCU, kRootKey, "BackGroundResize", 1);
    reg.SetNumericValue(HKCU, kRootKey, "BackGroundSoft", 1);
    reg.SetNumericValue(HKCU, kRootKey, "SoftWidth", 12);
    Form1 w;
    w.show();
    ResizeInner(w, 11670, 6210);
    QVERIFY(Control<BackgroundPanel>(&w, "Picture5")->stretched());
    auto* panel = Control<PictureBox>(&w, "Picture5");
    const QSize inner = panel->innerSize();
    const QImage& image = panel->image();
    QCOMPARE(image.pixelColor(inner.width() - 20, inner.height() - 20), QColor(0, 0, 180));
    QCOMPARE(image.pixelColor(0, inner.height() / 2), w.palette().color(QPalette::Window));
    // Growing the window stretches the picture anew and frames it again.
    ResizeInner(w, 13005, 7005);
    const QSize grown = panel->innerSize();
    QVERIFY(grown.width() > inner.width());
    QCOMPARE(panel->image().pixelColor(grown.width() - 20, grown.height() - 20), QColor(0, 0, 180));
    // The right side's first ring lies beyond the last column; the last column is ring 1.
    const QColor window = w.palette().color(QPalette::Window);
    const int blue = panel->image().pixelColor(grown.width() - 1, grown.height() / 2).blue();
    QVERIFY(qAbs(blue - (180 * (1 - 230 / 255.0) + window.blue() * 230 / 255.0)) <= 1);
}

void Form1LayoutTest::statusPanelHostsTheActivityStripAndTheLoadingBar() {
    TempHome home;
    Form1 w;
    w.show();
    ResizeInner(w, 11670, 6210);
    auto* bar = Control<StatusBar>(&w, "StatusBar1");
    auto* strip = Control<ActivityStrip>(&w, "Picture1");
    auto* loading = Control<QProgressBar>(&w, "ProgressBar1");
    QCOMPARE(strip->parentWidget(), bar);
    QCOMPARE(loading->parentWidget(), bar);
    const QRect panel2 = bar->panelRect(2).adjusted(1, 1, -1, -1);
    QCOMPARE(strip->geometry(), panel2);
    QCOMPARE(loading->geometry(), panel2);
    // The strip creeps one twip per step and jumps back a whole period at its left edge.
    QCOMPARE(strip->imageLeftTwips(), 0.0);
    strip->Advance();
    QCOMPARE(strip->imageLeftTwips(), -ActivityStrip::kPeriodTwips + 1.0);
    for (int i = 1; i < ActivityStrip::kPeriodTwips; ++i)
        strip->Advance();
    QCOMPARE(strip->imageLeftTwips(), 0.0);
    strip->Advance();
    QCOMPARE(strip->imageLeftTwips(), -ActivityStrip::kPeriodTwips + 1.0);
    ResizeInner(w, 13995, 6210);
    QCOMPARE(loading->geometry(), bar->panelRect(2).adjusted(1, 1, -1, -1));
}

GLEICHWART_UI_TEST_MAIN(Form1LayoutTest)
