#include "path_status_label.h"

#include <QEvent>
#include <QFontMetrics>

namespace {
const QString kPrefix = QStringLiteral("Auswahl: ");
}

PathStatusLabel::PathStatusLabel(QWidget* parent) : QLabel(parent) {
    // The label takes the width the window gives it and never asks for more: a long path
    // is shortened, it does not widen the window.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setTextFormat(Qt::PlainText);
}

void PathStatusLabel::setPath(const QString& path) {
    path_ = path;
    showPath();
}

QSize PathStatusLabel::sizeHint() const {
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(kPrefix) + m.left() + m.right(),
            fontMetrics().height() + m.top() + m.bottom()};
}

QSize PathStatusLabel::minimumSizeHint() const {
    return sizeHint();
}

void PathStatusLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showPath();
}

void PathStatusLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        showPath();
}

void PathStatusLabel::showPath() {
    if (path_.isEmpty()) {
        setText({});
        return;
    }
    const QFontMetrics metrics = fontMetrics();
    const int room = contentsRect().width() - metrics.horizontalAdvance(kPrefix);
    setText(kPrefix + metrics.elidedText(path_, Qt::ElideMiddle, qMax(room, 0)));
}
