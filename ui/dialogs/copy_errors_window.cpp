#include "copy_errors_window.h"

#include "kit/text_fit.h"
#include "kit/twips.h"
#include "kit/window_placement.h"

#include <QApplication>
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
    setFixedSize(TwipsToPixelsX(7620), TwipsToPixelsY(5040));
    explanation_ =
        MakeControl<QLabel>(this, "Label1", {120, 120, 7380, 495},
                            "Folgende Dateien konnten nicht kopiert werden. Eventuell werden sie "
                            "von anderen Programmen gerade benutzt oder Sie besitzen keine Rechte "
                            "diese Dateien zu kopieren.");
    explanation_->setWordWrap(true);
    MakeControl<QLabel>(this, "Label2", {120, 720, 1575, 240}, "Quellpfad:");
    sourceList_ = MakeControl<QListWidget>(this, "List1", {120, 960, 7380, 1455});
    MakeControl<QLabel>(this, "Label3", {120, 2520, 1575, 240}, "Zielpfad:");
    destinationList_ = MakeControl<QListWidget>(this, "List2", {120, 2760, 7380, 1455});
    MakeControl<QLabel>(this, "Label4", {120, 4470, 615, 255}, "Fehler:");
    reasonText_ = MakeControl<QLabel>(this, "Label5", {780, 4470, 5220, 255});
    reasonText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    okButton_ = MakeControl<QPushButton>(this, "Command1", {6240, 4380, 1260, 375}, "OK");
    okButton_->setDefault(true);
    for (QListWidget* list : {sourceList_, destinationList_}) {
        list->setUniformItemSizes(true);
        list->setTextElideMode(Qt::ElideNone);
    }
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(sourceList_, &QListWidget::currentRowChanged, this, &Form4::List1_Click);
    // Whatever moves one list (keys, clicks, the wheel, new rows, a new size) or hands the
    // focus, and so the lead, to the other, brings the lists back in step at once.
    for (QListWidget* list : {sourceList_, destinationList_}) {
        connect(list, &QListWidget::currentRowChanged, this, &Form4::keepListsInStep);
        connect(list->verticalScrollBar(), &QScrollBar::valueChanged, this,
                &Form4::keepListsInStep);
        connect(list->verticalScrollBar(), &QScrollBar::rangeChanged, this,
                &Form4::keepListsInStep);
    }
    connect(qApp, &QApplication::focusChanged, this, &Form4::keepListsInStep);
    FitTexts(this);
}

void Form4::AddCopyError(const QString& Quelldatei, const QString& Zieldatei,
                         const QString& reason) {
    if (sourceList_->count() == 0)
        reasons_.clear();
    sourceList_->addItem(Quelldatei);
    destinationList_->addItem(Zieldatei);
    reasons_.append(reason);
}

void Form4::List1_Click() {
    const int row = sourceList_->currentRow();
    if (row >= 0 && row < reasons_.size())
        reasonText_->setText(reasons_[row]);
}

void Form4::keepListsInStep() {
    QListWidget* leading = destinationList_->hasFocus() ? destinationList_ : sourceList_;
    QListWidget* other = leading == sourceList_ ? destinationList_ : sourceList_;
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
    SetHScrollbar(sourceList_);
    SetHScrollbar(destinationList_);
    if (sourceList_->count() > 0)
        sourceList_->setCurrentRow(0);
}
