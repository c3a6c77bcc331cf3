#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The pictures the program reads: whatever Qt's image plugins read (JPEG, PNG, BMP, GIF,
// WebP …) and PCX through the program's own reader. A picture larger than `limit` is read
// reduced to fit into it, its proportions kept, so a huge file never lies in memory at its
// full size. A file that cannot be read gives a null image, without a message.
QImage ReadPictureFile(const QString& path, QSize limit);

// The largest picture worth reading for the screen: its longer side in device pixels, both
// ways, so a picture turned by its orientation tag fits too.
QSize ScreenPictureLimit();
