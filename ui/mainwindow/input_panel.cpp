#include "input_panel.h"

#include "dialogs/folder_browser.h"
#include "kit/button_pictures.h"
#include "kit/controls.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

InputPanel::InputPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("Picture6");
    SetTwips(this, {8160, 240, 3375, 4695});
    MakeLabel(this, "Label1", "Startpfad:", {120, 0, 1575, 240});
    startPathBox_ = MakeControl<QLineEdit>(this, "Text1", {120, 240, 2775, 285}, "C:\\BACKUP");
    MakeLabel(this, "Label2", "Zielpfad:", {120, 600, 1095, 240});
    targetPathBox_ = MakeControl<QLineEdit>(this, "Text2", {120, 840, 2775, 285}, "C:\\BACKUP1");
    MakeLabel(this, "Label3", "Regel:", {120, 1200, 1575, 240});
    ruleList_ = MakeControl<QComboBox>(this, "Combo1", {120, 1440, 2775, 315});
    const double buttonTops[3] = {240, 840, 1440};
    for (int i = 0; i < 3; ++i)
        browseButtons_[std::size_t(i)] = MakeControl<QPushButton>(
            this, QString("Command5_%1").arg(i), Twips{3000, buttonTops[i], 375, 255}, "...");
    MakeLine(this, "Line1_0", {120, 1860, 3255, 60});
    loadButton_ =
        MakeControl<PictureButton>(this, "Command1", {120, 2040, 3255, 855}, "    Ordner laden");
    syncButton_ = MakeControl<PictureButton>(this, "Command3", {120, 3000, 3255, 855},
                                             "          Synchronisieren");
    syncButton_->setEnabled(false);
    abortButton_ =
        MakeControl<PictureButton>(this, "Command2", {120, 3960, 3255, 510}, "Abbrechen");
    MakeLine(this, "Line1_1", {120, 4560, 3255, 60});
    connect(startPathBox_, &QLineEdit::textChanged, this, &InputPanel::Text1_Change);
    connect(targetPathBox_, &QLineEdit::textChanged, this, &InputPanel::Text2_Change);
    for (QWidget* w : std::initializer_list<QWidget*>{startPathBox_, targetPathBox_, ruleList_})
        w->installEventFilter(this);
}

bool InputPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // A click does nothing while the button is disabled, as during a load.
            loadButton_->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// A long path can be read whole by resting the mouse on its box.
void InputPanel::Text1_Change() {
    startPathBox_->setToolTip(startPathBox_->text());
}

void InputPanel::Text2_Change() {
    targetPathBox_->setToolTip(targetPathBox_->text());
}

void InputPanel::setLoading(bool loading) {
    ruleList_->setEnabled(!loading);
    loadButton_->setEnabled(!loading);
    browseButtons_[2]->setEnabled(!loading);
}

void InputPanel::setRunControlsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{loadButton_, startPathBox_, targetPathBox_,
                                                      browseButtons_[0], browseButtons_[1],
                                                      browseButtons_[2], ruleList_})
        w->setEnabled(enabled);
}

void InputPanel::chooseFolder(bool startFolder) {
    QLineEdit* box = startFolder ? startPathBox_ : targetPathBox_;
    const QString prompt = startFolder
                               ? "Wählen Sie das Verzeichnis aus, bei dem\r\ndie Synchronisierung "
                                 "gestartet werden soll."
                               : "Wählen Sie das Verzeichnis aus, mit dem\r\nder Startordner "
                                 "synchronisiert werden soll.";
    // The chosen path comes without a trailing "/", except "/" itself.
    const QString folder = BrowseForFolder(
        prompt, window(), startFolder ? "Startordner suchen..." : "Zielordner suchen...",
        box->text(), true);
    if (!folder.isEmpty())
        box->setText(folder);
}

void InputPanel::showPictures(const QString& iconsFolder) {
    SetupLoadButton(loadButton_, iconsFolder);
    SetupAbortButton(abortButton_, iconsFolder);
    SetupSyncButton(syncButton_, iconsFolder);
}
