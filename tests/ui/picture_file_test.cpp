// The pictures the program reads: every kind the settings offer, huge ones reduced while they
// are read, damaged ones as nothing, and the background panel staying quietly empty then.
#include "ui_test_support.h"

#include "kit/picture_box.h"
#include "kit/picture_file.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTest>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

const QSize kLimit(1000, 1000);

// A PCX picture of `width` x 1 in three planes, every pixel (r, g, b), run-length coded.
QByteArray Pcx(int width, int r, int g, int b) {
    QByteArray file(128, '\0');
    file[0] = 0x0A;
    file[1] = 5;
    file[2] = 1;
    file[3] = 8;
    file[8] = char((width - 1) & 0xFF);
    file[9] = char((width - 1) >> 8);
    file[65] = 3;
    file[66] = char(width & 0xFF);
    file[67] = char(width >> 8);
    for (int value : {r, g, b})
        for (int left = width; left > 0; left -= 63)
            file += QByteArray(1, char(0xC0 | qMin(left, 63))) + char(value);
    return file;
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

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
    void everyOfferedKindIsRead_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tolerance"); // the lossy kinds come back a little off
        for (const char* name : {"bild.png", "bild.bmp", "bild.gif", "BILD.PCX", "pcx-anders.dat"})
            QTest::newRow(name) << QString(name) << 0;
        for (const char* name : {"bild.jpg", "bild.jpeg", "bild.webp"})
            QTest::newRow(name) << QString(name) << 12;
    }

    void everyOfferedKindIsRead() {
        QFETCH(QString, name);
        QFETCH(int, tolerance);
        const QString path = root() + "/" + name;
        if (name.endsWith(".PCX") || name.endsWith(".dat")) {
            Write(path, Pcx(30, 40, 120, 200));
        } else if (name.endsWith(".gif")) { // Qt reads GIF but does not write it
            Write(path, QByteArray("GIF87a\x1e\x00\x01\x00\x81\x00\x00\x28\x78\xc8\x00\x00\x00"
                                   "\x00\x00\x00\x00\x00\x00\x2c\x00\x00\x00\x00\x1e\x00\x01\x00"
                                   "\x00\x08\x0c\x00\x01\x08\x1c\x48\xb0\xa0\xc1\x83\x02\x03\x02"
                                   "\x00\x3b",
                                   51));
        } else {
            QImage image(30, 1, QImage::Format_RGB32);
            image.fill(QColor(40, 120, 200));
            QImageWriter writer(path);
            QVERIFY2(writer.write(image), qPrintable(writer.errorString()));
        }
        const QImage read = ReadPictureFile(path, kLimit);
        QCOMPARE(read.size(), QSize(30, 1));
        const QColor got = read.pixelColor(15, 0);
        QVERIFY2(qAbs(got.red() - 40) <= tolerance && qAbs(got.green() - 120) <= tolerance &&
                     qAbs(got.blue() - 200) <= tolerance,
                 qPrintable(got.name()));
    }

    void hugePicturesAreReadReducedToTheLimit() {
        const QString jpeg = root() + "/riesig.jpg";
        WriteHugeJpeg(jpeg, 20000);
        // Decoded at full size it would pass Qt's limit for one picture and come back empty.
        const QImage reduced = ReadPictureFile(jpeg, QSize(1920, 1920));
        QCOMPARE(reduced.size(), QSize(1920, 1920));
        QVERIFY(qAbs(qGray(reduced.pixel(960, 960)) - 200) <= 2);
        const QString pcx = root() + "/breit.pcx";
        Write(pcx, Pcx(6000, 9, 8, 7));
        const QImage narrow = ReadPictureFile(pcx, QSize(1920, 1920));
        QCOMPARE(narrow.size(), QSize(1920, 1));
        QCOMPARE(narrow.pixelColor(100, 0), QColor(9, 8, 7));
    }

    void damagedFilesGiveNoPictureAndTheBackgroundStaysQuietlyEmpty() {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage red(40, 40, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.save(&buffer, "PNG");
        const std::vector<std::pair<QString, QByteArray>> damaged = {
            {"halb.png", png.left(png.size() / 2)},     {"kaputt.jpg", QByteArray(500, 'x')},
            {"leer.pcx", Pcx(300, 1, 2, 3).left(128)},  {"notiz.txt", "kein Bild\n"},
            {"halb.pcx", Pcx(300, 1, 2, 3).chopped(4)},
        };
        QStringList paths = {root() + "/fehlt.png", root(), " "};
        for (const auto& [name, content] : damaged) {
            Write(root() + "/" + name, content);
            paths << root() + "/" + name;
        }
        for (const QString& path : paths)
            QVERIFY2(ReadPictureFile(path, kLimit).isNull(), qPrintable(path));

        reg().SetStringValue(HKCU, kRootKey, "BackGround", paths.last().toStdString());
        Form1 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::qWait(50);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        auto* panel = Control<PictureBox>(&w, "Picture5");
        QVERIFY(panel->picture().isNull());
        QCOMPARE(panel->image().pixelColor(20, 20), panel->backColor());
    }
};

GLEICHWART_UI_TEST_MAIN(PictureFileTest)
#include "picture_file_test.moc"
