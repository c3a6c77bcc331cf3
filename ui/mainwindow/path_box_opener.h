#pragma once

#include <QObject>

#include <initializer_list>

class QLineEdit;

// A double click on a path box opens its folder in the desktop's file manager; an empty box
// opens the home folder. The box keeps its own handling of the click.
class PathBoxOpener : public QObject {
    Q_OBJECT
public:
    // Watches the boxes; the opener lives as long as the first of them.
    static void Install(std::initializer_list<QLineEdit*> boxes);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
