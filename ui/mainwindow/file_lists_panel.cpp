#include "file_lists_panel.h"

#include "engine/sync_session.h"
#include "geometry/layout_rules.h"
#include "kit/button_pictures.h"
#include "kit/controls.h"
#include "kit/file_list_model.h"
#include "kit/picture_box.h"
#include "kit/tab_strip.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QTabBar>

namespace {
constexpr const char* kDeleteTabCaption = "    zu löschende Dateien";
}

FileListsPanel::FileListsPanel(QWidget* parent, SyncSession& session)
    : QWidget(parent), session_(session) {
    setObjectName("Picture2");
    SetTwips(this, {120, 120, 7815, 5895});
    setAutoFillBackground(true);
    hide();
    tabStrip_ = MakeControl<TabStrip>(this, "TabStrip1", {0, 0, 7695, 4815});
    tabStrip_->tabs()->addTab("     zu kopierende Dateien");
    copyList_ = MakeControl<QListView>(this, "List1", {120, 720, 7455, 3660});
    deleteList_ = MakeControl<QListView>(this, "List2", {120, 720, 7455, 3660});
    copyModel_ = new FileListModel(this);
    deleteModel_ = new FileListModel(this);
    copyList_->setModel(copyModel_);
    deleteList_->setModel(deleteModel_);
    for (QListView* list : {copyList_, deleteList_}) {
        list->setUniformItemSizes(true);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setTextElideMode(Qt::ElideMiddle);
    }
    deleteList_->hide();
    selectAllBox_ = MakeControl<QCheckBox>(this, "Check1", {120, 4440, 200, 200});
    selectAllBox_->setEnabled(false);
    tabStrip_->setSelectAllBox(selectAllBox_);
    detailsFrame_ = MakeControl<QGroupBox>(this, "Frame2", {0, 4920, 7695, 855});
    detailsFrame_->setFlat(true);
    fileIcon_ = MakeControl<PictureBox>(detailsFrame_, "Picture4", {120, 250, 615, 495});
    detailsText_ = MakeLabel(detailsFrame_, "Label10", QString(), {840, 320, 5775, 420});
    detailsText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    totalsText_ = MakeLabel(this, "Label6", QString(), {5160, 120, 1215, 255});
    totalsText_->hide();

    connect(tabStrip_->tabs(), &QTabBar::currentChanged, this, [this] { TabStrip1_Click(); });
    connect(selectAllBox_, &QCheckBox::clicked, this, &FileListsPanel::Check1_MouseUp);
    connect(copyList_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FileListsPanel::List1_Click);
    connect(deleteList_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FileListsPanel::List2_Click);
    connect(copyModel_, &FileListModel::ticksChanged, this, &FileListsPanel::List1_Click);
    connect(deleteModel_, &FileListModel::ticksChanged, this, &FileListsPanel::List2_Click);
    connectMenu();
}

void FileListsPanel::clearLists() {
    copyModel_->setList(nullptr);
    deleteModel_->setList(nullptr);
}

void FileListsPanel::hideLists() {
    copyList_->hide();
    deleteList_->hide();
}

void FileListsPanel::showLists() {
    copyModel_->setList(&session_.CopyList);
    deleteModel_->setList(&session_.DeleteList);
    for (QListView* list : {copyList_, deleteList_}) {
        if (list->model()->rowCount() > 0)
            list->setCurrentIndex(list->model()->index(0, 0));
    }
    deleteList_->show();
    copyList_->show();
    show();
    raise();
    tabStrip_->tabs()->setCurrentIndex(0);
    copyList_->raise();
    copyList_->setFocus();
    List1_Click();
}

void FileListsPanel::setDeleteTabShown(bool shown) {
    QTabBar* tabs = tabStrip_->tabs();
    if (shown) {
        if (tabs->count() == 1)
            tabs->addTab(kDeleteTabCaption);
    } else if (tabs->count() == 2) {
        tabs->removeTab(1);
        tabs->setCurrentIndex(0);
        TabStrip1_Click();
    }
}

void FileListsPanel::List1_Click() {
    listClick(copyList_, copyModel_, true);
}

void FileListsPanel::List2_Click() {
    listClick(deleteList_, deleteModel_, false);
}

void FileListsPanel::Check1_MouseUp() {
    const int tab = tabStrip_->tabs()->currentIndex();
    QListView* list = tab == 0 ? copyList_ : tab == 1 ? deleteList_ : nullptr;
    FileListModel* model = tab == 0 ? copyModel_ : deleteModel_;
    if (list == nullptr || model->rowCount() == 0)
        return;
    const QModelIndex current = list->currentIndex();
    list->setUpdatesEnabled(false);
    model->setAllSelected(selectAllBox_->isChecked());
    list->setCurrentIndex(current);
    list->setUpdatesEnabled(true);
    list->setFocus();
    tab == 0 ? List1_Click() : List2_Click();
}

void FileListsPanel::TabStrip1_Click() {
    const bool deleteTab = tabStrip_->tabs()->currentIndex() == 1;
    QListView* shown = deleteTab ? deleteList_ : copyList_;
    (deleteTab ? copyList_ : deleteList_)->hide();
    shown->show();
    shown->raise();
    deleteTab ? List2_Click() : List1_Click();
}

void FileListsPanel::setTotalsText(const QString& text) {
    if (totalsText_->text() == text)
        return;
    totalsText_->setText(text);
    tabStrip_->setTotalsText(text);
}

void FileListsPanel::applyLayout(const MainLayout& l) {
    if (l.panelsHeight)
        SetHeightTwips(this, *l.panelsHeight);
    if (l.tabStripHeight)
        SetHeightTwips(tabStrip_, *l.tabStripHeight);
    for (QListView* list : {copyList_, deleteList_}) {
        if (l.listsHeight)
            SetHeightTwips(list, *l.listsHeight);
        if (l.listsWidth)
            SetWidthTwips(list, *l.listsWidth);
    }
    SetTopTwips(selectAllBox_, l.check1Top);
    SetTopTwips(detailsFrame_, l.frame2Top);
    if (l.panelsWidth)
        SetWidthTwips(this, *l.panelsWidth);
    if (l.tabStripWidth)
        SetWidthTwips(tabStrip_, *l.tabStripWidth);
    if (l.frame2Width)
        SetWidthTwips(detailsFrame_, *l.frame2Width);
}

void FileListsPanel::showPictures(const QString& iconsFolder) {
    SetupTabIcons(tabStrip_, iconsFolder);
}
