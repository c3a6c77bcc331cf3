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

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QTabBar* tabs_;
};
