#include "form5.h"

#include "kit/hyperlink.h"
#include "kit/twips.h"

#include <QLabel>
#include <QPushButton>

Form5::Form5(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      Label1(new QLabel("Halvorn - Softwareengeneering", this)),
      Label2(new QLabel("Bei entdeckten Bugs, Kommentaren oder Verbesserungsideen meine "
                        "E-Mail-Adresse: ",
                        this)),
      HyperLink1(new HyperLink(this)), Command1(new QPushButton("OK", this)) {
    setObjectName("Form5");
    setWindowTitle(" Über Gleichwart");
    setModal(true);
    setFixedSize(TwipsToPixels(5145), TwipsToPixels(1440));

    Label1->setObjectName("Label1");
    QFont arial("Arial");
    arial.setPointSizeF(14.25);
    arial.setBold(true);
    Label1->setFont(arial);
    SetTwips(Label1, {120, 120, 4935, 375});

    QFont tahoma("Tahoma");
    tahoma.setPointSizeF(8.25);
    Label2->setObjectName("Label2");
    Label2->setFont(tahoma);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTwips(Label2, {120, 600, 3135, 495});

    HyperLink1->setObjectName("HyperLink1");
    HyperLink1->setFont(tahoma);
    SetTwips(HyperLink1, {720, 1080, 1785, 195});
    HyperLink1->Refresh();

    Command1->setObjectName("Command1");
    Command1->setFont(tahoma);
    Command1->setDefault(true);
    SetTwips(Command1, {3720, 960, 1215, 375});
    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
}

void Form5::Command1_Click() {
    accept();
}
