#include "run_summary_panel.h"

#include "engine/summary_texts.h"
#include "geometry/layout_rules.h"
#include "kit/controls.h"
#include "kit/text_bytes.h"

#include <QLabel>

#include <iterator>

namespace {

// Each kind of line, in the order of SummaryLine::Kind, as its controls are named.
constexpr const char* kRowNames[] = {
    "Copied", "CopiedBack",  "Trashed",     "DeletedForGood", "Deleted",
    "Failed", "LeftChanged", "FoldersMade", "FoldersRemoved", "Duration"};
constexpr int kRows = int(std::size(kRowNames));
static_assert(kRows == int(SummaryLine::Kind::Duration) + 1, "a name for each kind of line");

// In twips, inside the panel: the first line below the title, the labels' column wide enough
// for "In den Papierkorb verschoben:", the values to the right edge.
constexpr double kFirstTop = 300;
constexpr double kLineStep = 270;
constexpr double kLineHeight = 255;
constexpr double kCaptionLeft = 120;
constexpr double kCaptionWidth = 2655;
constexpr double kValueLeft = 2835;
constexpr double kMargin = 120;
// The panel lies inside the background's frame, this far from its edges.
constexpr double kInset = 120;

double PanelHeight(int lines) {
    return kFirstTop + lines * kLineStep + kMargin;
}

} // namespace

RunSummaryPanel::RunSummaryPanel(QWidget* parent)
    : QGroupBox("Ergebnis der Synchronisierung", parent) {
    setObjectName("RunSummary");
    SetTwips(this, {120 + kInset, 120 + kInset, 7935 - 2 * kInset, PanelHeight(kRows)});
    setAutoFillBackground(true); // it lies over the background's picture
    hide();
    const double valueWidth = 7935 - 2 * kInset - kValueLeft - kMargin;
    for (int i = 0; i < kRows; ++i) {
        const QString name = QString("lblSummary") + kRowNames[i];
        const double top = kFirstTop + i * kLineStep;
        Row row;
        row.caption =
            MakeLabel(this, name, QString(), {kCaptionLeft, top, kCaptionWidth, kLineHeight});
        row.value =
            MakeLabel(this, name + "Value", QString(), {kValueLeft, top, valueWidth, kLineHeight});
        rows_.push_back(row);
    }
}

void RunSummaryPanel::showSummary(const std::vector<SummaryLine>& lines) {
    for (Row& row : rows_) {
        row.caption->hide();
        row.value->hide();
    }
    int shown = 0;
    for (const SummaryLine& line : lines) {
        const Row& row = rows_.at(std::size_t(line.kind));
        const double top = kFirstTop + shown * kLineStep;
        SetTopTwips(row.caption, top);
        SetTopTwips(row.value, top);
        row.caption->setText(Text(line.label));
        row.value->setText(Text(line.value));
        row.caption->show();
        row.value->show();
        ++shown;
    }
    shownLines_ = shown;
    fitHeight();
    show();
    raise();
}

void RunSummaryPanel::applyLayout(const MainLayout& l) {
    if (l.panelsHeight) {
        roomHeight_ = *l.panelsHeight - 2 * kInset;
        fitHeight();
    }
    if (l.panelsWidth && *l.panelsWidth - 2 * kInset > 0) {
        const double width = *l.panelsWidth - 2 * kInset;
        SetWidthTwips(this, width);
        for (Row& row : rows_)
            SetWidthTwips(row.value, qMax(0.0, width - kValueLeft - kMargin));
    }
}

// As high as its lines need, but never below the background's frame in a small window.
void RunSummaryPanel::fitHeight() {
    double height = PanelHeight(shownLines_);
    if (roomHeight_ > 0 && height > roomHeight_)
        height = roomHeight_;
    SetHeightTwips(this, height);
}
