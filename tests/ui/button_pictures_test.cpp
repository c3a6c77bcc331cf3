// The pictures on the main window's buttons and tabs, checked on what the controls paint.
#include "core/temp_home.h"
#include "kit/button_pictures.h"
#include "kit/picture_button.h"
#include "kit/tab_strip.h"
#include "mainwindow/form1.h"
#include "settings/cls_registry.h"
#include "ui_test_support.h"

#include <QCheckBox>
#include <QDir>
#include <QTabBar>
#include <QTest>

namespace {

// Each picture a colour of its own, at the size the program reads it.
const QList<std::tuple<QString, int, QColor>> kPictures = {
    {"Load", 48, QColor(250, 0, 0)},
    {"LoadDisabled", 48, QColor(0, 0, 250)},
    {"Abort", 32, QColor(0, 250, 0)},
    {"Sync", 48, QColor(250, 250, 0)},
    {"SyncDisabled", 48, QColor(0, 250, 250)},
    {"File", 16, QColor(250, 0, 250)},
    {"FileDisabled", 16, QColor(120, 60, 0)},
    {"Delete", 16, QColor(0, 120, 60)},
    {"DeleteDisabled", 16, QColor(60, 0, 120)},
};

QColor ColourOf(const QString& name) {
    for (const auto& [picture, size, colour] : kPictures)
        if (picture == name)
            return colour;
    return {};
}

// An icons folder holding the named pictures, each a square of its colour.
QString IconsFolder(const TempHome& home, const QStringList& names) {
    const QString folder = QString::fromStdString(home.path()) + "/Icons";
    QDir().mkpath(folder);
    for (const auto& [name, size, colour] : kPictures) {
        if (!names.contains(name))
            continue;
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(colour);
        image.save(folder + "/" + name + ".png");
    }
    return folder;
}

QStringList AllPictures() {
    QStringList names;
    for (const auto& picture : kPictures)
        names << std::get<0>(picture);
    return names;
}

QImage Grab(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// How many pixels of `colour` lie in `area` of the image.
int Count(const QImage& image, const QColor& colour, QRect area = {}) {
    if (area.isNull())
        area = image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

// The left edge of the first column in `area` that holds `colour`, -1 when none does.
int LeftEdgeOf(const QImage& image, const QColor& colour, const QRect& area) {
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (image.pixelColor(x, y) == colour)
                return x;
    return -1;
}

struct Window {
    TempHome home;
    std::unique_ptr<Form1> form;
    PictureButton* load;
    PictureButton* abort;
    PictureButton* sync;
    TabStrip* strip;

    // A main window with the file lists in front and pictures from `names` only.
    explicit Window(const QStringList& names) {
        clsRegistry().SetNumericValue(clsRegistry::HKEY_CURRENT_USER, kRootKey, "NoBackGround", 1);
        form = std::make_unique<Form1>();
        load = Control<PictureButton>(form.get(), "Command1");
        abort = Control<PictureButton>(form.get(), "Command2");
        sync = Control<PictureButton>(form.get(), "Command3");
        strip = Control<TabStrip>(form.get(), "TabStrip1");
        const QString folder = IconsFolder(home, names);
        SetupLoadButton(load, folder);
        SetupAbortButton(abort, folder);
        SetupSyncButton(sync, folder);
        SetupTabIcons(strip, folder);
        form->show();
    }
};

} // namespace

class ButtonPicturesTest : public QObject {
    Q_OBJECT
private slots:
    void buttonsShowTheirPictureForTheirState_data();
    void buttonsShowTheirPictureForTheirState();
    void withoutPicturesTheControlsArePlainAndWork();
    void pressedButtonMovesItsPictureOnePixel();
    void tabPicturesSwapWithTheCurrentTab();
    void selectAllLabelIsGreyedWhileItsBoxIsDisabled();
    void denseScreensGetTheDoubleSizedFile();
};

void ButtonPicturesTest::buttonsShowTheirPictureForTheirState_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("expected"); // empty: no picture at all
    const QStringList all = AllPictures();
    const QRect big(7, 4, 48, 48), small(7, 1, 32, 32);
    QTest::newRow("load") << all << "Command1" << true << big << "Load";
    QTest::newRow("load disabled") << all << "Command1" << false << big << "LoadDisabled";
    QTest::newRow("sync") << all << "Command3" << true << big << "Sync";
    QTest::newRow("sync disabled") << all << "Command3" << false << big << "SyncDisabled";
    QTest::newRow("abort") << all << "Command2" << true << small << "Abort";
    QTest::newRow("abort disabled") << all << "Command2" << false << small << "Abort";
    const QStringList onlyLoad{"Load"};
    QTest::newRow("only load") << onlyLoad << "Command1" << true << big << "Load";
    QTest::newRow("only load, disabled") << onlyLoad << "Command1" << false << big << "Load";
    QTest::newRow("only load, sync") << onlyLoad << "Command3" << true << big << "";
    QTest::newRow("only load, abort") << onlyLoad << "Command2" << true << small << "";
}

void ButtonPicturesTest::buttonsShowTheirPictureForTheirState() {
    QFETCH(QStringList, files);
    QFETCH(QString, button);
    QFETCH(bool, enabled);
    QFETCH(QRect, place);
    QFETCH(QString, expected);
    Window w(files);
    auto* b = Control<PictureButton>(w.form.get(), button);
    b->setEnabled(enabled);
    const QImage image = Grab(b);
    if (expected.isEmpty()) {
        for (const auto& [name, size, colour] : kPictures)
            QCOMPARE(Count(image, colour), 0);
        return;
    }
    // The whole square and nothing beside it.
    QCOMPARE(Count(image, ColourOf(expected), place), place.width() * place.height());
    QCOMPARE(Count(image, ColourOf(expected)), place.width() * place.height());
}

void ButtonPicturesTest::withoutPicturesTheControlsArePlainAndWork() {
    Window w({});
    const QImage plain = Grab(w.load);
    for (const auto& [name, size, colour] : kPictures)
        QCOMPARE(Count(plain, colour), 0);
    // The same button with its picture and without it again: only the picture differs.
    SetupLoadButton(w.load, IconsFolder(w.home, AllPictures()));
    QVERIFY(Grab(w.load) != plain);
    SetupLoadButton(w.load, QString::fromStdString(w.home.path()) + "/fehlt");
    QCOMPARE(Grab(w.load), plain);
    // The controls still do their work.
    int clicks = 0;
    connect(w.abort, &QPushButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(w.abort, Qt::LeftButton);
    QCOMPARE(clicks, 1);
    w.strip->tabs()->addTab("    zu löschende Dateien");
    w.strip->tabs()->setCurrentIndex(1);
    QVERIFY(Control<QWidget>(w.form.get(), "List2")->isVisible());
}

void ButtonPicturesTest::pressedButtonMovesItsPictureOnePixel() {
    Window w(AllPictures());
    const QColor red = ColourOf("Load");
    w.load->setDown(true);
    const QImage pressed = Grab(w.load);
    QCOMPARE(Count(pressed, red, QRect(8, 5, 48, 48)), 48 * 48);
    QCOMPARE(pressed.pixelColor(7, 4) == red, false);
    QCOMPARE(pressed.pixelColor(55, 52), red);
    w.load->setDown(false);
    const QImage released = Grab(w.load);
    QCOMPARE(Count(released, red, QRect(7, 4, 48, 48)), 48 * 48);
    QCOMPARE(released.pixelColor(55, 52) == red, false);
}

void ButtonPicturesTest::tabPicturesSwapWithTheCurrentTab() {
    Window w(AllPictures());
    QTabBar* tabs = w.strip->tabs();
    tabs->addTab("    zu löschende Dateien");
    auto pictureIn = [&](int tab) {
        const QImage image = Grab(tabs);
        for (const char* name : {"File", "FileDisabled", "Delete", "DeleteDisabled"}) {
            const QRect area = tabs->tabRect(tab);
            if (Count(image, ColourOf(name), area) == 16 * 16) {
                // In the room the caption's leading blanks leave, 4 pixels from the tab's edge.
                if (LeftEdgeOf(image, ColourOf(name), area) != area.left() + 4)
                    return QString("misplaced ") + name;
                return QString(name);
            }
        }
        return QString();
    };
    QCOMPARE(pictureIn(0), QString("File"));
    QCOMPARE(pictureIn(1), QString("DeleteDisabled"));
    tabs->setCurrentIndex(1);
    QCOMPARE(pictureIn(0), QString("FileDisabled"));
    QCOMPARE(pictureIn(1), QString("Delete"));
    // With the delete tab gone, the copy tab is the current one again.
    tabs->removeTab(1);
    QCOMPARE(pictureIn(0), QString("File"));
}

void ButtonPicturesTest::selectAllLabelIsGreyedWhileItsBoxIsDisabled() {
    Window w({});
    auto* box = Control<QCheckBox>(w.form.get(), "Check1");
    const QRect label(box->geometry().right() + 1, box->geometry().top(), 120,
                      box->geometry().height());
    auto darkest = [&] {
        const QImage image = Grab(w.strip);
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
    QVERIFY2(black < 60, qPrintable(QString::number(black)));
    QVERIFY2(greyed > black + 50, qPrintable(QString("%1 / %2").arg(greyed).arg(black)));
}

void ButtonPicturesTest::denseScreensGetTheDoubleSizedFile() {
    TempHome home;
    const QString folder = IconsFolder(home, {"Load"});
    QImage dense(96, 96, QImage::Format_ARGB32);
    dense.fill(QColor(10, 20, 30));
    dense.save(folder + "/Load@2x.png");
    const QIcon icon = ProgramIcon(folder, "Load");
    const QImage single = icon.pixmap(QSize(48, 48), 1.0).toImage();
    const QImage twice = icon.pixmap(QSize(48, 48), 2.0).toImage();
    QCOMPARE(single.size(), QSize(48, 48));
    QCOMPARE(single.pixelColor(24, 24), ColourOf("Load"));
    QCOMPARE(twice.size(), QSize(96, 96));
    QCOMPARE(twice.pixelColor(48, 48), QColor(10, 20, 30));
    QVERIFY(ProgramIcon(folder, "Sync").isNull());
}

GLEICHWART_UI_TEST_MAIN(ButtonPicturesTest)
#include "button_pictures_test.moc"
