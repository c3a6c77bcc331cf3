#pragma once

#include <QPointer>
#include <QWidget>

class PictureTabBar;
class QIcon;
class QTabBar;

// A tab strip: a row of tabs above a pane; the lists it switches between lie on the pane as
// siblings, as they were designed.
class TabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);
    QTabBar* tabs() const;
    // The pictures of tab `index`: `current` while it is the current tab, `other` while not.
    void setTabPictures(int index, const QIcon& current, const QIcon& other);
    // The totals of the list on view, painted below the tabs.
    void setTotalsText(const QString& text);
    // The tick box whose label "alle auswählen" the strip paints beside it, greyed while the
    // box is disabled.
    void setSelectAllBox(QWidget* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    PictureTabBar* tabs_;
    QString totals_;
    QPointer<QWidget> selectAllBox_;
};
