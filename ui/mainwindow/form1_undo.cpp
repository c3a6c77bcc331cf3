// "Letzten Abgleich rückgängig machen...": the menu item and the undo window it opens.
#include "form1.h"

#include "dialogs/undo_window.h"
#include "engine/undo_plan.h"
#include "kit/error_message.h"
#include "kit/text_bytes.h"
#include "sync_presenter.h"

#include <QAction>

void Form1::updateUndoItem() {
    undoAction_->setEnabled(!presenter_->busy() && UndoableRunExists(presenter_->fileOps()));
}

void Form1::mnuRueckgaengig_Click() {
    if (presenter_->busy())
        return;
    platform::FileOps& ops = presenter_->fileOps();
    std::string why;
    const std::optional<UndoPlan> plan = FindUndoableRun(ops, why);
    if (!plan) {
        // The journal went, or cannot be read, since the menu was opened.
        ShowErrorMessage(this, Text(why));
    } else {
        UndoWindow window(*plan, ops, this);
        window.exec();
        if (window.worked())
            presenter_->treesChanged(window.outcome());
    }
    updateUndoItem();
}
