#pragma once

#include <QFrame>
#include <QImage>

// A picture box: its picture shown at natural size in the top-left corner and, beneath
// anything drawn on it, a kept image that survives repaints. Clearing it brings back the
// bare picture.
class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

    // Sizes the box to its picture, as the buffer picture does.
    void setAutoSize(bool on);

    // The inner size in pixels (inside the border), the size the kept image stands for.
    QSize innerSize() const;
    // The kept image, the size of the box at the screen's density (twice the pixels each way
    // on a screen of double density), with the picture and the drawings on it.
    QImage& image();
    void Cls();
    // The picture becomes the current image, so a later Cls keeps what is drawn now.
    void keepImageAsPicture();
    void PaintPicture(const QImage& source, const QRect& target);

    void setBackColor(const QColor& color);
    QColor backColor() const { return backColor_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ensureImage();
    QImage picture_;
    QImage image_;
    QColor backColor_;
    bool autoSize_ = false;
};
