#pragma once

#include <QDialog>

class QDialogButtonBox;
class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeView;
class QVBoxLayout;
class UndoLeftModel;
struct UndoPlan;
struct UndoResult;
namespace platform {
class FileOps;
} // namespace platform

// "Letzten Abgleich rückgängig machen": which run, and what undoing it does, kind by kind.
// "Rückgängig machen" works through it with a bar and a status text, and "Abbrechen" (Esc, the
// close box) then stops it after the entry at hand. At the end the window tells what was put
// back and lists what was left with its reason; its one button, "Schließen", closes it.
class UndoWindow : public QDialog {
    Q_OBJECT
public:
    // The plan must outlive the window.
    UndoWindow(const UndoPlan& plan, platform::FileOps& ops, QWidget* owner);
    ~UndoWindow() override;

    // Whether the undo set to work on the trees, to its end or stopped part-way: then the
    // folders the main window loaded are not as it loaded them. Not after a refusal.
    bool worked() const { return worked_; }
    // How the undo ended, for the main window's status bar; empty while it has not.
    const QString& outcome() const { return outcome_; }

    // While the undo works, stops it after the entry at hand; the window stays till it ends.
    void reject() override;

private:
    class WorkView;

    int showPlan();
    void createWorkControls();
    void undo();
    void showResult(UndoResult result);
    void showSummary(const UndoResult& result);

    const UndoPlan& plan_;
    platform::FileOps& ops_;
    bool working_ = false;
    bool stopRequested_ = false;
    bool worked_ = false;
    QString outcome_;

    QVBoxLayout* column_ = nullptr;
    QLabel* statusText_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* outcomeText_ = nullptr;
    QGridLayout* summary_ = nullptr;
    QLabel* outcomeNote_ = nullptr;
    QLabel* leftCaption_ = nullptr;
    QTreeView* leftList_ = nullptr;
    UndoLeftModel* leftModel_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QPushButton* undoButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};
