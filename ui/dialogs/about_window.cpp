#include "about_window.h"

#include "kit/hyperlink.h"
#include "kit/twips.h"

#include <QLabel>
#include <QPushButton>

Form5::Form5(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      productLabel_(new QLabel("Halvorn - Softwareengeneering", this)),
      makerLabel_(new QLabel("Bei entdeckten Bugs, Kommentaren oder Verbesserungsideen meine "
                             "E-Mail-Adresse: ",
                             this)),
      authorLink_(new HyperLink(this)), okButton_(new QPushButton("OK", this)) {
    setObjectName("Form5");
    setWindowTitle(" Über Gleichwart");
    setModal(true);
    setFixedSize(TwipsToPixelsX(5145), TwipsToPixelsY(1440));

    productLabel_->setObjectName("Label1");
    // The title is drawn as much larger than the text as in the design (14.25 to 8.25 points).
    QFont title = font();
    title.setPointSizeF(title.pointSizeF() * 14.25 / 8.25);
    title.setBold(true);
    productLabel_->setFont(title);
    SetTwips(productLabel_, {120, 120, 4935, 375});

    makerLabel_->setObjectName("Label2");
    makerLabel_->setWordWrap(true);
    makerLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTwips(makerLabel_, {120, 600, 3135, 495});

    authorLink_->setObjectName("HyperLink1");
    SetTwips(authorLink_, {720, 1080, 1785, 195});
    authorLink_->Refresh();

    okButton_->setObjectName("Command1");
    okButton_->setDefault(true);
    SetTwips(okButton_, {3720, 960, 1215, 375});
    connect(okButton_, &QPushButton::clicked, this, &Form5::Command1_Click);
}

void Form5::Command1_Click() {
    accept();
}
