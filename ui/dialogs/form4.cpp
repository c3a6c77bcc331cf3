#include "form4.h"

#include "kit/twips.h"
#include "kit/window_font.h"
#include "kit/window_placement.h"

#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include <cmath>

Form4::Form4(QWidget* owner) : QDialog(owner) {
    setObjectName("Form4");
    setWindowTitle("Kopierfehler");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(TwipsToPixels(7620), TwipsToPixels(5040));
    Label1 =
        MakeControl<QLabel>(this, "Label1", {120, 120, 7380, 495},
                            "Folgende Dateien konnten nicht kopiert werden. Eventuell werden sie "
                            "von anderen Programmen gerade benutzt oder Sie besitzen keine Rechte "
                            "diese Dateien zu kopieren.");
    Label1->setWordWrap(true);
    MakeControl<QLabel>(this, "Label2", {120, 720, 1575, 255}, "Quellpfad:");
    List1 = MakeControl<QListWidget>(this, "List1", {120, 960, 7380, 1455});
    MakeControl<QLabel>(this, "Label3", {120, 2520, 1575, 255}, "Zielpfad:");
    List2 = MakeControl<QListWidget>(this, "List2", {120, 2760, 7380, 1455});
    MakeControl<QLabel>(this, "Label4", {120, 4470, 615, 255}, "Fehler:");
    Label5 = MakeControl<QLabel>(this, "Label5", {780, 4470, 5220, 255});
    Label5->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Command1 = MakeControl<QPushButton>(this, "Command1", {6240, 4380, 1260, 375}, "OK");
    Command1->setDefault(true);
    for (QListWidget* list : {List1, List2}) {
        list->setUniformItemSizes(true);
        list->setTextElideMode(Qt::ElideNone);
    }
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(List1, &QListWidget::currentRowChanged, this, &Form4::List1_Click);
    Timer1.setInterval(1);
    connect(&Timer1, &QTimer::timeout, this, &Form4::Timer1_Timer);
    Timer1.start();
    ApplyTahomaFont(this);
}

void Form4::AddCopyError(const QString& Quelldatei, const QString& Zieldatei,
                         const QString& reason) {
    if (List1->count() == 0)
        reasons_.clear();
    List1->addItem(Quelldatei);
    List2->addItem(Zieldatei);
    reasons_.append(reason);
}

void Form4::List1_Click() {
    const int row = List1->currentRow();
    if (row >= 0 && row < reasons_.size())
        Label5->setText(reasons_[row]);
}

// Keeps the list without the focus in step with the one the user works in.
void Form4::Timer1_Timer() {
    QListWidget* leading = List2->hasFocus() ? List2 : List1;
    QListWidget* other = leading == List1 ? List2 : List1;
    if (other->verticalScrollBar()->value() != leading->verticalScrollBar()->value())
        other->verticalScrollBar()->setValue(leading->verticalScrollBar()->value());
    if (other->currentRow() != leading->currentRow())
        other->setCurrentRow(leading->currentRow());
}

void Form4::SetHScrollbar(QListWidget* list) {
    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (int i = 0; i < list->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(list->item(i)->text()));
    const int needed = widest + 5;
    list->setHorizontalScrollBarPolicy(list->viewport()->width() >= needed ? Qt::ScrollBarAlwaysOff
                                                                           : Qt::ScrollBarAsNeeded);
}

void Form4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void Form4::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void Form4::Form_Activate() {
    PlaceCentredOver(this, parentWidget());
    SetHScrollbar(List1);
    SetHScrollbar(List2);
    if (List1->count() > 0)
        List1->setCurrentRow(0);
}
