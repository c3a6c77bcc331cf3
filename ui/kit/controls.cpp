#include "controls.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const Twips& g) {
    QLabel* l = MakeControl<QLabel>(parent, name, g, text);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QProgressBar* MakeBar(QWidget* parent, const QString& name, const Twips& g) {
    QProgressBar* bar = MakeControl<QProgressBar>(parent, name, g);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

QFrame* MakeLine(QWidget* parent, const QString& name, const Twips& g) {
    QFrame* line = MakeControl<QFrame>(parent, name, g);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
