#include "status_bar.h"

#include "twips.h"

#include <QPainter>
#include <QPointer>

namespace {
constexpr double kPanel2WidthTwips = 4500;
}

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {}

QString StatusBar::panelText(int panel) const {
    return panel == 1 ? text1_ : text2_;
}

void StatusBar::setPanelText(int panel, const QString& text) {
    (panel == 1 ? text1_ : text2_) = text;
    update();
}

QRect StatusBar::panelRect(int panel) const {
    const int w2 = TwipsToPixelsX(kPanel2WidthTwips);
    const int w1 = qMax(0, width() - w2 - 2);
    if (panel == 1)
        return QRect(0, 0, w1, height());
    return QRect(w1 + 2, 0, qMin(w2, width()), height());
}

void StatusBar::hostInPanel(QWidget* child, int panel) {
    hosted_.append({child, panel});
    fitHosted();
}

void StatusBar::fitHosted() {
    for (const auto& [child, panel] : hosted_) {
        if (child != nullptr && child->parentWidget() == this)
            child->setGeometry(panelRect(panel).adjusted(1, 1, -1, -1));
    }
}

void StatusBar::resizeEvent(QResizeEvent*) {
    fitHosted();
}

void StatusBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Window));
    for (int panel = 1; panel <= 2; ++panel) {
        const QRect r = panelRect(panel).adjusted(0, 0, -1, -1);
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        const QString& text = panel == 1 ? text1_ : text2_;
        if (!text.isEmpty()) {
            p.setPen(pal.color(QPalette::WindowText));
            const QRect inner = r.adjusted(4, 1, -4, 0);
            p.drawText(inner, Qt::AlignVCenter | Qt::AlignLeft,
                       fontMetrics().elidedText(text, Qt::ElideMiddle, inner.width()));
        }
    }
}

void PlaceInStatusPanel(QWidget* child, StatusBar* statusBar, int panel) {
    child->setParent(statusBar);
    statusBar->hostInPanel(child, panel);
    child->show();
}
