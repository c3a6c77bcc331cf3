// The pictures on the main window's buttons and tabs, checked on what the controls paint.
#include "ui_test_support.h"

#include "kit/button_pictures.h"
#include "kit/picture_button.h"
#include "kit/tab_strip.h"

#include <QCheckBox>
#include <QDir>
#include <QTabBar>
#include <QTest>

namespace {

const QStringList kAll = {"Load", "LoadDisabled", "Abort",  "Sync",          "SyncDisabled",
                          "File", "FileDisabled", "Delete", "DeleteDisabled"};

// Each picture a colour of its own, at the size the program reads it.
QColor ColourOf(const QString& name) {
    return QColor(QColor::fromHsv(int(kAll.indexOf(name)) * 40, 255, 250).rgb());
}

int SizeOf(const QString& name) {
    return name.startsWith("Abort")                             ? 32
           : name.startsWith("Load") || name.startsWith("Sync") ? 48
                                                                : 16;
}

QImage Grab(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// How many pixels of `colour` lie in `area` of the image (all of it when `area` is null).
int Count(const QImage& image, const QColor& colour, QRect area = {}) {
    area = area.isNull() ? image.rect() : area;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

} // namespace

class ButtonPicturesTest : public UiTestCase {
    Q_OBJECT
    // An icons folder holding the named pictures, each a square of its colour.
    QString iconsFolder(const QStringList& names) {
        const QString folder = Q(home_->home.path()) + "/Icons";
        QDir().mkpath(folder);
        for (const QString& name : names) {
            QImage image(SizeOf(name), SizeOf(name), QImage::Format_ARGB32);
            image.fill(ColourOf(name));
            image.save(folder + "/" + name + ".png");
        }
        return folder;
    }

    // A main window with the file lists in front and pictures from `names` only.
    std::unique_ptr<Form1> window(const QStringList& names) {
        reg().SetNumericValue(HKCU, kRootKey, "NoBackGround", 1);
        auto w = std::make_unique<Form1>();
        const QString folder = iconsFolder(names);
        SetupLoadButton(Control<PictureButton>(w.get(), "Command1"), folder);
        SetupAbortButton(Control<PictureButton>(w.get(), "Command2"), folder);
        SetupSyncButton(Control<PictureButton>(w.get(), "Command3"), folder);
        SetupTabIcons(Control<TabStrip>(w.get(), "TabStrip1"), folder);
        w->show();
        return w;
    }

private slots:
    void buttonsShowTheirPictureForTheirState_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("expected"); // empty: no picture at all
        QTest::newRow("load") << kAll << "Command1" << true << "Load";
        QTest::newRow("load disabled") << kAll << "Command1" << false << "LoadDisabled";
        QTest::newRow("sync") << kAll << "Command3" << true << "Sync";
        QTest::newRow("sync disabled") << kAll << "Command3" << false << "SyncDisabled";
        QTest::newRow("abort") << kAll << "Command2" << true << "Abort";
        QTest::newRow("abort disabled") << kAll << "Command2" << false << "Abort";
        const QStringList load{"Load"};
        QTest::newRow("only load") << load << "Command1" << true << "Load";
        QTest::newRow("only load, disabled") << load << "Command1" << false << "Load";
        QTest::newRow("only load, sync") << load << "Command3" << true << "";
        QTest::newRow("only load, abort") << load << "Command2" << true << "";
        QTest::newRow("none, load") << QStringList() << "Command1" << true << "";
        QTest::newRow("none, sync disabled") << QStringList() << "Command3" << false << "";
    }

    void buttonsShowTheirPictureForTheirState() {
        QFETCH(QStringList, files);
        QFETCH(QString, button);
        QFETCH(bool, enabled);
        QFETCH(QString, expected);
        const auto w = window(files);
        auto* b = Control<PictureButton>(w.get(), button);
        b->setEnabled(enabled);
        const QImage image = Grab(b);
        for (const QString& name : kAll) {
            // The whole square in its place and nothing beside it.
            const int size = SizeOf(name), area = name == expected ? size * size : 0;
            const QRect place = size == 32 ? QRect(7, 1, 32, 32) : QRect(7, 4, 48, 48);
            QCOMPARE(Count(image, ColourOf(name), place), area);
            QCOMPARE(Count(image, ColourOf(name)), area);
        }
    }

    void pressedButtonMovesItsPictureOnePixel() {
        const auto w = window(kAll);
        auto* load = Control<PictureButton>(w.get(), "Command1");
        const QColor red = ColourOf("Load");
        load->setDown(true);
        QCOMPARE(Count(Grab(load), red, QRect(8, 5, 48, 48)), 48 * 48);
        load->setDown(false);
        QCOMPARE(Count(Grab(load), red, QRect(7, 4, 48, 48)), 48 * 48);
    }

    void tabPicturesSwapWithTheCurrentTab() {
        const auto w = window(kAll);
        QTabBar* tabs = Control<TabStrip>(w.get(), "TabStrip1")->tabs();
        tabs->addTab("    zu löschende Dateien");
        // The picture of each tab, in the room the caption's leading blanks leave, 4 pixels
        // from the tab's edge.
        const auto pictures = [&] {
            const QImage image = Grab(tabs);
            QStringList found;
            for (int tab = 0; tab < tabs->count(); ++tab) {
                QRect band = tabs->tabRect(tab);
                band.setLeft(band.left() + 4);
                band.setWidth(16);
                for (const char* name : {"File", "FileDisabled", "Delete", "DeleteDisabled"})
                    if (Count(image, ColourOf(name), band) == 16 * 16)
                        found << name;
            }
            return found;
        };
        QCOMPARE(pictures(), (QStringList{"File", "DeleteDisabled"}));
        tabs->setCurrentIndex(1);
        QCOMPARE(pictures(), (QStringList{"FileDisabled", "Delete"}));
        // With the delete tab gone, the copy tab is the current one again.
        tabs->removeTab(1);
        QCOMPARE(pictures(), QStringList{"File"});
    }

    void selectAllLabelIsGreyedWhileItsBoxIsDisabled() {
        const auto w = window({});
        auto* box = Control<QCheckBox>(w.get(), "Check1");
        const QRect label(box->geometry().right() + 1, box->geometry().top(), 120,
                          box->geometry().height());
        const auto darkest = [&] {
            const QImage image = Grab(Control<QWidget>(w.get(), "TabStrip1"));
            int least = 255;
            for (int y = label.top(); y <= label.bottom(); ++y)
                for (int x = label.left(); x <= label.right(); ++x)
                    least = qMin(least, qGray(image.pixel(x, y)));
            return least;
        };
        box->setEnabled(false);
        const int greyed = darkest();
        box->setEnabled(true);
        const int black = darkest();
        QVERIFY2(black < 60 && greyed > black + 50,
                 qPrintable(QString("%1 / %2").arg(greyed).arg(black)));
    }
};

GLEICHWART_UI_TEST_MAIN(ButtonPicturesTest)
#include "button_pictures_test.moc"
