// The pictures on the main window's buttons and tabs, checked on what the controls paint.
#include "ui_test_support.h"

#include "kit/button_pictures.h"
#include "kit/picture_button.h"
#include "kit/tab_strip.h"

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

// How many pixels of `colour` `w` paints in `area` (anywhere when `area` is null).
int Count(QWidget* w, const QColor& colour, QRect area = {}) {
    const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
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
    // A main window with the file lists in front and pictures from `names` only, each a square
    // of its colour in the icons folder `folder`.
    std::unique_ptr<Form1> window(const QStringList& names, const QString& folderName = "Icons") {
        const QString folder = Q(home_->home.path()) + "/" + folderName;
        QDir().mkpath(folder);
        for (const QString& name : names) {
            QImage image(SizeOf(name), SizeOf(name), QImage::Format_ARGB32);
            image.fill(ColourOf(name));
            image.save(folder + "/" + name + ".png");
        }
        reg().SetNumericValue(HKCU, kRootKey, "NoBackGround", 1);
        auto w = std::make_unique<Form1>();
        SetupLoadButton(Control<PictureButton>(w.get(), "Command1"), folder);
        SetupAbortButton(Control<PictureButton>(w.get(), "Command2"), folder);
        SetupSyncButton(Control<PictureButton>(w.get(), "Command3"), folder);
        SetupTabIcons(Control<TabStrip>(w.get(), "TabStrip1"), folder);
        w->show();
        return w;
    }

    // With `button` enabled or not, the whole square of `expected` (none when empty) stands in
    // its place on it, and no other picture.
    void showsOnly(Form1& w, const char* button, bool enabled, const QString& expected) {
        auto* b = Control<PictureButton>(&w, button);
        b->setEnabled(enabled);
        for (const QString& name : kAll) {
            const int size = SizeOf(name), area = name == expected ? size * size : 0;
            const QRect place = size == 32 ? QRect(7, 1, 32, 32) : QRect(7, 4, 48, 48);
            QCOMPARE(Count(b, ColourOf(name), place), area);
            QCOMPARE(Count(b, ColourOf(name)), area);
        }
    }

private slots:
    void buttonsShowTheirPictureForTheirState() {
        const auto all = window(kAll);
        showsOnly(*all, "Command1", true, "Load");
        showsOnly(*all, "Command3", false, "SyncDisabled");
        showsOnly(*all, "Command2", false, "Abort");
        // A missing picture for the disabled state falls back to the enabled one.
        const auto onlyLoad = window({"Load"}, "NurLaden");
        showsOnly(*onlyLoad, "Command1", false, "Load");
        showsOnly(*onlyLoad, "Command3", true, "");
    }

    void tabPicturesSwapWithTheCurrentTab() {
        const auto w = window(kAll);
        QTabBar* tabs = Control<TabStrip>(w.get(), "TabStrip1")->tabs();
        tabs->addTab("    zu löschende Dateien");
        // The picture of each tab, in the room the caption's leading blanks leave, 4 pixels
        // from the tab's edge.
        const auto pictures = [&] {
            QStringList found;
            for (int tab = 0; tab < tabs->count(); ++tab)
                for (const char* name : {"File", "FileDisabled", "Delete", "DeleteDisabled"})
                    if (Count(tabs, ColourOf(name), tabs->tabRect(tab).adjusted(4, 0, 0, 0)) ==
                        16 * 16)
                        found << name;
            return found;
        };
        QCOMPARE(pictures(), (QStringList{"File", "DeleteDisabled"}));
        tabs->setCurrentIndex(1);
        QCOMPARE(pictures(), (QStringList{"FileDisabled", "Delete"}));
    }
};

GLEICHWART_UI_TEST_MAIN(ButtonPicturesTest)
#include "button_pictures_test.moc"
