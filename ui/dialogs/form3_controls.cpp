// Creates the rule editor's controls with their names, captions and geometry.
#include "form3.h"

#include "kit/twips.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

void Form3::createControls() {
    setFixedSize(TwipsToPixels(7560), TwipsToPixels(5640));

    Label1 = MakeControl<QLabel>(this, "Label1", {120, 120, 2535, 255}, "Regeln:");
    List1 = MakeControl<QListWidget>(this, "List1", {120, 360, 2535, 5160});
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setContextMenuPolicy(Qt::PreventContextMenu);
    Label2 = MakeControl<QLabel>(this, "Label2", {2775, 120, 1095, 255}, "Name:");
    Text1 = MakeControl<QLineEdit>(this, "Text1", {2775, 360, 4665, 285});

    Frame1 =
        MakeControl<QGroupBox>(this, "Frame1", {2775, 720, 4665, 975}, "Startordner -> Zielordner");
    Label3 = MakeControl<QLabel>(Frame1, "Label3", {120, 270, 4425, 255},
                                 "Kopieren, wenn Datei im Zielordner:");
    Combo1 = MakeControl<QComboBox>(Frame1, "Combo1", {120, 540, 4425, 315});

    Frame2 = MakeControl<QGroupBox>(this, "Frame2", {2775, 1800, 4665, 2040},
                                    "     Zielordner -> Startordner");
    Option1 = MakeControl<QRadioButton>(Frame2, "Option1", {120, 300, 4425, 255},
                                        "Kopieren, wenn Datei im Startordner:");
    Combo2 = MakeControl<QComboBox>(Frame2, "Combo2", {360, 570, 4185, 315});
    Option2 = MakeControl<QRadioButton>(Frame2, "Option2", {120, 990, 4425, 255},
                                        "Löschen, wenn Datei im Startordner nicht existiert.");
    Option1->setChecked(true);
    Frame3 = MakeControl<QGroupBox>(Frame2, "Frame3", {360, 1290, 4185, 615});
    Option3 = MakeControl<QRadioButton>(Frame3, "Option3", {120, 90, 3945, 240},
                                        "Datei in den Papierkorb verschieben");
    Option4 = MakeControl<QRadioButton>(Frame3, "Option4", {120, 330, 3945, 240},
                                        "Datei komplett löschen");
    Option3->setChecked(true);
    // Two separate choices, although the second frame lies inside the first.
    auto* direction = new QButtonGroup(this);
    direction->addButton(Option1);
    direction->addButton(Option2);
    auto* deletion = new QButtonGroup(this);
    deletion->addButton(Option3);
    deletion->addButton(Option4);
    // The tick box sits on the frame's caption line, in the room its leading blanks leave;
    // it is not inside the frame, so switching the frame off never switches it off.
    Check1 = MakeControl<QCheckBox>(this, "Check1", {2775 + 60, 1800 - 15, 240, 240});
    Check1->raise();

    Frame4 = MakeControl<QGroupBox>(this, "Frame4", {2775, 3960, 4665, 1095}, "Datei Attribute");
    Check5 = MakeControl<QCheckBox>(Frame4, "Check5", {120, 270, 4425, 240},
                                    "Schreibgechützte Dateien verarbeiten");
    Check4 = MakeControl<QCheckBox>(Frame4, "Check4", {120, 510, 4425, 240},
                                    "Systemdateien verarbeiten");
    Check3 = MakeControl<QCheckBox>(Frame4, "Check3", {120, 750, 4425, 240},
                                    "Versteckte Dateien verarbeiten");
    Check2 =
        MakeControl<QCheckBox>(this, "Check2", {2895, 5160, 2600, 255}, "Unterordner durchsuchen");
    Command1 = MakeControl<QPushButton>(this, "Command1", {6120, 5145, 1320, 375}, "Übernehmen");

    lPopUp = new QMenu(this);
    lPopUp->setObjectName("lPopUp");
    QAction* add = lPopUp->addAction("Neu");
    add->setObjectName("add");
    QAction* edit = lPopUp->addAction("Bearbeiten");
    edit->setObjectName("edit");
    QAction* del = lPopUp->addAction("Löschen");
    del->setObjectName("delete");
    connect(add, &QAction::triggered, this, &Form3::add_Click);
    connect(edit, &QAction::triggered, this, &Form3::edit_Click);
    connect(del, &QAction::triggered, this, &Form3::delete_Click);
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Check1, &QCheckBox::clicked, this, &Form3::Check1_Click);
    connect(Option1, &QRadioButton::clicked, this, &Form3::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Form3::Option1_Click);
    List1->viewport()->installEventFilter(this);
}
