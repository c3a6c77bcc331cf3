#pragma once

#include <QLabel>

// A one-line status text "Auswahl: " + a path, the path shortened in the middle to the
// width the label has, again whenever that width changes. Empty without a path.
class PathStatusLabel : public QLabel {
    Q_OBJECT
public:
    explicit PathStatusLabel(QWidget* parent = nullptr);

    void setPath(const QString& path);
    const QString& path() const { return path_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showPath();

    QString path_;
};
