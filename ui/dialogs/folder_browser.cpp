#include "folder_browser.h"

#include "folder_listing.h"
#include "folder_tree_model.h"
#include "new_folder.h"
#include "path_status_label.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// Lets hidden entries through only when asked to.
class HiddenEntryFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setShowHidden(bool show) {
        showHidden_ = show;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        return showHidden_ ||
               !sourceModel()->index(row, 0, parent).data(FolderTreeModel::HiddenRole).toBool();
    }

private:
    bool showHidden_ = false;
};

QString PromptText(const FolderBrowserOptions& options) {
    // "$" alone marks the status line for the system's dialog; it is no prompt.
    if (options.withStatusLine && options.prompt == "$")
        return {};
    QString text = options.prompt;
    return text.replace("\r\n", "\n");
}

} // namespace

FolderBrowser::FolderBrowser(const FolderBrowserOptions& options, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("FolderBrowser");
    setWindowTitle(options.caption.isEmpty() ? QString("Ordner suchen") : options.caption);
    const bool rooted = !options.rootFolder.isEmpty() && QFileInfo(options.rootFolder).isDir();
    model_ =
        new FolderTreeModel(rooted ? options.rootFolder : QString(), options.includeFiles, this);
    auto* filter = new HiddenEntryFilter(this);
    filter->setSourceModel(model_);
    filter_ = filter;

    createControls(options);
    layOutControls();
    connectControls();
    connect(showHidden_, &QCheckBox::toggled, this,
            [filter](bool on) { filter->setShowHidden(on); });

    if (options.newStyle) {
        resize(420, 480);
        setMinimumSize(320, 340);
    } else {
        setFixedSize(420, 480);
    }
    selectionChanged();
    tree_->setFocus();
    if (!options.initialFolder.isEmpty())
        selectPath(options.initialFolder);
}

void FolderBrowser::createControls(const FolderBrowserOptions& options) {
    prompt_ = new QLabel(PromptText(options), this);
    prompt_->setObjectName("PromptText");
    prompt_->setVisible(!prompt_->text().isEmpty());
    prompt_->setWordWrap(true);

    tree_ = new QTreeView(this);
    tree_->setObjectName("FolderTree");
    tree_->setModel(filter_);
    tree_->setHeaderHidden(true);
    // Deep folders get a horizontal scroll bar rather than shortened names. The header
    // measures a bounded number of rows, so a huge folder costs no more than a small one.
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tree_->setUniformRowHeights(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);

    showHidden_ = new QCheckBox("Versteckte Ordner anzeigen", this);
    showHidden_->setObjectName("ShowHidden");
    status_ = new PathStatusLabel(this);
    status_->setObjectName("StatusText");
    status_->setVisible(options.withStatusLine);

    newFolder_ = new QPushButton("Neuer Ordner", this);
    newFolder_->setObjectName("NewFolder");
    newFolder_->setVisible(options.newStyle);
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("OK");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Abbrechen", this);
    cancel_->setObjectName("Cancel");
}

void FolderBrowser::layOutControls() {
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(newFolder_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(prompt_);
    layout->addWidget(tree_, 1);
    layout->addWidget(showHidden_);
    layout->addWidget(status_);
    layout->addSpacing(4);
    layout->addLayout(buttons);
}

void FolderBrowser::connectControls() {
    // The selection, not the current entry: the view makes its first entry current when it
    // gets the focus, which chooses nothing.
    connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FolderBrowser::selectionChanged);
    connect(newFolder_, &QPushButton::clicked, this, &FolderBrowser::newFolderClicked);
    connect(ok_, &QPushButton::clicked, this, &FolderBrowser::accept);
    connect(cancel_, &QPushButton::clicked, this, &FolderBrowser::reject);
    connect(model_, &FolderTreeModel::placesCompleted, this, &FolderBrowser::trySelecting);
    connect(model_, &FolderTreeModel::folderLoaded, this, &FolderBrowser::trySelecting);
}

QModelIndex FolderBrowser::selectedIndex() const {
    const QModelIndexList selected = tree_->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.front();
}

QString FolderBrowser::selectedPath() const {
    return selectedIndex().data(FolderTreeModel::PathRole).toString();
}

void FolderBrowser::selectPath(const QString& path) {
    pending_ = path;
    trySelecting();
}

void FolderBrowser::trySelecting() {
    if (pending_.isEmpty() || !model_->placesComplete())
        return;
    const FolderTreeModel::Lookup found = model_->lookUp(pending_);
    if (found.state == FolderTreeModel::Lookup::State::Waiting)
        return;
    pending_.clear();
    if (found.state == FolderTreeModel::Lookup::State::Missing)
        return;
    // A folder asked for by name is shown even when it is a hidden one.
    if (found.throughHidden)
        showHidden_->setChecked(true);
    const QModelIndex index = filter_->mapFromSource(found.index);
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        tree_->expand(up);
    selectingItself_ = true;
    tree_->setCurrentIndex(index);
    selectingItself_ = false;
    tree_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void FolderBrowser::selectionChanged() {
    // The user's own choice wins over a folder still on its way.
    if (!selectingItself_)
        pending_.clear();
    const QModelIndex current = selectedIndex();
    const QString path = selectedPath();
    status_->setPath(path);
    ok_->setEnabled(!path.isEmpty());
    newFolder_->setEnabled(current.data(FolderTreeModel::FolderRole).toBool() &&
                           current.data(FolderTreeModel::ReadableRole).toBool());
}

void FolderBrowser::newFolderClicked() {
    const QModelIndex current = selectedIndex();
    const QString parent = selectedPath();
    if (parent.isEmpty())
        return;
    const QString name = AskAndMakeFolder(this, parent);
    if (name.isEmpty())
        return;
    model_->addFolder(filter_->mapToSource(current), name);
    selectPath(ChildPath(parent, name));
}

void FolderBrowser::accept() {
    chosen_ = WithoutTrailingSlash(selectedPath());
    if (!chosen_.isEmpty())
        QDialog::accept();
}

QString WithoutTrailingSlash(const QString& path) {
    return path.size() > 1 && path.endsWith('/') ? path.chopped(1) : path;
}

QString BrowseForFolder(const QString& prompt, QWidget* owner, const QString& caption,
                        const QString& initialFolder, bool withStatusLine,
                        const QString& rootFolder, bool newStyle, bool includeFiles) {
    FolderBrowser dialog(
        {prompt, caption, initialFolder, withStatusLine, rootFolder, newStyle, includeFiles},
        owner);
    return dialog.exec() == QDialog::Accepted ? dialog.chosenPath() : QString();
}
