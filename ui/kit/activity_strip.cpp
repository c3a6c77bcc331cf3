#include "activity_strip.h"

#include "twips.h"

#include <QLinearGradient>
#include <QPainter>

#include <cmath>

namespace {

// The strip's picture: soft blue pulses whose pattern repeats every period, so the jump
// back by one period cannot be seen. Drawn once per size; moving it only copies pixels.
class StripImage : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        if (cache_.size() != size())
            cache_ = render(size());
        QPainter p(this);
        p.drawImage(0, 0, cache_);
    }

private:
    static QImage render(QSize size) {
        QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        QPainter p(&image);
        const double period = TwipsToPixelsX(ActivityStrip::kPeriodTwips);
        const QColor base(0xE8, 0xEE, 0xF6);
        const QColor pulse(0x2F, 0x6F, 0xB8);
        for (int x = 0; x < image.width(); ++x) {
            // Three pulses per period, each fading in and out.
            const double phase = std::fmod(x / period * 3.0, 1.0);
            const double strength = std::pow(std::sin(phase * M_PI), 6.0);
            QColor c;
            c.setRgbF(base.redF() + (pulse.redF() - base.redF()) * strength,
                      base.greenF() + (pulse.greenF() - base.greenF()) * strength,
                      base.blueF() + (pulse.blueF() - base.blueF()) * strength);
            p.setPen(c);
            p.drawLine(x, 0, x, image.height());
        }
        QLinearGradient shine(0, 0, 0, image.height());
        shine.setColorAt(0, QColor(255, 255, 255, 110));
        shine.setColorAt(0.5, QColor(255, 255, 255, 0));
        p.fillRect(image.rect(), shine);
        return image;
    }

    QImage cache_;
};

} // namespace

ActivityStrip::ActivityStrip(QWidget* parent) : QFrame(parent), image_(new StripImage(this)) {
    setObjectName("Picture1");
    image_->setObjectName("Image1");
    setFrameShape(QFrame::NoFrame);
    resetImage();
}

double ActivityStrip::imageLeftTwips() const {
    return TwipsOf(image_).left;
}

void ActivityStrip::resetImage() {
    SetTwips(image_, {0, 0, 3.0 * kPeriodTwips, PixelsToTwipsY(qMax(1, height()))});
}

void ActivityStrip::Advance(int steps) {
    // One twip a step; past its left edge the image jumps back by whole periods.
    double left = imageLeftTwips() + steps;
    if (left > 0)
        left -= std::ceil(left / kPeriodTwips) * kPeriodTwips;
    SetLeftTwips(image_, left);
}

void ActivityStrip::resizeEvent(QResizeEvent*) {
    SetHeightTwips(image_, PixelsToTwipsY(height()));
}
