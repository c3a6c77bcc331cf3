#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

// The copy-error window: the files a run could not copy, source and destination side by
// side in two lists kept in step, and the reason for the selected one.
class Form4 : public QDialog {
    Q_OBJECT
public:
    explicit Form4(QWidget* owner);

    void AddCopyError(const QString& Quelldatei, const QString& Zieldatei, const QString& reason);
    // Gives the list a horizontal scroll range when its widest entry does not fit.
    void SetHScrollbar(QListWidget* list);
    const QStringList& ErrorReasons() const { return reasons_; }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Activate();
    // Keeps the list without the focus in step with the one the user works in.
    void keepListsInStep();
    void List1_Click();

    QStringList reasons_;
    QLabel* explanation_;
    QListWidget* sourceList_;
    QListWidget* destinationList_;
    QLabel* reasonText_;
    QPushButton* okButton_;
};
