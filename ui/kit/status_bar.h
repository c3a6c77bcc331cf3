#pragma once

#include <QString>
#include <QVector>
#include <QWidget>

// The main window's status bar: panel 1 shows texts, panel 2 hosts the activity strip and
// the loading progress bar on the same place.
class StatusBar : public QWidget {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent = nullptr);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    // The rectangle of panel 1 or 2, in the bar's coordinates.
    QRect panelRect(int panel) const;
    // Keeps `child` fitted into the panel when the bar changes size.
    void hostInPanel(QWidget* child, int panel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitHosted();
    QString text1_;
    QString text2_;
    QVector<QPair<QWidget*, int>> hosted_;
};

// Makes `child` a child of the status bar and fits it into the panel (1 for the first),
// one pixel inside its border.
void PlaceInStatusPanel(QWidget* child, StatusBar* statusBar, int panel);
