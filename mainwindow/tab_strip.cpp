#include "tab_strip.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

TabStrip::TabStrip(QWidget* parent) : QWidget(parent), tabs_(new QTabBar(this)) {
    tabs_->setObjectName("TabStrip1Tabs");
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
}

void TabStrip::resizeEvent(QResizeEvent*) {
    tabs_->setGeometry(2, 0, width() - 4, tabs_->sizeHint().height());
}

void TabStrip::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionTabWidgetFrame pane;
    pane.initFrom(this);
    const int top = tabs_->sizeHint().height() - 1;
    pane.rect = QRect(0, top, width(), height() - top);
    pane.shape = QTabBar::RoundedNorth;
    pane.tabBarSize = tabs_->sizeHint();
    pane.tabBarRect = tabs_->geometry();
    p.drawPrimitive(QStyle::PE_FrameTabWidget, pane);
}
