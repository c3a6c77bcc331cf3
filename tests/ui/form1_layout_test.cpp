// The main window's layout: each panel follows the resize rules, also when they turn sizes
// negative.
#include "ui_test_support.h"

#include "geometry/layout_rules.h"
#include "kit/twips.h"

#include <QMenuBar>
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

} // namespace

class Form1LayoutTest : public UiTestCase {
    Q_OBJECT
private slots:
    void everyPanelFollowsTheResizeRules_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::newRow("narrow") << 3850 + 995.0 << 5010.0; // some sizes turn negative
        QTest::newRow("larger") << 13995.0 << 7005.0;
    }
    void everyPanelFollowsTheResizeRules() {
        QFETCH(double, width);
        QFETCH(double, height);
        Form1 w;
        w.show();
        ResizeInner(w, 11670, 6210);
        const MainLayout l = ComputeMainLayout(width, height);
        // A control of each panel for each rule; a size the rules skip stays as it was.
        const std::vector<std::tuple<const char*, double Twips::*, std::optional<double>>> spots = {
            {"Picture2", &Twips::width, l.panelsWidth},
            {"Picture5", &Twips::height, l.panelsHeight},
            {"TabStrip1", &Twips::height, l.tabStripHeight},
            {"List2", &Twips::width, l.listsWidth},
            {"List1", &Twips::height, l.listsHeight},
            {"Frame2", &Twips::top, l.frame2Top},
            {"Frame3", &Twips::width, l.framesWidth},
            {"ProgressBar3", &Twips::width, l.progressBar3Width},
            {"Picture6", &Twips::left, l.picture6Left},
            {"StatusBar1", &Twips::top, height - 255}};
        std::vector<double> before;
        for (const auto& [name, field, rule] : spots)
            before.push_back(TwipsOf(Control<QWidget>(&w, name)).*field);
        ResizeInner(w, width, height);
        for (std::size_t i = 0; i < spots.size(); ++i) {
            const auto& [name, field, rule] = spots[i];
            const double actual = TwipsOf(Control<QWidget>(&w, name)).*field;
            const double expected = rule ? *rule : before[i];
            QVERIFY2(actual == expected,
                     qPrintable(QString("%1: %2, not %3").arg(name).arg(actual).arg(expected)));
        }
    }
};

GLEICHWART_UI_TEST_MAIN(Form1LayoutTest)
#include "form1_layout_test.moc"
