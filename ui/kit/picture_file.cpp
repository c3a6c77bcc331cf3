#include "picture_file.h"

#include "imaging/pcx_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>

#include <cstring>

namespace {

// Larger than any PCX picture worth showing; a file beyond it is not read into memory.
constexpr qint64 kMaxPcxFileBytes = qint64(256) << 20;

QImage ReadPcxFile(const QString& path, QSize limit) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxPcxFileBytes)
        return {};
    const QByteArray bytes = file.read(kMaxPcxFileBytes);
    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             std::size_t(bytes.size()));
    const auto picture = imaging::ReadPcx(data, limit.width(), limit.height());
    if (!picture)
        return {};
    QImage image(picture->width, picture->height, QImage::Format_RGB888);
    if (image.isNull())
        return {};
    const std::size_t row = std::size_t(picture->width) * 3;
    for (int y = 0; y < picture->height; ++y)
        std::memcpy(image.scanLine(y), picture->rgb.data() + std::size_t(y) * row, row);
    return image;
}

} // namespace

QImage ReadPictureFile(const QString& path, QSize limit) {
    if (path.trimmed().isEmpty() || limit.isEmpty())
        return {};
    if (QFileInfo(path).suffix().compare("pcx", Qt::CaseInsensitive) == 0)
        return ReadPcxFile(path, limit);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead()) // no plugin knows it: perhaps a PCX picture under another name
        return ReadPcxFile(path, limit);
    const QSize natural = reader.size();
    if (natural.isValid() && (natural.width() > limit.width() || natural.height() > limit.height()))
        reader.setScaledSize(natural.scaled(limit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    return reader.read();
}

QSize ScreenPictureLimit() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {imaging::kDefaultPictureLimit, imaging::kDefaultPictureLimit};
    const QSize pixels = screen->size() * screen->devicePixelRatio();
    const int side = qMax(pixels.width(), pixels.height());
    return {side, side};
}
