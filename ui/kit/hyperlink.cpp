#include "hyperlink.h"

#include "platform/shell_execute.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>

namespace {

short ButtonCode(Qt::MouseButtons buttons) {
    short code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

short ShiftCode(Qt::KeyboardModifiers mods) {
    short code = 0;
    if (mods & Qt::ShiftModifier)
        code |= 1;
    if (mods & Qt::ControlModifier)
        code |= 2;
    if (mods & Qt::AltModifier)
        code |= 4;
    return code;
}

// Window systems without a pointer (the offscreen one) cannot hold the mouse.
bool CanGrabMouse() {
    return QGuiApplication::platformName() != "offscreen";
}

// "*:*" and "www.*" in the sense of a simple wildcard match.
bool LooksLikeAddress(const QString& target) {
    return target.contains(':') || target.startsWith("www.");
}

} // namespace

HyperLink::HyperLink(QWidget* parent) : QWidget(parent), Label1(new QLabel(this)) {
    setObjectName("HyperLink");
    Label1->setObjectName("Label1");
    Label1->setText(kDefaultAddress);
    Label1->setProperty("Tag", QString(kDefaultAddress));
    Label1->setMouseTracking(true);
    Label1->installEventFilter(this);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    Timer1.setInterval(100);
    Timer1.setSingleShot(true);
    setEnabledLink(true);
    Refresh();
}

QFont HyperLink::Font() const {
    return Label1->font();
}

void HyperLink::setFont(const QFont& NewFont) {
    Label1->setFont(NewFont);
    Refresh();
}

QString HyperLink::LinkText() const {
    return Label1->text();
}

void HyperLink::setLinkText(const QString& Text) {
    Label1->setText(Text);
    if (!changed_.contains("LinkText"))
        changed_ << "LinkText";
    Refresh();
}

QString HyperLink::Link() const {
    return Label1->property("Tag").toString();
}

void HyperLink::setLink(const QString& Link) {
    Label1->setProperty("Tag", Link);
    if (!changed_.contains("Link"))
        changed_ << "Link";
}

void HyperLink::setEnabledLink(bool Val) {
    enabled_ = Val;
    const Qt::CursorShape shape = Val ? Qt::PointingHandCursor : Qt::ArrowCursor;
    Label1->setCursor(shape);
    setCursor(shape);
    UserControl_MouseMove(1, 0, -1, -1);
}

void HyperLink::Refresh() {
    if (fitting_)
        return;
    fitting_ = true;
    if (parentWidget() != nullptr) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, parentWidget()->palette().color(QPalette::Window));
        setPalette(pal);
    }
    Label1->adjustSize();
    Label1->move(0, 0);
    resize(Label1->size());
    fitting_ = false;
}

void HyperLink::showNormalLook() {
    QFont f = Label1->font();
    f.setUnderline(false);
    Label1->setFont(f);
    Label1->setStyleSheet(QString("color: %1;").arg(kNormalColour.name()));
}

void HyperLink::showHoverLook() {
    QFont f = Label1->font();
    f.setUnderline(true);
    Label1->setFont(f);
    Label1->setStyleSheet(QString("color: %1;").arg(kHoverColour.name()));
}

void HyperLink::showDisabledLook() {
    QFont f = Label1->font();
    f.setUnderline(false);
    Label1->setFont(f);
    const QColor grey = palette().color(QPalette::Disabled, QPalette::WindowText);
    Label1->setStyleSheet(QString("color: %1;").arg(grey.name()));
}

void HyperLink::UserControl_MouseMove(short Button, short Shift, float X, float Y) {
    if (!enabled_) {
        showDisabledLook();
        return;
    }
    if (Timer1.isActive())
        return;
    emit MouseMove(Button, Shift, X, Y);
    if (X >= 0 && X <= width() && Y >= 0 && Y <= height()) {
        // Holding the mouse lets the control see the move that leaves it.
        if (QWidget::mouseGrabber() != this && isVisible() && CanGrabMouse())
            grabMouse();
        if (!hover_)
            emit MouseIn();
        hover_ = true;
        showHoverLook();
    } else {
        if (QWidget::mouseGrabber() == this)
            releaseMouse();
        if (hover_)
            emit MouseOut();
        hover_ = false;
        showNormalLook();
    }
}

void HyperLink::UserControl_MouseDown(short Button, short Shift, float X, float Y) {
    if (!enabled_)
        return;
    UserControl_MouseMove(1, 0, -1, -1);
    Timer1.start();
    emit MouseDown(Button, Shift, X, Y);
    if (!processAction_)
        return;
    QString target = Link();
    const win::HWND desktop = win::GetDesktopWindow();
    QCoreApplication::processEvents();
    if (LooksLikeAddress(target)) {
        if (target.startsWith("www."))
            target.prepend("http://");
        QCoreApplication::processEvents();
        win::ShellExecuteA(desktop, "Open", target.toStdString(), "", "", win::SW_SHOWMAXIMIZED);
    } else {
        QCoreApplication::processEvents();
        win::ShellExecuteA(desktop, "Open", "mailto:" + target.toStdString(), "", "",
                           win::SW_SHOWNORMAL);
    }
    QCoreApplication::processEvents();
}

void HyperLink::LinkGo() {
    UserControl_MouseDown(1, 0, 0, 0);
}

void HyperLink::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    UserControl_MouseDown(ButtonCode(event->button()), ShiftCode(event->modifiers()), float(p.x()),
                          float(p.y()));
}

void HyperLink::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    emit MouseUp(ButtonCode(event->button()), ShiftCode(event->modifiers()), float(p.x()),
                 float(p.y()));
}

void HyperLink::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    UserControl_MouseMove(ButtonCode(event->buttons()), ShiftCode(event->modifiers()), float(p.x()),
                          float(p.y()));
}

void HyperLink::leaveEvent(QEvent*) {
    // Without a grab (another window took it) the leave is the last word the control hears.
    if (hover_ && QWidget::mouseGrabber() != this)
        UserControl_MouseMove(0, 0, float(width() + 10), float(height() + 10));
}

void HyperLink::focusOutEvent(QFocusEvent*) {
    UserControl_MouseMove(0, 0, float(width() + 10), float(height() + 10));
}

void HyperLink::showEvent(QShowEvent*) {
    Refresh();
}

void HyperLink::resizeEvent(QResizeEvent*) {
    Refresh();
}

bool HyperLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label1 && event->type() == QEvent::MouseMove) {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPointF p = Label1->mapTo(this, me->position());
        UserControl_MouseMove(ButtonCode(me->buttons()), ShiftCode(me->modifiers()), float(p.x()),
                              float(p.y()));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
