#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;

// A text that looks like a web link: blue and underlined while the mouse is over it, and a
// click opens its target with the desktop, as a web address or as an e-mail address.
class HyperLink : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString LinkText READ LinkText WRITE setLinkText)
    Q_PROPERTY(QString Link READ Link WRITE setLink)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledLink)
    Q_PROPERTY(bool ProcessAction READ ProcessAction WRITE setProcessAction)
public:
    static constexpr const char* kDefaultAddress = "gleichwart@halvorn-soft.de";
    static inline const QColor kNormalColour{1, 142, 248};
    static inline const QColor kHoverColour{0, 0, 255};

    explicit HyperLink(QWidget* parent = nullptr);

    QFont Font() const;
    void setFont(const QFont& NewFont);
    bool Enabled() const { return enabled_; }
    void setEnabledLink(bool Val);
    bool ProcessAction() const { return processAction_; }
    void setProcessAction(bool Val) { processAction_ = Val; }
    QString LinkText() const;
    void setLinkText(const QString& Text);
    QString Link() const;
    void setLink(const QString& Link);
    // Names of the properties changed since the control was made.
    const QStringList& changedProperties() const { return changed_; }

    void LinkGo();
    void Refresh();

    QLabel* label() const { return Label1; }
    bool isHovering() const { return hover_; }
    bool isLocked() const { return Timer1.isActive(); }

signals:
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);
    void MouseMove(short Button, short Shift, float X, float Y);
    void MouseIn();
    void MouseOut();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UserControl_MouseMove(short Button, short Shift, float X, float Y);
    void UserControl_MouseDown(short Button, short Shift, float X, float Y);
    void showNormalLook();
    void showHoverLook();
    void showDisabledLook();

    QLabel* Label1;
    QTimer Timer1;
    bool enabled_ = true;
    bool processAction_ = true;
    bool hover_ = false;
    bool fitting_ = false;
    QStringList changed_;
};
