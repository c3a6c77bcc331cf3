#include "progress_panel.h"

#include "engine/copy_progress.h"
#include "geometry/layout_rules.h"
#include "kit/controls.h"
#include "kit/elided_text.h"
#include "kit/text_bytes.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>

ProgressPanel::ProgressPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("Picture3");
    SetTwips(this, {120, 120, 7935, 5775});
    setAutoFillBackground(true); // it lies over the file-list panel
    hide();
    QLabel* heading = MakeLabel(this, "Label4", "Kopiervorgang:", {0, 120, 1575, 255});
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    currentFileFrame_ =
        MakeControl<QGroupBox>(this, "Frame1", {120, 480, 7815, 1455}, "Aktuelle Datei");
    const char* fileCaptions[3] = {"Dateiname:", "Von:", "Nach:"};
    const char* fileNames[3] = {"lblDateiname", "lblVon", "lblNach"};
    QLabel** fileValues[3] = {&fileNameValue_, &fromValue_, &toValue_};
    for (int i = 0; i < 3; ++i) {
        const double top = 300 + 240 * i;
        MakeLabel(currentFileFrame_, fileNames[i], fileCaptions[i], {120, top, 915, 240});
        *fileValues[i] = MakeLabel(currentFileFrame_, QString("Label8_%1").arg(i), QString(),
                                   {1080, top, 6615, 240});
    }
    MakeLabel(currentFileFrame_, "lblFortschritt", "Fortschritt:", {120, 1080, 915, 255});
    fileBar_ = MakeBar(currentFileFrame_, "ProgressBar3", {1080, 1080, 6615, 255});

    totalFrame_ =
        MakeControl<QGroupBox>(this, "Frame3", {120, 2040, 7815, 2055}, "Gesamtfortschritt");
    totalBar_ = MakeBar(totalFrame_, "ProgressBar2", {120, 360, 7575, 375});
    struct Row {
        const char* leftName;
        const char* leftCaption;
        QLabel** leftValue;
        const char* rightName;
        const char* rightCaption;
        QLabel** rightValue;
    };
    const Row rows[3] = {
        {"lblGeschaetzteDauer", "Geschätzte Dauer:", &estimatedDurationValue_, "lblFertigIn",
         "Fertig in ca.:", &timeLeftValue_},
        {"lblMenge", "Zu kopierende Menge:", &plannedFilesValue_, "lblNochDateien",
         "Noch zu kopieren:", &filesLeftValue_},
        {"lblGroesse", "Zu kopierende Größe:", &plannedSizeValue_, "lblNochGroesse",
         "Noch zu kopieren:", &sizeLeftValue_},
    };
    // The values keep their designed names Label9_0 … Label9_5, row by row, left then right.
    for (int r = 0; r < 3; ++r) {
        const double top = 900 + 300 * r;
        MakeLabel(totalFrame_, rows[r].leftName, rows[r].leftCaption, {120, top, 1695, 255});
        *rows[r].leftValue = MakeLabel(totalFrame_, QString("Label9_%1").arg(2 * r), QString(),
                                       {1860, top, 1980, 255});
        MakeLabel(totalFrame_, rows[r].rightName, rows[r].rightCaption, {3960, top, 1575, 255});
        *rows[r].rightValue = MakeLabel(totalFrame_, QString("Label9_%1").arg(2 * r + 1), QString(),
                                        {5580, top, 2115, 255});
    }
    MakeLabel(totalFrame_, "lblKopiergeschwindigkeit",
              "Kopiergeschwindigkeit:", {120, 1800, 1695, 255});
    speedValue_ = MakeLabel(totalFrame_, "SpeedValue", QString(), {1860, 1800, 1980, 255});
}

void ProgressPanel::setPlannedCopies(const QString& files, const QString& size) {
    plannedFilesValue_->setText(files);
    filesLeftValue_->setText(files);
    plannedSizeValue_->setText(size);
}

void ProgressPanel::setFilesLeft(const QString& files) {
    filesLeftValue_->setText(files);
}

void ProgressPanel::setCurrentFile(const QString& name, const QString& from, const QString& to) {
    // Long names and paths are shortened in the middle, so both ends stay in view.
    ShowElided(fileNameValue_, name);
    ShowElided(fromValue_, from);
    ShowElided(toValue_, to);
}

int ProgressPanel::setProgress(const CopyProgressDisplay& d) {
    fileBar_->setValue(d.fileBar);
    totalBar_->setValue(d.totalBar);
    if (d.estimatedDuration)
        estimatedDurationValue_->setText(Text(*d.estimatedDuration));
    if (d.timeLeft)
        timeLeftValue_->setText(Text(*d.timeLeft));
    if (d.megabytesLeft)
        sizeLeftValue_->setText(Text(*d.megabytesLeft));
    if (d.speed)
        speedValue_->setText(Text(*d.speed));
    return totalBar_->value();
}

void ProgressPanel::applyLayout(const MainLayout& l) {
    if (l.panelsHeight)
        SetHeightTwips(this, *l.panelsHeight);
    if (l.panelsWidth)
        SetWidthTwips(this, *l.panelsWidth);
    if (l.framesWidth) {
        SetWidthTwips(currentFileFrame_, *l.framesWidth);
        SetWidthTwips(totalFrame_, *l.framesWidth);
    }
    if (l.progressBar3Width) {
        // The file's name and paths are as wide as its bar.
        SetWidthTwips(fileBar_, *l.progressBar3Width);
        for (QLabel* value : {fileNameValue_, fromValue_, toValue_}) {
            SetWidthTwips(value, *l.progressBar3Width);
            ShowElidedAgain(value);
        }
    }
    if (l.progressBar2Width)
        SetWidthTwips(totalBar_, *l.progressBar2Width);
}
