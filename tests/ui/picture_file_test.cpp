// The pictures the program reads: every kind the settings offer, huge ones reduced while they
// are read, damaged ones as nothing, and the background panel staying quietly empty then.
#include "ui_test_support.h"

#include "kit/picture_box.h"
#include "kit/picture_file.h"

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

} // namespace

class PictureFileTest : public UiTestCase {
    Q_OBJECT
    QString root() { return Q(home_->home.path()); }

private slots:
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
        for (const auto& [name, content] : {std::pair{"halb.png", png.substr(0, png.size() / 2)},
                                            {"leer.pcx", pcx.substr(0, 128)},
                                            {"halb.pcx", pcx.substr(0, pcx.size() - 4)}}) {
            paths << root() + "/" + name;
            WriteFile(paths.last().toStdString(), content);
        }
        for (const QString& path : paths)
            QVERIFY2(ReadPictureFile(path, kLimit).isNull(), qPrintable(path));

        reg().SetStringValue(HKCU, kRootKey, "BackGround", paths.last().toStdString());
        Form1 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::qWait(50);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(Control<PictureBox>(&w, "Picture5")->picture().isNull());
    }
};

GLEICHWART_UI_TEST_MAIN(PictureFileTest)
#include "picture_file_test.moc"
