#include "text_fit_check.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTextDocument>
#include <QtMath>

namespace {

// The control's name (its class where it has none) after those of its parents in the window.
QString Name(const QWidget* w) {
    const QString own = w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName();
    return w->isWindow() || w->parentWidget() == nullptr ? own
                                                         : Name(w->parentWidget()) + "/" + own;
}

QString Shortfall(const QWidget* w, const QString& text, QSize needed, QSize room) {
    const auto size = [](QSize s) { return QString("%1×%2").arg(s.width()).arg(s.height()); };
    return QString("%1: „%2“ braucht %3, hat %4")
        .arg(Name(w), QString(text).replace('\n', " ⏎ ").left(80), size(needed), size(room));
}

// A label's text as it lays it out: rich text through a document, plain text by lines,
// wrapped at the label's width when it wraps.
QSize LabelNeeds(const QLabel* label, int width) {
    const QString text = label->text();
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument doc;
        doc.setDefaultFont(label->font());
        doc.setDocumentMargin(0);
        doc.setHtml(text);
        if (label->wordWrap())
            doc.setTextWidth(width);
        return QSize(qCeil(label->wordWrap() ? doc.size().width() : doc.idealWidth()),
                     qCeil(doc.size().height()));
    }
    const int flags = Qt::TextShowMnemonic | (label->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect box(0, 0, label->wordWrap() ? width : 100000, 100000);
    return label->fontMetrics().boundingRect(box, flags, text).size();
}

void CheckLabel(const QLabel* label, QStringList& problems) {
    if (label->text().isEmpty())
        return;
    const QRect room = label->contentsRect();
    const int indent = qMax(0, label->indent());
    const QSize needed = LabelNeeds(label, room.width() - indent) + QSize(indent, 0);
    if (needed.boundedTo(room.size()) != needed) // wider or taller than the room
        problems << Shortfall(label, label->text(), needed, room.size());
}

// Push buttons, tick boxes and option buttons: the text, beside a push button's icon, must fit
// the contents area the style leaves, beside the indicator where there is one.
void CheckButton(const QAbstractButton* b, QStringList& problems) {
    if (b->text().isEmpty())
        return;
    const auto* push = qobject_cast<const QPushButton*>(b);
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.rect = b->rect();
    opt.features =
        push != nullptr && push->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
    const QRect room = b->style()->subElementRect(push != nullptr ? QStyle::SE_PushButtonContents
                                                  : qobject_cast<const QRadioButton*>(b) != nullptr
                                                      ? QStyle::SE_RadioButtonContents
                                                      : QStyle::SE_CheckBoxContents,
                                                  &opt, b);
    QSize needed = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
    if (push != nullptr && !b->icon().isNull())
        needed.rwidth() += b->iconSize().width() + 4;
    if (needed.boundedTo(room.size()) != needed)
        problems << Shortfall(b, b->text(), needed, room.size());
}

// A group box title or a tab: its text must fit the room the style gives it, which must lie
// within the control.
void CheckRoom(const QWidget* w, const QString& text, QRect room, QStringList& problems) {
    if (!w->rect().contains(room) || room.width() < w->fontMetrics().horizontalAdvance(text))
        problems << Shortfall(w, text, QSize(room.right() + 1, room.height()), w->size());
}

void CheckGroupBox(const QGroupBox* box, QStringList& problems) {
    if (box->title().isEmpty())
        return;
    QStyleOptionGroupBox opt;
    opt.initFrom(box);
    opt.text = box->title();
    opt.rect = box->rect();
    opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    opt.lineWidth = 1;
    CheckRoom(
        box, box->title(),
        box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box),
        problems);
}

void CheckText(const QWidget* w, QStringList& problems) {
    if (const auto* label = qobject_cast<const QLabel*>(w))
        CheckLabel(label, problems);
    else if (w->inherits("QPushButton") || w->inherits("QCheckBox") || w->inherits("QRadioButton"))
        CheckButton(static_cast<const QAbstractButton*>(w), problems);
    else if (const auto* box = qobject_cast<const QGroupBox*>(w))
        CheckGroupBox(box, problems);
    else if (const auto* bar = qobject_cast<const QTabBar*>(w))
        for (int i = 0; i < bar->count(); ++i)
            CheckRoom(bar, bar->tabText(i), bar->tabRect(i), problems);
}

// A control of the window's own, not a part Qt makes inside a list, a scroll area or a
// combo box.
bool OwnControl(const QWidget* w) {
    return w->isVisible() && !w->isWindow() && !w->objectName().startsWith("qt_") &&
           !w->inherits("QScrollBar") && !w->inherits("QSizeGrip") && !w->inherits("QMenu");
}

// What must be wholly inside its parent to be read; a picture may move behind its frame.
bool CarriesText(const QWidget* w) {
    for (const char* kind : {"QLabel", "QAbstractButton", "QGroupBox", "QTabBar", "QLineEdit",
                             "QComboBox", "QAbstractItemView", "QProgressBar"})
        if (w->inherits(kind))
            return true;
    return false;
}

void CheckPlacement(const QWidget* parent, QStringList& problems) {
    QList<const QWidget*> shown;
    for (const QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (OwnControl(w))
            shown << w;
    for (int i = 0; i < shown.size(); ++i) {
        const QRect a = shown[i]->geometry();
        if (!parent->rect().contains(a) && CarriesText(shown[i]))
            problems << QString("%1 reicht über %2 hinaus").arg(Name(shown[i]), Name(parent));
        for (int j = i + 1; j < shown.size(); ++j) {
            const QRect b = shown[j]->geometry();
            if (a.intersects(b) && !a.contains(b) && !b.contains(a))
                problems << QString("%1 überdeckt %2").arg(Name(shown[i]), Name(shown[j]));
        }
    }
}

void Walk(const QWidget* parent, QStringList& problems) {
    CheckPlacement(parent, problems);
    for (const QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (OwnControl(w)) {
            CheckText(w, problems);
            Walk(w, problems);
        }
}

} // namespace

QStringList TextFitProblems(QWidget* window) {
    QStringList problems;
    Walk(window, problems);
    return problems;
}
