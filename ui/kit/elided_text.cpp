#include "elided_text.h"

#include <QLabel>
#include <QVariant>

namespace {

constexpr const char* kFullText = "fullText";

} // namespace

void ShowElided(QLabel* label, const QString& full) {
    label->setProperty(kFullText, full);
    const QString shown =
        label->fontMetrics().elidedText(full, Qt::ElideMiddle, label->contentsRect().width());
    label->setText(shown);
    label->setToolTip(shown == full ? QString() : full);
}

void ShowElidedAgain(QLabel* label) {
    ShowElided(label, label->property(kFullText).toString());
}
