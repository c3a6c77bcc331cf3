#pragma once

#include "kit/picture_button.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;

// The panel on the right: the two path boxes, the rule list, the three "..." buttons and the
// buttons "Ordner laden", "Synchronisieren" and "Abbrechen". It owns its controls; what
// they do is wired by the main window.
class InputPanel : public QWidget {
    Q_OBJECT
public:
    explicit InputPanel(QWidget* parent);

    QLineEdit* startPathBox() const { return startPathBox_; }
    QLineEdit* targetPathBox() const { return targetPathBox_; }
    QComboBox* ruleList() const { return ruleList_; }
    // 0 beside the start path, 1 beside the target path, 2 beside the rule.
    QPushButton* browseButton(int index) const { return browseButtons_[std::size_t(index)]; }
    // The three big buttons carry pictures (Load, Sync, Abort) beside their captions.
    PictureButton* loadButton() const { return loadButton_; }
    PictureButton* syncButton() const { return syncButton_; }
    PictureButton* abortButton() const { return abortButton_; }

    // While a load runs: the rule and "Ordner laden" cannot be used, and the rule editor is
    // closed to it, as it could change the rule under the load.
    void setLoading(bool loading);
    // While a run works every input is locked; "Synchronisieren" is handled by the caller.
    void setRunControlsEnabled(bool enabled);

    // The folder browser for the start or the target path; a chosen folder goes into its box,
    // cancelling leaves the box as it was.
    void chooseFolder(bool startFolder);
    // The pictures of the three big buttons, from the program's Icons folder.
    void showPictures(const QString& iconsFolder);

    void Text1_Change();
    void Text2_Change();

protected:
    // Enter in a path box or on the rule list presses "Ordner laden", while it can be pressed.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* startPathBox_ = nullptr;
    QLineEdit* targetPathBox_ = nullptr;
    QComboBox* ruleList_ = nullptr;
    std::array<QPushButton*, 3> browseButtons_{};
    PictureButton* loadButton_ = nullptr;
    PictureButton* syncButton_ = nullptr;
    PictureButton* abortButton_ = nullptr;
};
