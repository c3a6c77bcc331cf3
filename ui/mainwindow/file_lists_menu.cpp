// The lists' mouse and keyboard, and the context menu of their files: the program's own items
// beside the desktop's verbs, and what the window does when a verb took a file away.
#include "file_lists_panel.h"

#include "desktop/file_manager.h"
#include "desktop/shell_menu.h"
#include "engine/folder_loading.h"
#include "kit/file_list_model.h"
#include "kit/list_index.h"
#include "kit/twips.h"
#include "platform/file_system.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>

namespace {
// The extra items' indexes in the menu's signals.
constexpr int kTickItem = 0;
constexpr int kFileManagerItem = 1;

bool IsMenuKey(const QKeyEvent* key) {
    return key->key() == Qt::Key_Menu ||
           (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
}
} // namespace

void FileListsPanel::connectMenu() {
    S = new clsShellMenu(this);
    S->setObjectName("S");
    connect(S, &clsShellMenu::CustomItemClicked, this, &FileListsPanel::S_CustomItemClicked);
    connect(S, &clsShellMenu::ItemClickedAfterAction, this,
            &FileListsPanel::S_ItemClickedAfterAction);
    for (QListView* list : {copyList_, deleteList_}) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
    }
}

FileListModel* FileListsPanel::modelOf(const QListView* list) const {
    return list == copyList_ ? copyModel_ : deleteModel_;
}

bool FileListsPanel::eventFilter(QObject* watched, QEvent* event) {
    QListView* list = nullptr;
    for (QListView* l : {copyList_, deleteList_})
        if (watched == l || watched == l->viewport())
            list = l;
    // While a run works through the lists they take no part.
    if (list == nullptr || !list->isEnabled())
        return QWidget::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
         type == QEvent::MouseButtonRelease) &&
        watched == list->viewport()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint p = mouse->position().toPoint();
        const double x = PixelsToTwipsX(p.x());
        const double y = PixelsToTwipsY(p.y());
        // A click beside every entry changes nothing, whatever the button.
        if (ListIndexFromPoint(list, x, y) < 0)
            return true;
        if (type == QEvent::MouseButtonRelease) {
            // Before the list sees the release, which may change the tick: the details then
            // follow the entry clicked, also when it was its tick box.
            if (list == copyList_)
                List1_MouseUp(mouse->button(), mouse->modifiers(), x, y);
            else
                List2_MouseUp(mouse->button(), mouse->modifiers(), x, y);
            return mouse->button() == Qt::RightButton;
        }
    } else if (type == QEvent::ContextMenu) {
        // The mouse opens the menu when its button is let go; the keyboard opens it here.
        if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard)
            openMenu(list, list->currentIndex().row(), true);
        return true;
    } else if (type == QEvent::KeyPress && IsMenuKey(static_cast<QKeyEvent*>(event))) {
        openMenu(list, list->currentIndex().row(), true);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FileListsPanel::List1_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, double X,
                                   double Y) {
    listMouseUp(copyList_, Button, X, Y);
}

void FileListsPanel::List2_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, double X,
                                   double Y) {
    listMouseUp(deleteList_, Button, X, Y);
}

void FileListsPanel::listMouseUp(QListView* list, Qt::MouseButton button, double x, double y) {
    const int index = ListIndexFromPoint(list, x, y);
    if (index < 0)
        return;
    if (list->currentIndex().row() != index)
        list->setCurrentIndex(list->model()->index(index, 0));
    if (button == Qt::RightButton)
        openMenu(list, index, false);
}

void FileListsPanel::openMenu(QListView* list, int row, bool atEntry) {
    const MyFile* r = modelOf(list)->record(row);
    if (r == nullptr)
        return;
    QPoint at; // (0, 0): at the mouse
    if (atEntry) {
        list->scrollTo(list->model()->index(row, 0));
        const QRect entry = list->visualRect(list->model()->index(row, 0));
        at = list->viewport()->mapToGlobal(QPoint(entry.left() + 24, entry.bottom()));
    }
    S->ClearExtraItems();
    S->AddExtraItem(list == copyList_ ? "Kopieren" : "Löschen", 1, true, r->Selected);
    S->AddExtraItem("Im Dateimanager zeigen", 2, true, false);
    S->AddExtraItem("-", 3, true, false);
    S->setTag(row);
    menuList_ = list;
    S->ShellMenu(window(), QByteArray::fromStdString(r->Path()), at.x(), at.y());
}

void FileListsPanel::S_CustomItemClicked(const QVariant& Files, int Index) {
    FileListModel* model = modelOf(menuList_);
    const int row = S->Tag().toInt();
    const MyFile* r = menuList_ != nullptr ? model->record(row) : nullptr;
    if (r == nullptr || Files.toByteArray().toStdString() != r->Path())
        return;
    if (Index == kTickItem) {
        // Through the model, so that the record's Selected, the tick and the totals follow.
        model->setData(model->index(row, 0), r->Selected ? Qt::Unchecked : Qt::Checked,
                       Qt::CheckStateRole);
    } else if (Index == kFileManagerItem) {
        ShowInFileManager(r->Path());
    }
}

void FileListsPanel::S_ItemClickedAfterAction(const QVariant& Files, const QString&) {
    const std::string path = Files.toByteArray().toStdString();
    if (FileExists(platform::RealFileSystem(), path) || menuList_ == nullptr)
        return;
    // The verb deleted, moved or renamed the file: the entry no longer stands for anything.
    FileListModel* model = modelOf(menuList_);
    const int row = S->Tag().toInt();
    const MyFile* r = model->record(row);
    if (r == nullptr || r->Path() != path)
        return;
    model->removeRecord(row);
    emit entryRemoved();
    menuList_ == copyList_ ? List1_Click() : List2_Click();
}
