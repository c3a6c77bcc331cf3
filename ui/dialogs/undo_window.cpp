#include "undo_window.h"

#include "engine/undo_plan.h"
#include "kit/elided_text.h"
#include "kit/error_message.h"
#include "kit/event_pump.h"
#include "kit/file_list_model.h"
#include "kit/text_bytes.h"
#include "kit/twips.h"
#include "undo_left_model.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// One line shortened in the middle to the width the window gives it, the whole line its tool
// tip: a deep folder must not make the window wider than the screen.
class ElidedLine : public QLabel {
public:
    ElidedLine(const QString& line, QWidget* parent) : QLabel(line, parent), line_(line) {
        setTextFormat(Qt::PlainText);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    }
    int wholeWidth() const {
        return fontMetrics().horizontalAdvance(line_) + contentsMargins().left() +
               contentsMargins().right();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        ShowElided(this, line_);
    }

private:
    QString line_;
};

QLabel* BoldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// The warning sign beside a text, as high as a line of it.
QHBoxLayout* WithWarningSign(QLabel* text) {
    auto* sign = new QLabel(text->parentWidget());
    const int side = text->fontMetrics().height();
    sign->setPixmap(sign->style()
                        ->standardIcon(QStyle::SP_MessageBoxWarning)
                        .pixmap(QSize(side, side), sign->devicePixelRatioF()));
    auto* row = new QHBoxLayout;
    row->addWidget(sign, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    return row;
}

} // namespace

// What the engine shows while it works: the status text, the bar in hundredths, and
// "Abbrechen", which the event pump lets through.
class UndoWindow::WorkView final : public UndoView {
public:
    explicit WorkView(UndoWindow& window) : window_(window) {}
    void StatusText(const std::string& text) override { window_.statusText_->setText(Text(text)); }
    void Progress(std::int64_t done, std::int64_t total) override {
        window_.bar_->setValue(total > 0 ? int(done * 100 / total) : 100);
    }
    void PumpEvents() override { PumpPendingEvents(); }
    bool StopRequested() override { return window_.stopRequested_; }

private:
    UndoWindow& window_;
};

UndoWindow::UndoWindow(const UndoPlan& plan, platform::FileOps& ops, QWidget* owner)
    : QDialog(owner), plan_(plan), ops_(ops) {
    setObjectName("UndoWindow");
    setWindowTitle("Letzten Abgleich rückgängig machen");
    setModal(true);
    setSizeGripEnabled(true);
    column_ = new QVBoxLayout(this);
    const int folders = showPlan();
    createWorkControls();
    // Wide enough for the folders within reason and the screen, never narrower than a dialog
    // with this much to say; a deeper folder is shortened.
    const QMargins margins = column_->contentsMargins();
    int wanted = std::clamp(folders + margins.left() + margins.right(), TwipsToPixelsX(7200),
                            TwipsToPixelsX(12000));
    if (const QScreen* s = screen())
        wanted = std::min(wanted, s->availableGeometry().width() * 9 / 10);
    resize(std::max(wanted, sizeHint().width()), sizeHint().height());
}

UndoWindow::~UndoWindow() = default;

// The heading: the run in bold, its folders, and whether it was killed part-way; below it what
// undo does, one line for each kind of action in each tree. Returns the width the folders'
// lines need whole.
int UndoWindow::showPlan() {
    int folders = 0;
    const std::vector<std::string> heading = PlanHeading(plan_);
    for (std::size_t i = 0; i < heading.size(); ++i) {
        const QString line = DisplayPath(heading[i]);
        if (i == 0) {
            QLabel* run = BoldLabel(line, this);
            run->setObjectName("UndoRun");
            run->setWordWrap(true);
            column_->addWidget(run);
        } else if (!plan_.finished && i + 1 == heading.size()) {
            auto* note = new QLabel(line, this);
            note->setObjectName("UndoUnfinished");
            note->setWordWrap(true);
            column_->addLayout(WithWarningSign(note));
        } else {
            auto* folder = new ElidedLine(line, this);
            folder->setObjectName(QString("UndoFolder_%1").arg(i));
            column_->addWidget(folder);
            folders = std::max(folders, folder->wholeWidth());
        }
    }
    column_->addSpacing(TwipsToPixelsY(120));
    QStringList lines;
    for (const UndoGroup& group : PlanGroups(plan_))
        lines << Text(group.line);
    auto* groups =
        new QLabel(lines.isEmpty() ? QString("Dieser Abgleich hat nichts verändert, was sich "
                                             "zurücknehmen ließe.")
                                   : lines.join('\n'),
                   this);
    groups->setObjectName("UndoGroups");
    groups->setTextFormat(Qt::PlainText);
    groups->setIndent(TwipsToPixelsX(240));
    column_->addWidget(groups);
    return folders;
}

// The bar and the status text while undo works, what it did when it ends, and the buttons; all
// but the buttons hidden till they have something to show.
void UndoWindow::createWorkControls() {
    column_->addSpacing(TwipsToPixelsY(120));
    statusText_ = new QLabel(this);
    statusText_->setObjectName("UndoStatus");
    bar_ = new QProgressBar(this);
    bar_->setObjectName("UndoProgress");
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    outcomeText_ = BoldLabel(QString(), this);
    outcomeText_->setObjectName("UndoOutcome");
    summary_ = new QGridLayout;
    summary_->setColumnStretch(2, 1);
    summary_->setHorizontalSpacing(TwipsToPixelsX(360));
    summary_->setVerticalSpacing(0); // the lines as close as those of the plan above
    summary_->setContentsMargins(TwipsToPixelsX(240), 0, 0, 0);
    outcomeNote_ = new QLabel(this);
    outcomeNote_->setObjectName("UndoOutcomeNote");
    outcomeNote_->setWordWrap(true);
    leftCaption_ = new QLabel("Nicht zurückgelegt wurde:", this);
    leftCaption_->setObjectName("UndoLeftCaption");
    leftCaption_->setContentsMargins(0, TwipsToPixelsY(120), 0, 0);
    leftModel_ = new UndoLeftModel(this);
    leftList_ = new QTreeView(this);
    leftList_->setObjectName("UndoLeftList");
    leftList_->setModel(leftModel_);
    leftList_->setRootIsDecorated(false);
    leftList_->setUniformRowHeights(true);
    leftList_->setMinimumHeight(leftList_->fontMetrics().height() * 8);
    leftList_->header()->setStretchLastSection(false);
    for (QWidget* w : std::initializer_list<QWidget*>{statusText_, bar_, outcomeText_, outcomeNote_,
                                                      leftCaption_, leftList_})
        w->hide();
    column_->addWidget(statusText_);
    column_->addWidget(bar_);
    column_->addWidget(outcomeText_);
    column_->addLayout(summary_);
    column_->addWidget(outcomeNote_);
    column_->addWidget(leftCaption_);
    column_->addWidget(leftList_, 1);
    column_->addStretch(0);

    buttons_ = new QDialogButtonBox(this);
    undoButton_ = buttons_->addButton("Rückgängig machen", QDialogButtonBox::AcceptRole);
    undoButton_->setObjectName("UndoStart");
    undoButton_->setDefault(true);
    cancelButton_ = buttons_->addButton("Abbrechen", QDialogButtonBox::RejectRole);
    cancelButton_->setObjectName("UndoCancel");
    column_->addWidget(buttons_);
    connect(undoButton_, &QPushButton::clicked, this, &UndoWindow::undo);
    connect(cancelButton_, &QPushButton::clicked, this, &UndoWindow::reject);
}

void UndoWindow::reject() {
    if (!working_) {
        QDialog::reject();
        return;
    }
    stopRequested_ = true;
    cancelButton_->setEnabled(false);
    statusText_->setText("Wird nach dem aktuellen Eintrag abgebrochen...");
}

void UndoWindow::undo() {
    if (working_ || !outcome_.isEmpty())
        return;
    working_ = true;
    undoButton_->setEnabled(false);
    statusText_->show();
    bar_->show();
    UndoResult result;
    {
        WorkView view(*this);
        result = RunUndo(plan_, ops_, view);
    }
    working_ = false;
    if (!result.refused.empty()) {
        // Nothing was touched, and another try finds the same folders.
        ShowErrorMessage(this, Text(result.refused));
        QDialog::reject();
        return;
    }
    worked_ = true;
    showResult(std::move(result));
}

void UndoWindow::showResult(UndoResult result) {
    statusText_->hide();
    bar_->hide();
    outcome_ =
        result.stopped ? "Rückgängig machen abgebrochen" : "Letzter Abgleich rückgängig gemacht";
    outcomeText_->setText(outcome_);
    outcomeText_->show();
    showSummary(result);
    QString note;
    if (result.stopped)
        note = "Ein weiteres „Letzten Abgleich rückgängig machen“ nimmt den Rest zurück.";
    else if (!result.markedUndone)
        note = "Das Protokoll des Abgleichs konnte nicht als rückgängig gemacht vermerkt werden; "
               "ein weiteres Rückgängigmachen findet nichts mehr zu tun.";
    outcomeNote_->setText(note);
    outcomeNote_->setVisible(!note.isEmpty());
    int listWidth = 0;
    if (!result.left.empty()) {
        leftModel_->setEntries(std::move(result.left));
        leftCaption_->show();
        leftList_->show();
        // Each path and reason whole, the list scrolling sideways where the window is too
        // narrow (the view measures the first thousand rows, not all).
        listWidth =
            2 * leftList_->frameWidth() + leftList_->verticalScrollBar()->sizeHint().width();
        for (int column = 0; column < 2; ++column) {
            leftList_->resizeColumnToContents(column);
            listWidth += leftList_->columnWidth(column);
        }
    }
    undoButton_->hide();
    cancelButton_->setText("Schließen");
    cancelButton_->setEnabled(true);
    cancelButton_->setDefault(true);
    cancelButton_->setFocus();
    // The window grows to what it now shows, within the screen.
    const QMargins margins = column_->contentsMargins();
    QSize wanted = size()
                       .expandedTo(sizeHint())
                       .expandedTo(QSize(listWidth + margins.left() + margins.right(), 0));
    if (const QScreen* s = screen())
        wanted = wanted.boundedTo(s->availableGeometry().size() * 9 / 10);
    resize(wanted);
}

// What was put back, kind by kind, and how much was left: a caption and its number each.
void UndoWindow::showSummary(const UndoResult& result) {
    const std::vector<UndoSummaryLine> lines = UndoSummary(result);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto* caption = new QLabel(Text(lines[i].label), this);
        caption->setObjectName(QString("UndoSummary_%1").arg(i));
        auto* count = new QLabel(QString::number(lines[i].count), this);
        count->setObjectName(QString("UndoSummaryValue_%1").arg(i));
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        summary_->addWidget(caption, int(i), 0);
        summary_->addWidget(count, int(i), 1);
        caption->show();
        count->show();
    }
}
