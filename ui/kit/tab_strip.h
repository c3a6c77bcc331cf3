#pragma once

#include <QWidget>

class QTabBar;

// A tab strip: a row of tabs above a pane; the lists it switches between lie on the pane as
// siblings, as they were designed.
class TabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);
    QTabBar* tabs() const { return tabs_; }
    // The totals of the list on view, painted below the tabs.
    void setTotalsText(const QString& text);
    // The tick box whose label "alle auswählen" the strip paints beside it.
    void setSelectAllBox(QWidget* box) { selectAllBox_ = box; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QTabBar* tabs_;
    QString totals_;
    QWidget* selectAllBox_ = nullptr;
};
