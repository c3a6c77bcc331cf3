#include "text_fit.h"

#include "twips.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>

#include <algorithm>

namespace {

// The pixels a caption needs beyond what it has, across and down; none for other controls.
QSize Shortfall(const QWidget* w) {
    const QFontMetrics fm = w->fontMetrics();
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        if (label->text().isEmpty() || label->textFormat() == Qt::RichText)
            return {};
        const QRect room = label->contentsRect();
        if (label->wordWrap())
            return {0, label->heightForWidth(label->width()) - label->height()};
        const QSize text = fm.size(Qt::TextShowMnemonic, label->text());
        return {text.width() - room.width(), text.height() - room.height()};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        if (button->text().isEmpty())
            return {};
        QStyleOptionButton opt;
        opt.initFrom(button);
        opt.text = button->text();
        opt.rect = button->rect();
        const QStyle::SubElement contents =
            qobject_cast<const QCheckBox*>(w) != nullptr      ? QStyle::SE_CheckBoxContents
            : qobject_cast<const QRadioButton*>(w) != nullptr ? QStyle::SE_RadioButtonContents
                                                              : QStyle::SE_PushButtonContents;
        const QRect room = button->style()->subElementRect(contents, &opt, button);
        QSize text = fm.size(Qt::TextShowMnemonic, button->text());
        if (qobject_cast<const QPushButton*>(w) != nullptr && !button->icon().isNull())
            text.rwidth() += button->iconSize().width() + 4;
        return {text.width() - room.width(), text.height() - room.height()};
    }
    if (const auto* box = qobject_cast<const QGroupBox*>(w)) {
        if (box->title().isEmpty())
            return {};
        QStyleOptionGroupBox opt;
        opt.initFrom(box);
        opt.text = box->title();
        opt.rect = box->rect();
        opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect label =
            box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
        // The title keeps the distance to the right edge that it has to the left one.
        return {label.right() + 1 + label.left() - box->width(), 0};
    }
    return {};
}

bool Laid(const QWidget* w) {
    return !w->isWindow() && !w->isHidden() && !w->objectName().startsWith("qt_");
}

QList<QWidget*> LaidChildren(const QWidget* parent) {
    QList<QWidget*> laid;
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w != nullptr && Laid(w))
            laid << w;
    }
    return laid;
}

// Widens `w` by `dx` twips: siblings in its row that start right of it move, those reaching
// across its right edge widen.
void Widen(QWidget* w, double dx, const QList<QWidget*>& siblings) {
    const Twips t = TwipsOf(w);
    const double right = t.left + t.width;
    for (QWidget* s : siblings) {
        const Twips o = TwipsOf(s);
        if (s == w || o.top >= t.top + t.height || o.top + o.height <= t.top)
            continue;
        if (o.left >= right)
            SetLeftTwips(s, o.left + dx);
        else if (o.left + o.width > right && o.left >= t.left)
            SetWidthTwips(s, o.width + dx);
    }
    SetWidthTwips(w, t.width + dx);
}

// Makes `w` taller by `dy` twips: siblings in its column that start below it move down,
// those reaching across its bottom edge grow.
void Heighten(QWidget* w, double dy, const QList<QWidget*>& siblings) {
    const Twips t = TwipsOf(w);
    const double bottom = t.top + t.height;
    for (QWidget* s : siblings) {
        const Twips o = TwipsOf(s);
        if (s == w || o.left >= t.left + t.width || o.left + o.width <= t.left)
            continue;
        if (o.top >= bottom)
            SetTopTwips(s, o.top + dy);
        else if (o.top + o.height > bottom && o.top >= t.top)
            SetHeightTwips(s, o.height + dy);
    }
    SetHeightTwips(w, t.height + dy);
}

QRectF Extent(const QList<QWidget*>& children) {
    QRectF extent;
    for (const QWidget* c : children) {
        const Twips t = TwipsOf(c);
        extent = extent.united(QRectF(t.left, t.top, t.width, t.height));
    }
    return extent;
}

// Fits the captions among `parent`'s children, their own children first; returns the
// twips `parent` must grow by to hold them.
QSizeF FitChildren(QWidget* parent) {
    const QList<QWidget*> children = LaidChildren(parent);
    if (children.isEmpty() || parent->layout() != nullptr)
        return {};
    const QRectF before = Extent(children);
    for (QWidget* c : children) {
        QSizeF grow = FitChildren(c);
        const QSize missing = Shortfall(c);
        grow = grow.expandedTo(QSizeF(missing.width() > 0 ? PixelsToTwipsX(missing.width()) : 0,
                                      missing.height() > 0 ? PixelsToTwipsY(missing.height()) : 0));
        if (grow.width() > 0)
            Widen(c, grow.width(), children);
        if (grow.height() > 0)
            Heighten(c, grow.height(), children);
    }
    const QRectF after = Extent(children);
    return {std::max(0.0, after.right() - before.right()),
            std::max(0.0, after.bottom() - before.bottom())};
}

} // namespace

void FitTexts(QWidget* window) {
    const QSizeF grow = FitChildren(window);
    if (grow.width() <= 0 && grow.height() <= 0)
        return;
    const QSize size(window->width() + TwipsToPixelsX(grow.width()),
                     window->height() + TwipsToPixelsY(grow.height()));
    if (window->minimumSize() == window->maximumSize())
        window->setFixedSize(size);
    else
        window->resize(size);
}
