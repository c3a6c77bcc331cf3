#pragma once

#include <QDialog>

class HyperLink;
class QLabel;
class QPushButton;

// The About window: product, maker and the author's address as a link.
class Form5 : public QDialog {
    Q_OBJECT
public:
    explicit Form5(QWidget* parent = nullptr);
    HyperLink* link() const { return authorLink_; }

private:
    void Command1_Click();

    QLabel* productLabel_;
    QLabel* makerLabel_;
    HyperLink* authorLink_;
    QPushButton* okButton_;
};
