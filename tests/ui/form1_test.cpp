// The main window itself: each panel follows the resize rules, also when they turn sizes
// negative; what it shows first, what it keeps for next time, and that a stored place never
// puts it off the screen; and a start with a command line, which names the paths and the rule
// and loads once after the start, or is reported when its rule or folder is missing.
#include "ui_test_support.h"

#include "kit/twips.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>

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

class Form1Test : public UiTestCase {
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

    void whatShutdownWritesIsWhatTheNextStartShows() {
        {
            Form1 w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            Control<QLineEdit>(&w, "Text1")->setText("/home/anna/Fotos \"alt\"");
            Control<QLineEdit>(&w, "Text2")->setText("/media/Sicherung/Größe");
            auto* combo = Control<QComboBox>(&w, "Combo1");
            combo->setCurrentIndex(combo->findText("Spiegeln"));
            w.resize(TwipsToPixelsX(9000), TwipsToPixelsY(7200));
            w.move(TwipsToPixelsX(300), TwipsToPixelsY(450));
            w.close();
        }
        QCOMPARE(reg().GetNumericValue(HKCU, kRootKey, "SyncMode"), 2);
        Form1 next;
        QCOMPARE(TextOf(&next, "Text1"), QString("/home/anna/Fotos \"alt\""));
        QCOMPARE(TextOf(&next, "Text2"), QString("/media/Sicherung/Größe"));
        QCOMPARE(Control<QComboBox>(&next, "Combo1")->currentText(), QString("Spiegeln"));
        QCOMPARE(next.geometry().size(), QSize(TwipsToPixelsX(9000), TwipsToPixelsY(7200)));
        QCOMPARE(next.pos(), QPoint(TwipsToPixelsX(300), TwipsToPixelsY(450)));
    }

    void storedGeometryIsBroughtOntoTheScreen() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // Far beyond 16 bits: a window once left on a monitor that is gone.
        reg().SetNumericValue(HKCU, kRootKey, "Left", 200000);
        reg().SetNumericValue(HKCU, kRootKey, "Top", -90000);
        QVERIFY(area.contains(Form1().geometry()));
        // Some 35000 pixels each way: unchecked, gigabytes of window and seconds to start.
        for (const auto& [name, value] :
             {std::pair{"Left", 300}, {"Top", 450}, {"Width", 0x80000}, {"Height", 0x80000}})
            reg().SetNumericValue(HKCU, kRootKey, name, value);
        QVERIFY(area.contains(Form1().geometry()));
    }

    void threePartsLoadTheFoldersOnceAfterTheStart() {
        TreeBuilder& t = trees(); // a first start: the three starter rules are stored
        t.text("Meine Fotos/a.jpg", "a");
        t.text("Meine Fotos/b.jpg", "b");
        t.text("ziel/alt.jpg", "alt");
        Form1 w;
        // Blanks around the keys; and a rule stored after the list was filled, ahead of the
        // others in the store's order, so that an index into the store is one too small. A
        // message box would fail the case.
        w.setCommandLine("/Startordner |" + t.path("Meine Fotos") + "  / ZIELORDNER|" +
                         t.path("ziel") + " /regel |spiegeln");
        reg().SetStringValue(HKCU, kRulesKey, "Abgleich", "0|5|1|1");
        w.show();
        auto* copies = Control<QListView>(&w, "List1");
        QCOMPARE(copies->model()->rowCount(), 0); // nothing before the timer
        QSignalSpy resets(copies->model(), &QAbstractItemModel::modelReset);
        QTRY_COMPARE_WITH_TIMEOUT(copies->model()->rowCount(), 2, 5000);
        QCOMPARE(TextOf(&w, "Text2"), Q(t.path("ziel")));
        QCOMPARE(Control<QComboBox>(&w, "Combo1")->currentText(), QString("Spiegeln"));
        QCOMPARE(Control<QListView>(&w, "List2")->model()->rowCount(), 1); // alt.jpg goes
        // Once only: later turns of the event loop load nothing again.
        const qsizetype afterLoad = resets.count();
        QTest::qWait(1200);
        QCOMPARE(resets.count(), afterLoad);
    }

    void anUnknownRuleOrAMissingFolderIsReportedAndNothingIsLoaded() {
        TreeBuilder& t = trees();
        t.text("Meine Fotos/a.txt", "a");
        t.folder("ziel");
        // The folder is checked as read: one blank more is another folder, not this one.
        const std::string missing = t.path("Meine  Fotos");
        const struct {
            std::string start, rule;
            QString message;
        } rows[] = {
            {t.path("Meine Fotos"), "Gibt es nicht",
             "Die Regel: Gibt es nicht\r\nexistiert nicht !!"},
            {missing, "Aktualisieren", "Der Startpfad: \"" + Q(missing) + "\"existiert nicht !!"},
        };
        for (const auto& row : rows) {
            Form1 w;
            w.setCommandLine("/Startordner|" + row.start + " /Zielordner|" + t.path("ziel") +
                             " /Regel|" + row.rule);
            QString text;
            OnNextModal([&](QWidget* modal) { text = Seen(modal).text; });
            w.show();
            QTRY_VERIFY_WITH_TIMEOUT(!text.isEmpty(), 5000);
            QCOMPARE(text, row.message);
            // The paths stay as given; no load follows.
            QCOMPARE(TextOf(&w, "Text1"), Q(row.start));
            QTest::qWait(300);
            QVERIFY(w.session().StartFileCount == 0);
        }
    }
};

GLEICHWART_UI_TEST_MAIN(Form1Test)
#include "form1_test.moc"
