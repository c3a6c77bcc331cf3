// The main window's layout: each panel follows the resize rules, the background picture with
// its soft frame, and what the status bar hosts.
#include "ui_test_support.h"

#include "geometry/layout_rules.h"
#include "kit/activity_strip.h"
#include "kit/picture_box.h"
#include "kit/status_bar.h"
#include "kit/twips.h"

#include <QMenuBar>
#include <QProgressBar>
#include <QTest>

#include <optional>

namespace {

// Resizes the window so that its inner area is the given size in twips.
void ResizeInner(Form1& w, double widthTwips, double heightTwips) {
    w.resize(TwipsToPixels(widthTwips),
             TwipsToPixels(heightTwips) + w.menuBar()->sizeHint().height());
    QCOMPARE(w.ScaleWidth(), widthTwips);
    QCOMPARE(w.ScaleHeight(), heightTwips);
}

// The red of the window's colour laid over the picture's with `alpha`, give or take one.
bool BlendsRed(QColor actual, QColor picture, QColor window, int alpha) {
    return qAbs(actual.red() - (picture.red() * (255 - alpha) + window.red() * alpha) / 255) <= 1;
}

} // namespace

class Form1LayoutTest : public UiTestCase {
    Q_OBJECT
private slots:
    void everyPanelFollowsTheResizeRules_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<bool>("minimised");
        QTest::newRow("designed") << 11670.0 << 6210.0 << false;
        QTest::newRow("larger") << 13995.0 << 7005.0 << false;
        QTest::newRow("narrow") << 3850 + 995.0 << 5010.0 << false; // some sizes turn negative
        QTest::newRow("minimised") << 9000.0 << 5010.0 << true;     // laid out once restored
    }
    void everyPanelFollowsTheResizeRules() {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(bool, minimised);
        Form1 w;
        w.show();
        ResizeInner(w, 11670, 6210);
        const MainLayout l = ComputeMainLayout(width, height);
        // A control of each panel for each rule; a size the rules skip stays as it was.
        const std::vector<std::tuple<const char*, double Twips::*, std::optional<double>>> spots = {
            {"Picture2", &Twips::width, l.panelsWidth},
            {"Picture5", &Twips::height, l.panelsHeight},
            {"Picture3", &Twips::width, l.panelsWidth},
            {"TabStrip1", &Twips::height, l.tabStripHeight},
            {"TabStrip1", &Twips::width, l.tabStripWidth},
            {"List2", &Twips::width, l.listsWidth},
            {"List1", &Twips::height, l.listsHeight},
            {"Check1", &Twips::top, l.check1Top},
            {"Frame2", &Twips::top, l.frame2Top},
            {"Frame2", &Twips::width, l.frame2Width},
            {"Frame3", &Twips::width, l.framesWidth},
            {"ProgressBar3", &Twips::width, l.progressBar3Width},
            {"ProgressBar2", &Twips::width, l.progressBar2Width},
            {"Picture6", &Twips::left, l.picture6Left},
            {"StatusBar1", &Twips::top, height - 255}};
        std::vector<double> before;
        for (const auto& [name, field, rule] : spots)
            before.push_back(TwipsOf(Control<QWidget>(&w, name)).*field);
        const auto expectLaidOut = [&](bool laidOut) {
            for (std::size_t i = 0; i < spots.size(); ++i) {
                const auto& [name, field, rule] = spots[i];
                const double actual = TwipsOf(Control<QWidget>(&w, name)).*field;
                const double expected = laidOut && rule ? *rule : before[i];
                QVERIFY2(actual == expected,
                         qPrintable(QString("%1: %2, not %3").arg(name).arg(actual).arg(expected)));
            }
        };
        if (minimised) {
            w.setWindowState(Qt::WindowMinimized);
            w.resize(TwipsToPixels(width), TwipsToPixels(height));
            w.Form_Resize();
            expectLaidOut(false);
            w.setWindowState(Qt::WindowNoState);
        }
        ResizeInner(w, width, height);
        expectLaidOut(true);
        QCOMPARE(Control<QWidget>(&w, "Picture6")->x(), TwipsToPixels(l.picture6Left));
    }

    void backgroundPictureFadesIntoTheWindow_data() {
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<QSize>("size");
        QTest::newRow("as it is") << false << QSize(1200, 900);
        QTest::newRow("stretched") << true << QSize(20, 10);
    }
    void backgroundPictureFadesIntoTheWindow() {
        QFETCH(bool, stretch);
        QFETCH(QSize, size);
        const QString path = Q(home_->home.path()) + "/bild.png";
        const QColor colour(200, 0, 180);
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(colour);
        picture.save(path);
        reg().SetStringValue(HKCU, kRootKey, "BackGround", path.toStdString());
        reg().SetNumericValue(HKCU, kRootKey, "BackGroundResize", stretch ? 1 : 0);
        reg().SetNumericValue(HKCU, kRootKey, "BackGroundSoft", 1);
        reg().SetNumericValue(HKCU, kRootKey, "SoftWidth", 10);
        Form1 w;
        w.show();
        auto* panel = Control<PictureBox>(&w, "Picture5");
        const QColor window = w.palette().color(QPalette::Window);
        // Growing the window paints and frames the picture anew. Ring 0 is the window's
        // colour, rings 1 and 5 blend with alpha 230 and 128, ring 10 on is the picture.
        for (const double grow : {0.0, 1335.0}) {
            ResizeInner(w, 11670 + grow, 6210 + grow);
            const QImage& image = panel->image();
            const QSize inner = panel->innerSize();
            const int y = inner.height() / 2;
            QCOMPARE(image.pixelColor(0, y), window);
            QVERIFY(BlendsRed(image.pixelColor(inner.width() - 1, y), colour, window, 230));
            QVERIFY(BlendsRed(image.pixelColor(5, y), colour, window, 128));
            QCOMPARE(image.pixelColor(10, y), colour);
            QCOMPARE(image.pixelColor(inner.width() - 20, inner.height() - 20), colour);
        }
        if (!stretch)
            SaveScreenshot(&w, "main-window-soft-frame");
    }

    void statusPanelHostsTheActivityStripAndTheLoadingBar() {
        Form1 w;
        w.show();
        auto* bar = Control<StatusBar>(&w, "StatusBar1");
        auto* strip = Control<ActivityStrip>(&w, "Picture1");
        auto* loading = Control<QProgressBar>(&w, "ProgressBar1");
        for (const double width : {11670.0, 13995.0}) {
            ResizeInner(w, width, 6210);
            for (QWidget* hosted : std::initializer_list<QWidget*>{strip, loading}) {
                QCOMPARE(hosted->parentWidget(), bar);
                QCOMPARE(hosted->geometry(), bar->panelRect(2).adjusted(1, 1, -1, -1));
            }
        }
        // The strip creeps one twip per step and jumps back a whole period at its left edge.
        QCOMPARE(strip->imageLeftTwips(), 0.0);
        strip->Advance();
        QCOMPARE(strip->imageLeftTwips(), -ActivityStrip::kPeriodTwips + 1.0);
        strip->Advance(ActivityStrip::kPeriodTwips - 1);
        QCOMPARE(strip->imageLeftTwips(), 0.0);
        strip->Advance();
        QCOMPARE(strip->imageLeftTwips(), -ActivityStrip::kPeriodTwips + 1.0);
    }
};

GLEICHWART_UI_TEST_MAIN(Form1LayoutTest)
#include "form1_layout_test.moc"
