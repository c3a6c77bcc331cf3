#include "picture_button.h"

#include <QPainter>

PictureButton::PictureButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void PictureButton::setPicture(const QIcon& enabled, const QIcon& disabled, int size,
                               QPoint origin) {
    enabled_ = enabled;
    disabled_ = disabled;
    size_ = size;
    origin_ = origin;
    update();
}

void PictureButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    const QIcon& icon = !isEnabled() && !disabled_.isNull() ? disabled_ : enabled_;
    if (icon.isNull())
        return;
    const QPoint at = isDown() ? origin_ + QPoint(1, 1) : origin_;
    QPainter p(this);
    // Drawn as it is: the disabled look is the disabled picture's own, not a greyed one.
    icon.paint(&p, QRect(at, QSize(size_, size_)), Qt::AlignCenter, QIcon::Normal);
}
