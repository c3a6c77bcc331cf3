#pragma once

#include <QDialog>

class HyperLink;
class QLabel;
class QPushButton;

// The About window: product, version and licence, the maker and the author's address as a
// link. Its size follows from its texts in the desktop's font.
class Form5 : public QDialog {
    Q_OBJECT
public:
    explicit Form5(QWidget* parent = nullptr);
    HyperLink* link() const { return authorLink_; }

private:
    void createControls();
    void layOut();
    void Command1_Click();

    QLabel* productLabel_;
    QLabel* versionLabel_;
    QLabel* licenceLabel_;
    QLabel* makerLabel_;
    HyperLink* authorLink_;
    QPushButton* okButton_;
};
