#include "background_panel.h"

#include "geometry/layout_rules.h"
#include "geometry/soft_frame.h"
#include "kit/picture_file.h"
#include "kit/twips.h"
#include "settings/app_settings.h"

#include <QPainter>

BackgroundPanel::BackgroundPanel(QWidget* parent) : PictureBox(parent) {
    setObjectName("Picture5");
    SetTwips(this, {120, 120, 7935, 5775});
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    stretchBuffer_ = MakeControl<PictureBox>(parent, "PicBuf", {9720, 5520, 1215, 495});
    stretchBuffer_->setAutoSize(true);
    stretchBuffer_->hide();
    // Kept for the text drawing on the tab strip's place; never shown.
    MakeControl<PictureBox>(parent, "DrawTextContainer", {9720, 5520, 1215, 495})->hide();
}

bool BackgroundPanel::load(const AppSettings& settings) {
    noBackground_ = settings.noBackground;
    stretch_ = settings.backgroundResize;
    soft_ = settings.backgroundSoft;
    softWidth_ = settings.softWidth;
    if (softWidth_ < 10 || softWidth_ > 150)
        softWidth_ = 20;
    if (noBackground_)
        return false;
    shown_ = true;
    raise();
    const QString path =
        QString::fromUtf8(settings.background.data(), qsizetype(settings.background.size()));
    // A missing or unreadable picture leaves the panel empty; one larger than the screen is
    // read no larger than the screen.
    const QImage picture = ReadPictureFile(path, ScreenPictureLimit());
    if (stretch_)
        stretchBuffer_->setPicture(picture);
    else
        setPicture(picture);
    return true;
}

void BackgroundPanel::setShown(bool shown) {
    shown_ = shown;
    if (shown)
        raise();
}

void BackgroundPanel::applyLayout(const MainLayout& l) {
    if (l.panelsHeight)
        SetHeightTwips(this, *l.panelsHeight);
    if (l.panelsWidth)
        SetWidthTwips(this, *l.panelsWidth);
}

void BackgroundPanel::paintBackground() {
    if (noBackground_ || !shown_)
        return;
    if (stretch_)
        PaintPicture(stretchBuffer_->picture(), QRect(QPoint(0, 0), innerSize()));
    if (soft_)
        DrawSoftFrame(this, softWidth_);
}

void BackgroundPanel::DrawSoftFrame(PictureBox* P, int N) {
    if (stretch_)
        P->keepImageAsPicture();
    P->Cls();
    const QSize inner = P->innerSize();
    for (const BlendLineCall& line : SoftFrameLines(inner.width(), inner.height(), N))
        BlendLine(P, line.a, line.alpha, line.vertical, line.b, line.length);
}

void BackgroundPanel::BlendLine(PictureBox* P, int a, int alpha, bool vertical, int b, int length) {
    const QSize inner = P->innerSize();
    const PixelRect r =
        BlendLineRect({a, alpha, vertical, b, length}, inner.width(), inner.height());
    if (r.width <= 0 || r.height <= 0)
        return;
    // The window's own colour, the colour of its top-left pixel.
    const QColor colour = window()->palette().color(QPalette::Window);
    QPainter p(&P->image());
    p.setOpacity(alpha / 255.0);
    p.fillRect(QRect(r.x, r.y, r.width, r.height), colour);
    P->update();
}
