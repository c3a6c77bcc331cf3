// The pictures the program reads: the settings window that chooses the background (the kinds
// its picture dialog offers, which fields it switches on and off, what "OK" stores and the
// close box does not), every kind offered read, huge ones reduced while they are read, damaged
// ones as nothing, and the background panel staying quietly empty then; and the pictures on
// the main window's buttons and tabs, checked on what the controls paint.
#include "ui_test_support.h"

#include "settings/app_settings.h"

#include "dialogs/settings_window.h"
#include "kit/button_pictures.h"
#include "kit/picture_box.h"
#include "kit/picture_button.h"
#include "kit/picture_file.h"
#include "kit/tab_strip.h"

#include <QFileDialog>
#include <QImageReader>
#include <QImageWriter>

#include <cstdio>

#include <jpeglib.h>

namespace {

const QSize kLimit(1000, 1000);

// A PCX file of 75 x 3 pixels, written by another program (core/data, described by the
// PCX reader's tests): its pixel 15,0 is (45, 0, 150), its last line (200, 100, 50).
const QString kPcxSample = GLEICHWART_TEST_DATA "/rgb24.pcx";

// A grey JPEG of side x side pixels, written line by line: far too large to hold decoded
// (20000 x 20000 is 400 MB of grey, 1.6 GB as colour) but a small file.
void WriteHugeJpeg(const QString& path, int side) {
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    QVERIFY(out != nullptr);
    jpeg_compress_struct jpeg{};
    jpeg_error_mgr errors{};
    jpeg.err = jpeg_std_error(&errors);
    jpeg_create_compress(&jpeg);
    jpeg_stdio_dest(&jpeg, out);
    jpeg.image_width = jpeg.image_height = JDIMENSION(side);
    jpeg.input_components = 1;
    jpeg.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&jpeg);
    jpeg_set_quality(&jpeg, 50, TRUE);
    jpeg_start_compress(&jpeg, TRUE);
    std::vector<JSAMPLE> line(std::size_t(side), JSAMPLE(200));
    JSAMPROW row = line.data();
    while (jpeg.next_scanline < jpeg.image_height)
        jpeg_write_scanlines(&jpeg, &row, 1);
    jpeg_finish_compress(&jpeg);
    jpeg_destroy_compress(&jpeg);
    std::fclose(out);
}

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

// The fields the settings' frame box switches; "Text2" and "Label1" go with "Soft Frame"
// besides.
const QStringList kFields = {"Text1", "Label2", "Check1", "Check2", "Text2", "Label1"};

} // namespace

class PictureFileTest : public UiTestCase {
    Q_OBJECT
    QString root() { return Q(home_->home.path()); }
    int number(const char* name) { return reg().GetNumericValue(HKCU, kRootKey, name, -1); }
    void store(const char* name, int value) { reg().SetNumericValue(HKCU, kRootKey, name, value); }
    // A main window with the file lists in front and pictures from `names` only, each a square
    // of its colour in the icons folder `folder`.
    std::unique_ptr<Form1> window(const QStringList& names, const QString& folderName = "Icons") {
        const QString folder = root() + "/" + folderName;
        QDir().mkpath(folder);
        for (const QString& name : names) {
            QImage image(SizeOf(name), SizeOf(name), QImage::Format_ARGB32);
            image.fill(ColourOf(name));
            image.save(folder + "/" + name + ".png");
        }
        store("NoBackGround", 1);
        auto w = std::make_unique<Shown<Form1>>();
        SetupLoadButton(Control<PictureButton>(w.get(), "Command1"), folder);
        SetupAbortButton(Control<PictureButton>(w.get(), "Command2"), folder);
        SetupSyncButton(Control<PictureButton>(w.get(), "Command3"), folder);
        SetupTabIcons(Control<TabStrip>(w.get(), "TabStrip1"), folder);
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
    void thePictureDialogOffersWhatCanBeRead() {
        Form2 w(reg(), nullptr);
        QStringList filters;
        OnNextModal([&](QWidget* d) { filters = qobject_cast<QFileDialog*>(d)->nameFilters(); });
        Click(&w, "Command1");
        QCOMPARE(filters.size(), 1);
        QVERIFY2(filters[0].startsWith("Alle Bilddateien ("), qPrintable(filters[0]));
        // Each kind the installed Qt reads, and PCX, which the program reads itself.
        QStringList offered = filters[0].section('(', 1).chopped(1).split(' '), readable;
        for (const QByteArray& kind :
             QImageReader::supportedImageFormats() + QList<QByteArray>{"pcx"})
            readable << "*." + QString::fromLatin1(kind);
        readable.removeDuplicates();
        offered.sort();
        readable.sort();
        QCOMPARE(offered, readable);
    }

    void widthIsHeldToItsRangeAndOnlyANumberIsStored() {
        qputenv("LC_ALL", "de_DE.UTF-8"); // the decimal separator of the user: ","
        // What is typed, and what is stored: 42, the value before, when nothing is written.
        for (const auto& [typed, stored] :
             {std::pair{"9", 10}, {"151", 150}, {"abc", 42}, {"1e12", 150}, {"12,5", 12}}) {
            store("SoftWidth", 42);
            Form2 w(reg(), nullptr);
            Control<QLineEdit>(&w, "Text2")->setText(typed);
            Click(&w, "Command2");
            QCOMPARE(number("SoftWidth"), stored);
        }
        qunsetenv("LC_ALL");
    }

    void untickingTheFrameLeavesOnlyTheButtonsAndOkStillStoresAll() {
        store("BackGroundSoft", 1);
        store("BackGroundResize", 1);
        store("SoftWidth", 30);
        Form2 w(reg(), nullptr);
        QCOMPARE(EnabledOf(&w, kFields), kFields);
        const QStringList others = {"Command1", "Command2", "Check3", "Frame2"};
        QTest::mouseClick(Control<QWidget>(&w, "Check3"), Qt::LeftButton);
        QCOMPARE(EnabledOf(&w, kFields + others), others);
        // Ticked again, every field comes back, the width too as "Soft Frame" is ticked.
        Click(&w, "Check3");
        QCOMPARE(EnabledOf(&w, kFields), kFields);
        Click(&w, "Check3");
        Control<QLineEdit>(&w, "Text1")->setText("/bilder/neu.jpg");
        Control<QLineEdit>(&w, "Text2")->setText("25");
        QVERIFY(Checked(&w, "KeepReplaced")); // never stored: on
        Click(&w, "KeepReplaced");
        {
            // The close box stores nothing of it.
            const std::string before = ReadFile(home_->home.hivePath());
            Shown<Form2> closed(reg(), nullptr);
            Control<QLineEdit>(&closed, "Text2")->setText("99");
            Click(&closed, "Check3");
            closed.close();
            QCOMPARE(ReadFile(home_->home.hivePath()), before);
        }
        Click(&w, "Command2");
        QCOMPARE(number("NoBackGround"), 1);
        QCOMPARE(reg().GetStringValue(HKCU, kRootKey, "BackGround"),
                 std::string("/bilder/neu.jpg"));
        QCOMPARE(number("BackGroundSoft"), 1);
        QCOMPARE(number("SoftWidth"), 25);
        QCOMPARE(number("KeepReplaced"), 0);
        QVERIFY(!AppSettings::LoadKeepReplaced());
        Form2 again(reg(), nullptr);
        QVERIFY(!Checked(&again, "Check3") && !Checked(&again, "KeepReplaced"));
        QCOMPARE(EnabledOf(&again, kFields), QStringList());
    }

    void everyOfferedKindIsRead() {
        // The lossy kind comes back a little off.
        for (const auto& [name, tolerance] :
             {std::pair{"bild.png", 0}, {"BILD.PCX", 0}, {"pcx-anders.dat", 0}, {"bild.jpg", 12}}) {
            const QString path = root() + "/" + name;
            const bool pcx = path.endsWith(".PCX") || path.endsWith(".dat");
            if (pcx) {
                QVERIFY(QFile::copy(kPcxSample, path));
            } else {
                QImage image(30, 1, QImage::Format_RGB32);
                image.fill(QColor(40, 120, 200));
                QImageWriter writer(path);
                QVERIFY2(writer.write(image), qPrintable(writer.errorString()));
            }
            const QImage read = ReadPictureFile(path, kLimit);
            QCOMPARE(read.size(), pcx ? QSize(75, 3) : QSize(30, 1));
            const QColor got = read.pixelColor(15, 0),
                         want = pcx ? QColor(45, 0, 150) : QColor(40, 120, 200);
            QVERIFY2(qAbs(got.red() - want.red()) <= tolerance &&
                         qAbs(got.green() - want.green()) <= tolerance &&
                         qAbs(got.blue() - want.blue()) <= tolerance,
                     qPrintable(path + ": " + got.name()));
            if (pcx) // every line where it belongs
                QCOMPARE(read.pixelColor(74, 2), QColor(200, 100, 50));
        }
    }

    void hugePicturesAreReadReducedToTheLimit() {
        const QString jpeg = root() + "/riesig.jpg";
        WriteHugeJpeg(jpeg, 20000);
        // Decoded at full size it would pass Qt's limit for one picture and come back empty.
        const QImage reduced = ReadPictureFile(jpeg, QSize(1920, 1920));
        QCOMPARE(reduced.size(), QSize(1920, 1920));
        QVERIFY(qAbs(qGray(reduced.pixel(960, 960)) - 200) <= 2);
        // A PCX picture is reduced while it is read, to the same limit.
        QCOMPARE(ReadPictureFile(kPcxSample, QSize(25, 25)).size(), QSize(25, 1));
    }

    void damagedFilesGiveNoPictureAndTheBackgroundStaysQuietlyEmpty() {
        QImage red(40, 40, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(root() + "/ganz.png"));
        const std::string png = ReadFile((root() + "/ganz.png").toStdString());
        const std::string pcx = ReadFile(kPcxSample.toStdString());
        QStringList paths = {root() + "/fehlt.png", root()};
        // Which shortened PCX files the reader refuses, its own test shows.
        for (const auto& [name, content] : {std::pair{"halb.png", png.substr(0, png.size() / 2)},
                                            {"halb.pcx", pcx.substr(0, pcx.size() - 4)}}) {
            paths << root() + "/" + name;
            WriteFile(paths.last().toStdString(), content);
        }
        for (const QString& path : paths)
            QVERIFY2(ReadPictureFile(path, kLimit).isNull(), qPrintable(path));
        // Quietly: a message box would fail the case.
        reg().SetStringValue(HKCU, kRootKey, "BackGround", paths.last().toStdString());
        Shown<Form1> w;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::qWait(50);
        QVERIFY(Control<PictureBox>(&w, "Picture5")->picture().isNull());
    }
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

GLEICHWART_UI_TEST_MAIN(PictureFileTest)
#include "picture_file_test.moc"
