#pragma once

#include <QIcon>
#include <QTabBar>
#include <QVector>

// A tab bar whose tabs carry a small picture in the room their captions leave with leading
// blanks: one picture while the tab is the current one and another while it is not.
class PictureTabBar : public QTabBar {
    Q_OBJECT
public:
    static constexpr int kPictureSize = 16;

    explicit PictureTabBar(QWidget* parent = nullptr);

    // The pictures of tab `index`; null icons draw nothing.
    void setTabPictures(int index, const QIcon& current, const QIcon& other);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct TabPictures {
        QIcon current;
        QIcon other;
    };
    QVector<TabPictures> pictures_;
};
