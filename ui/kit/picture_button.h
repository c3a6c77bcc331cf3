#pragma once

#include <QIcon>
#include <QPushButton>

// A button with a picture drawn over it after the button has painted itself, as the big
// buttons of the main window carry them: at a fixed place on its left, beside a caption
// that leaves room for it with leading blanks.
class PictureButton : public QPushButton {
    Q_OBJECT
public:
    explicit PictureButton(const QString& text, QWidget* parent = nullptr);

    // `size` pixels square, its top-left corner at `origin`, one pixel further right and down
    // while the button is held down. `disabled` is drawn while the button is disabled; when it
    // is null, `enabled` is drawn then too. Null icons draw nothing.
    void setPicture(const QIcon& enabled, const QIcon& disabled, int size, QPoint origin);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon enabled_;
    QIcon disabled_;
    int size_ = 0;
    QPoint origin_;
};
