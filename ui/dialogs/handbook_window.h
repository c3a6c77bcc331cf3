#pragma once

#include <QWidget>

class QKeyEvent;
class QTextBrowser;
class QUrl;

// "Hilfethemen": the handbook, an HTML file shipped with the program, in a window of its own
// that stays open beside the main window. Links inside the handbook move within it; web and
// mail addresses open with the desktop.
class HandbookWindow : public QWidget {
    Q_OBJECT
public:
    // The handbook the program ships: handbook/handbuch.html in its program folder.
    static QString InstalledFile();
    // Shows `file` in the one handbook window of `owner`: made the first time, raised every
    // time after. False, and no window, when there is no window yet and the file cannot be
    // read.
    static bool Show(QWidget* owner, const QString& file);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    HandbookWindow(QWidget* owner, const QString& file);
    void followLink(const QUrl& link);

    QTextBrowser* browser_;
};
