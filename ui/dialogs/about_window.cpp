#include "about_window.h"

#include "engine/texts.h"
#include "kit/hyperlink.h"
#include "kit/twips.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

#ifndef GLEICHWART_VERSION
#error "GLEICHWART_VERSION is set by ui/CMakeLists.txt"
#endif

Form5::Form5(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName("Form5");
    setWindowTitle(" Über Gleichwart");
    setModal(true);
    createControls();
    layOut();
    connect(okButton_, &QPushButton::clicked, this, &Form5::Command1_Click);
}

void Form5::createControls() {
    productLabel_ = new QLabel("Halvorn - Softwareengeneering", this);
    productLabel_->setObjectName("Label1");
    // The title is drawn as much larger than the text as in the design (14.25 to 8.25 points).
    QFont title = font();
    title.setPointSizeF(title.pointSizeF() * 14.25 / 8.25);
    title.setBold(true);
    productLabel_->setFont(title);

    versionLabel_ = new QLabel(QString("Gleichwart, Version %1").arg(GLEICHWART_VERSION), this);
    versionLabel_->setObjectName("lblVersion");
    licenceLabel_ = new QLabel(QString::fromUtf8(kLicenceLine), this);
    licenceLabel_->setObjectName("lblLizenz");

    // Broken where it reads well, not where a font happens to end the line.
    makerLabel_ = new QLabel("Bei entdeckten Bugs, Kommentaren oder Verbesserungsideen\n"
                             "meine E-Mail-Adresse: ",
                             this);
    makerLabel_->setObjectName("Label2");

    authorLink_ = new HyperLink(this);
    authorLink_->setObjectName("HyperLink1");
    // The link sizes itself to its text; the layout keeps that size.
    authorLink_->Refresh();
    authorLink_->setFixedSize(authorLink_->size());

    okButton_ = new QPushButton("OK", this);
    okButton_->setObjectName("Command1");
    okButton_->setDefault(true);
    okButton_->setMinimumWidth(TwipsToPixelsX(1215));
}

// The texts one below the other, the link under them with "OK" beside it; the window takes
// the size its contents ask for.
void Form5::layOut() {
    auto* bottom = new QHBoxLayout;
    bottom->addSpacing(TwipsToPixelsX(600));
    bottom->addWidget(authorLink_, 0, Qt::AlignVCenter);
    bottom->addStretch(1);
    bottom->addWidget(okButton_);

    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    column->addWidget(productLabel_);
    column->addWidget(versionLabel_);
    column->addWidget(licenceLabel_);
    column->addSpacing(TwipsToPixelsY(120));
    column->addWidget(makerLabel_);
    column->addLayout(bottom);
}

void Form5::Command1_Click() {
    accept();
}
