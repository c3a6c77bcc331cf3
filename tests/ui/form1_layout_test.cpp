// The main window's layout: each panel follows the resize rules, also when they turn sizes
// negative.
#include "ui_test_support.h"

#include "kit/twips.h"

#include <QMenuBar>

#include <cmath>

namespace {

// A twip is a fraction of a pixel taken from the font, so a window holds a size in twips only
// to within a pixel: under 20 twips for every font the tests use.
constexpr double kOnePixel = 20;

// Resizes the window so that its inner area is the given size in twips.
void ResizeInner(Form1& w, double widthTwips, double heightTwips) {
    w.resize(TwipsToPixelsX(widthTwips),
             TwipsToPixelsY(heightTwips) + w.menuBar()->sizeHint().height());
    QVERIFY(std::abs(w.ScaleWidth() - widthTwips) < kOnePixel);
    QVERIFY(std::abs(w.ScaleHeight() - heightTwips) < kOnePixel);
}

} // namespace

class Form1LayoutTest : public UiTestCase {
    Q_OBJECT
private slots:
    // A narrow and a larger inner area in twips, and where a control of each panel must then
    // stand, in twips, in the order of the names below. The narrow window would turn
    // ProgressBar3's width negative: it keeps the 6500 it had at 11670 × 6210.
    void everyPanelFollowsTheResizeRules() {
        const std::vector<std::pair<const char*, double Twips::*>> spots = {
            {"Picture2", &Twips::width},   {"Picture5", &Twips::height},
            {"TabStrip1", &Twips::height}, {"List2", &Twips::width},
            {"List1", &Twips::height},     {"Frame2", &Twips::top},
            {"Frame3", &Twips::width},     {"ProgressBar3", &Twips::width},
            {"Picture6", &Twips::left},    {"StatusBar1", &Twips::top}};
        const struct {
            double width, height;
            std::vector<double> expected;
        } rows[] = {{4845, 5010, {995, 4575, 3495, 755, 2340, 3600, 875, 6500, 1265, 4755}},
                    {13995, 7005, {10145, 6570, 5490, 9905, 4335, 5595, 10025, 8825, 10415, 6750}}};
        for (const auto& [width, height, expected] : rows) {
            Form1 w;
            w.show();
            ResizeInner(w, 11670, 6210);
            ResizeInner(w, width, height);
            for (std::size_t i = 0; i < spots.size(); ++i) {
                const auto& [name, field] = spots[i];
                const double actual = TwipsOf(Control<QWidget>(&w, name)).*field;
                QVERIFY2(
                    std::abs(actual - expected[i]) < kOnePixel,
                    qPrintable(QString("%1: %2, not %3").arg(name).arg(actual).arg(expected[i])));
            }
        }
    }
};

GLEICHWART_UI_TEST_MAIN(Form1LayoutTest)
#include "form1_layout_test.moc"
