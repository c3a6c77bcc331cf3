// The main window's resize rules and the background picture with its soft frame.
#include "form1.h"

#include "geometry/layout_rules.h"
#include "geometry/soft_frame.h"
#include "kit/activity_strip.h"
#include "kit/picture_box.h"
#include "kit/status_bar.h"
#include "kit/tab_strip.h"
#include "kit/twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QListView>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form1::Form_Resize() {
    if (isMinimized() || Picture2 == nullptr)
        return;
    const double scaleWidth = ScaleWidth();
    const double scaleHeight = ScaleHeight();
    // The status bar keeps to the bottom edge whatever the size.
    SetTwips(StatusBar1, {0, scaleHeight - 255, scaleWidth, 255});

    const MainLayout l = ComputeMainLayout(scaleWidth, scaleHeight);
    QWidget* const panels[] = {Picture2, Picture5, Picture3};
    if (l.panelsHeight)
        for (QWidget* p : panels)
            SetHeightTwips(p, *l.panelsHeight);
    if (l.tabStripHeight)
        SetHeightTwips(TabStrip1, *l.tabStripHeight);
    if (l.listsHeight) {
        SetHeightTwips(List1, *l.listsHeight);
        SetHeightTwips(List2, *l.listsHeight);
    }
    SetTopTwips(Check1, l.check1Top);
    SetTopTwips(Frame2, l.frame2Top);
    if (l.panelsWidth)
        for (QWidget* p : panels)
            SetWidthTwips(p, *l.panelsWidth);
    if (l.tabStripWidth)
        SetWidthTwips(TabStrip1, *l.tabStripWidth);
    if (l.framesWidth) {
        SetWidthTwips(Frame1, *l.framesWidth);
        SetWidthTwips(Frame3, *l.framesWidth);
    }
    if (l.frame2Width)
        SetWidthTwips(Frame2, *l.frame2Width);
    if (l.progressBar3Width)
        SetWidthTwips(ProgressBar3, *l.progressBar3Width);
    if (l.progressBar2Width)
        SetWidthTwips(ProgressBar2, *l.progressBar2Width);
    if (l.listsWidth) {
        SetWidthTwips(List1, *l.listsWidth);
        SetWidthTwips(List2, *l.listsWidth);
    }
    SetLeftTwips(Picture6, l.picture6Left);

    Command1->update();
    Command2->update();
    paintBackground();
}

void Form1::paintBackground() {
    if (NoBackGround || !BackgroundShown)
        return;
    if (Stretch) {
        const QSize inner = Picture5->innerSize();
        Picture5->PaintPicture(PicBuf->picture(), QRect(QPoint(0, 0), inner));
    }
    if (BackGroundSoft)
        DrawSoftFrame(Picture5, SoftWidth);
}

void Form1::DrawSoftFrame(PictureBox* P, int N) {
    if (Stretch)
        P->keepImageAsPicture();
    P->Cls();
    const QSize inner = P->innerSize();
    for (const BlendLineCall& line : SoftFrameLines(inner.width(), inner.height(), N))
        BlendLine(P, line.a, line.alpha, line.vertical, line.b, line.length);
}

void Form1::BlendLine(PictureBox* P, int a, int alpha, bool vertical, int b, int length) {
    const QSize inner = P->innerSize();
    const PixelRect r =
        BlendLineRect({a, alpha, vertical, b, length}, inner.width(), inner.height());
    if (r.width <= 0 || r.height <= 0)
        return;
    // The window's own colour, the colour of its top-left pixel.
    const QColor colour = palette().color(QPalette::Window);
    QPainter p(&P->image());
    p.setOpacity(alpha / 255.0);
    p.fillRect(QRect(r.x, r.y, r.width, r.height), colour);
    P->update();
}
