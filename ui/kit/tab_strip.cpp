#include "tab_strip.h"

#include "picture_tab_bar.h"

#include <QEvent>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

TabStrip::TabStrip(QWidget* parent) : QWidget(parent), tabs_(new PictureTabBar(this)) {
    tabs_->setObjectName("TabStrip1Tabs");
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
}

QTabBar* TabStrip::tabs() const {
    return tabs_;
}

void TabStrip::setTabPictures(int index, const QIcon& current, const QIcon& other) {
    tabs_->setTabPictures(index, current, other);
}

void TabStrip::setSelectAllBox(QWidget* box) {
    selectAllBox_ = box;
    box->installEventFilter(this);
}

// The label follows the box's state at once, not only at the strip's next repaint.
bool TabStrip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == selectAllBox_ && event->type() == QEvent::EnabledChange)
        update();
    return QWidget::eventFilter(watched, event);
}

void TabStrip::resizeEvent(QResizeEvent*) {
    tabs_->setGeometry(2, 0, width() - 4, tabs_->sizeHint().height());
}

void TabStrip::setTotalsText(const QString& text) {
    totals_ = text;
    repaint(); // the totals follow every tick at once
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

    const int lineHeight = fontMetrics().height();
    p.setPen(Qt::black);
    p.drawText(QRect(8, 30, width() - 16, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(totals_, Qt::ElideRight, width() - 16));
    if (selectAllBox_ != nullptr) {
        const QRect box = selectAllBox_->geometry();
        p.setPen(selectAllBox_->isEnabled()
                     ? palette().color(QPalette::WindowText)
                     : palette().color(QPalette::Disabled, QPalette::WindowText));
        p.drawText(QRect(box.right() + 6, box.top(), 200, box.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, "alle auswählen");
    }
}
