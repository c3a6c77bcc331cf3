#include "picture_box.h"

#include <QPaintEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    backColor_ = palette().color(QPalette::Window);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QImage& picture) {
    picture_ = picture;
    if (autoSize_ && !picture_.isNull())
        resize(picture_.deviceIndependentSize().toSize() + (size() - contentsRect().size()));
    Cls();
}

QSize PictureBox::innerSize() const {
    return contentsRect().size();
}

void PictureBox::setAutoSize(bool on) {
    autoSize_ = on;
    if (autoSize_ && !picture_.isNull())
        resize(picture_.deviceIndependentSize().toSize() + (size() - contentsRect().size()));
}

void PictureBox::setBackColor(const QColor& color) {
    backColor_ = color;
    Cls();
}

void PictureBox::ensureImage() {
    if (image_.isNull() || image_.devicePixelRatio() != devicePixelRatioF() ||
        image_.deviceIndependentSize().toSize() != innerSize().expandedTo(QSize(1, 1)))
        Cls();
}

QImage& PictureBox::image() {
    ensureImage();
    return image_;
}

// The kept image has the screen's density, so what is stretched or drawn on it stays sharp
// on a screen of double density; drawing on it counts in the box's own pixels all the same.
void PictureBox::Cls() {
    const qreal ratio = devicePixelRatioF();
    image_ = QImage(innerSize().expandedTo(QSize(1, 1)) * ratio, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(backColor_);
    if (!picture_.isNull()) {
        QPainter p(&image_);
        p.drawImage(0, 0, picture_);
    }
    update();
}

void PictureBox::keepImageAsPicture() {
    ensureImage();
    picture_ = image_;
}

void PictureBox::PaintPicture(const QImage& source, const QRect& target) {
    if (source.isNull())
        return;
    ensureImage();
    QPainter p(&image_);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, source);
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    ensureImage();
    QFrame::paintEvent(event);
    QPainter p(this);
    const QRect inner = contentsRect();
    p.setClipRect(inner);
    p.drawImage(inner.topLeft(), image_);
}

void PictureBox::resizeEvent(QResizeEvent*) {
    ensureImage();
}
