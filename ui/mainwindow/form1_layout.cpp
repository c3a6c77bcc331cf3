// The main window's resize rules, handed to each panel.
#include "form1.h"

#include "background_panel.h"
#include "file_lists_panel.h"
#include "geometry/layout_rules.h"
#include "input_panel.h"
#include "kit/status_bar.h"
#include "kit/twips.h"
#include "progress_panel.h"
#include "run_summary_panel.h"

#include <QMenuBar>
#include <QPushButton>

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

double Form1::ScaleWidth() const {
    return PixelsToTwipsX(width());
}

double Form1::ScaleHeight() const {
    return PixelsToTwipsY(height() - menuBar()->sizeHint().height());
}

QSize Form1::designedWindowSize() const {
    return {TwipsToPixelsX(kDesignedScaleWidth),
            TwipsToPixelsY(kDesignedScaleHeight) + menuBar()->sizeHint().height()};
}

void Form1::Form_Resize() {
    if (isMinimized() || fileListsPanel_ == nullptr)
        return;
    const double scaleWidth = ScaleWidth();
    const double scaleHeight = ScaleHeight();
    // The status bar keeps to the bottom edge whatever the size.
    SetTwips(statusBar_, {0, scaleHeight - 255, scaleWidth, 255});

    const MainLayout l = ComputeMainLayout(scaleWidth, scaleHeight);
    fileListsPanel_->applyLayout(l);
    backgroundPanel_->applyLayout(l);
    progressPanel_->applyLayout(l);
    summaryPanel_->applyLayout(l);
    SetLeftTwips(inputPanel_, l.picture6Left);

    inputPanel_->loadButton()->update();
    inputPanel_->abortButton()->update();
    backgroundPanel_->paintBackground();
}
