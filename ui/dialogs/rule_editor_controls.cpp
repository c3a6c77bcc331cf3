// Creates the rule editor's controls with their names, captions and geometry.
#include "rule_editor.h"

#include "kit/twips.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

void Form3::createControls() {
    setFixedSize(TwipsToPixelsX(7560), TwipsToPixelsY(8460));

    rulesLabel_ = MakeControl<QLabel>(this, "Label1", {120, 120, 2535, 240}, "Regeln:");
    ruleList_ = MakeControl<QListWidget>(this, "List1", {120, 360, 2535, 6015});
    ruleList_->setSelectionMode(QAbstractItemView::SingleSelection);
    ruleList_->setContextMenuPolicy(Qt::PreventContextMenu);
    nameLabel_ = MakeControl<QLabel>(this, "Label2", {2775, 120, 1095, 240}, "Name:");
    nameBox_ = MakeControl<QLineEdit>(this, "Text1", {2775, 360, 4665, 285});

    forwardFrame_ =
        MakeControl<QGroupBox>(this, "Frame1", {2775, 720, 4665, 975}, "Startordner -> Zielordner");
    copyWhenLabel_ = MakeControl<QLabel>(forwardFrame_, "Label3", {120, 270, 4425, 255},
                                         "Kopieren, wenn Datei im Zielordner:");
    copyCondition_ = MakeControl<QComboBox>(forwardFrame_, "Combo1", {120, 540, 4425, 315});

    backwardFrame_ = MakeControl<QGroupBox>(this, "Frame2", {2775, 1800, 4665, 2040},
                                            "     Zielordner -> Startordner");
    copyBackOption_ = MakeControl<QRadioButton>(backwardFrame_, "Option1", {120, 300, 4425, 255},
                                                "Kopieren, wenn Datei im Startordner:");
    copyBackCondition_ = MakeControl<QComboBox>(backwardFrame_, "Combo2", {360, 570, 4185, 315});
    deleteOption_ =
        MakeControl<QRadioButton>(backwardFrame_, "Option2", {120, 990, 4425, 255},
                                  "Löschen, wenn Datei im Startordner nicht existiert.");
    copyBackOption_->setChecked(true);
    deleteFrame_ = MakeControl<QGroupBox>(backwardFrame_, "Frame3", {360, 1290, 4185, 615});
    toTrashOption_ = MakeControl<QRadioButton>(deleteFrame_, "Option3", {120, 90, 3945, 240},
                                               "Datei in den Papierkorb verschieben");
    forGoodOption_ = MakeControl<QRadioButton>(deleteFrame_, "Option4", {120, 330, 3945, 240},
                                               "Datei komplett löschen");
    toTrashOption_->setChecked(true);
    // Two separate choices, although the second frame lies inside the first.
    auto* direction = new QButtonGroup(this);
    direction->addButton(copyBackOption_);
    direction->addButton(deleteOption_);
    auto* deletion = new QButtonGroup(this);
    deletion->addButton(toTrashOption_);
    deletion->addButton(forGoodOption_);
    // The tick box sits on the frame's caption line, in the room its leading blanks leave;
    // it is not inside the frame, so switching the frame off never switches it off.
    backwardBox_ = MakeControl<QCheckBox>(this, "Check1", {2775 + 60, 1800, 240, 240});
    backwardBox_->raise();
    createOptionControls();
    createMenuAndConnections();
}

void Form3::createOptionControls() {
    attributesFrame_ =
        MakeControl<QGroupBox>(this, "Frame4", {2775, 3960, 4665, 1095}, "Datei Attribute");
    readOnlyBox_ = MakeControl<QCheckBox>(attributesFrame_, "Check5", {120, 270, 4425, 240},
                                          "Schreibgechützte Dateien verarbeiten");
    systemBox_ = MakeControl<QCheckBox>(attributesFrame_, "Check4", {120, 510, 4425, 240},
                                        "Systemdateien verarbeiten");
    hiddenBox_ = MakeControl<QCheckBox>(attributesFrame_, "Check3", {120, 750, 4425, 240},
                                        "Versteckte Dateien verarbeiten");
    subfoldersBox_ =
        MakeControl<QCheckBox>(this, "Check2", {2895, 5160, 2600, 255}, "Unterordner durchsuchen");
    // Indented below the subfolders, which it needs.
    matchFoldersBox_ =
        MakeControl<QCheckBox>(this, "chkOrdner", {3135, 5415, 2360, 255}, "Ordner angleichen");
    symbolicLinksBox_ = MakeControl<QCheckBox>(this, "chkVerknuepfungen", {2895, 5670, 4545, 255},
                                               "Symbolische Verknüpfungen übernehmen");
    exclusionsLabel_ =
        MakeControl<QLabel>(this, "lblAusschliessen", {120, 6480, 7320, 240}, "Ausschließen:");
    exclusionsBox_ = MakeControl<QPlainTextEdit>(this, "txtAusschliessen", {120, 6720, 7320, 1020});
    exclusionsBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* hint = MakeControl<QLabel>(
        this, "lblAusschliessenHinweis", {120, 7800, 5880, 540},
        "Ein Muster je Zeile, wie in .gitignore: *.tmp, build/ (nur Ordner), /oben (nur im "
        "obersten Ordner), **/cache, !behalten (nimmt zurück), # Kommentar.");
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    applyButton_ =
        MakeControl<QPushButton>(this, "Command1", {6120, 7860, 1320, 375}, "Übernehmen");
}

void Form3::createMenuAndConnections() {
    ruleMenu_ = new QMenu(this);
    ruleMenu_->setObjectName("lPopUp");
    QAction* add = ruleMenu_->addAction("Neu");
    add->setObjectName("add");
    QAction* edit = ruleMenu_->addAction("Bearbeiten");
    edit->setObjectName("edit");
    QAction* del = ruleMenu_->addAction("Löschen");
    del->setObjectName("delete");
    connect(add, &QAction::triggered, this, &Form3::add_Click);
    connect(edit, &QAction::triggered, this, &Form3::edit_Click);
    connect(del, &QAction::triggered, this, &Form3::delete_Click);
    connect(applyButton_, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(backwardBox_, &QCheckBox::clicked, this, &Form3::Check1_Click);
    connect(copyBackOption_, &QRadioButton::clicked, this, &Form3::Option1_Click);
    connect(deleteOption_, &QRadioButton::clicked, this, &Form3::Option1_Click);
    connect(subfoldersBox_, &QCheckBox::toggled, this, &Form3::Check2_Click);
    ruleList_->viewport()->installEventFilter(this);
}
