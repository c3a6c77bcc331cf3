#include "picture_tab_bar.h"

#include <QPainter>
#include <QStyleOptionTab>

PictureTabBar::PictureTabBar(QWidget* parent) : QTabBar(parent) {}

void PictureTabBar::setTabPictures(int index, const QIcon& current, const QIcon& other) {
    if (index < 0)
        return;
    if (pictures_.size() <= index)
        pictures_.resize(index + 1);
    pictures_[index] = {current, other};
    update();
}

void PictureTabBar::paintEvent(QPaintEvent* event) {
    QTabBar::paintEvent(event);
    QPainter p(this);
    for (int i = 0; i < qMin(count(), int(pictures_.size())); ++i) {
        const QIcon& icon = i == currentIndex() ? pictures_[i].current : pictures_[i].other;
        if (icon.isNull())
            continue;
        // Beside the caption, at the height the style gives the caption of this tab (the
        // current tab stands a little higher than the others).
        QStyleOptionTab option;
        initStyleOption(&option, i);
        const QRect text = style()->subElementRect(QStyle::SE_TabBarTabText, &option, this);
        const QRect tab = tabRect(i);
        const QRect place(tab.left() + 4, text.center().y() - kPictureSize / 2 + 1, kPictureSize,
                          kPictureSize);
        icon.paint(&p, place, Qt::AlignCenter, QIcon::Normal);
    }
}
