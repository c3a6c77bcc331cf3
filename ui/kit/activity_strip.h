#pragma once

#include <QFrame>

// The activity strip: a picture (Image1) wider than its frame (Picture1) that creeps one
// twip to the right per file found and jumps back by one period, which its content hides.
class ActivityStrip : public QFrame {
    Q_OBJECT
public:
    static constexpr int kPeriodTwips = 4455;

    explicit ActivityStrip(QWidget* parent = nullptr);

    QWidget* image() const { return image_; }
    double imageLeftTwips() const;
    // Moves the image on by `steps` files, one twip each.
    void Advance(int steps = 1);
    void resetImage();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* image_;
    int leftTwips_ = 0; // kept here: the picture moves one twip per file found
};
