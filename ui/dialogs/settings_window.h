#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class clsRegistry;

// The settings window: the main window's background picture, whether there is one at all,
// whether it is stretched and whether it gets a soft frame of some width; and whether a run
// keeps the files it replaces in the trash. "OK" stores the values; the close box discards
// them. The main window reads the background at its next start, a run the trash at its start.
class Form2 : public QDialog {
    Q_OBJECT
public:
    Form2(clsRegistry& registry, QWidget* owner);

    void Check2_Click();
    void Check3_Click();
    void Command1_Click();
    void Text1_DblClick();
    void Command2_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void placeBoxOnCaption();
    void Form_Load();

    clsRegistry& registry_;
    QCheckBox* usePictureBox_ = nullptr; // on the frame's caption line
    QGroupBox* frame_ = nullptr;
    QLabel* pathLabel_ = nullptr;
    QLineEdit* pathBox_ = nullptr;
    QPushButton* browseButton_ = nullptr;
    QCheckBox* softFrameBox_ = nullptr;
    QLabel* widthLabel_ = nullptr;
    QLineEdit* widthBox_ = nullptr;
    QCheckBox* stretchBox_ = nullptr;
    QCheckBox* keepReplacedBox_ = nullptr; // below the frame
    QPushButton* okButton_ = nullptr;
};
