#pragma once

#include <QGroupBox>

#include <vector>

struct MainLayout;
struct SummaryLine;
class QLabel;

// "Ergebnis der Synchronisierung": after a run, what it did, at the top of the place of the
// lists, over the background. Each kind of line has a label ("lblSummaryCopied") and a value
// ("lblSummaryCopiedValue") of its own; the lines a run did not need are hidden and the others
// close up. Hidden again when the next load starts.
class RunSummaryPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit RunSummaryPanel(QWidget* parent);

    // Shows `lines` in their order and raises the panel above its neighbours.
    void showSummary(const std::vector<SummaryLine>& lines);
    void applyLayout(const MainLayout& layout);

private:
    void fitHeight();

    struct Row {
        QLabel* caption = nullptr;
        QLabel* value = nullptr;
    };
    std::vector<Row> rows_; // one per SummaryLine::Kind, in its order
    int shownLines_ = 0;
    double roomHeight_ = 0; // below the panel's top, in twips; 0 while not known
};
