#include "folder_tree_model.h"

#include "engine/copy_errors.h"
#include "folder_listing.h"
#include "folder_places.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPalette>
#include <QStyle>

#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>

struct FolderTreeModel::Node {
    QString name;
    // Only the places keep their path; below them it is made from the names when asked for,
    // which halves what a huge folder costs.
    QString placePath;
    QIcon icon; // only the places carry one of their own
    Node* parent = nullptr;
    int row = 0;
    bool isFolder = true;
    bool hidden = false;
    bool readable = true;
    int error = 0;
    enum class Load { NotLoaded, Loading, Loaded } load = Load::NotLoaded;
    // A folder was made while the listing ran, which may have missed it.
    bool listAgain = false;
    std::vector<std::unique_ptr<Node>> children;
};

// Where the workers hand in their results. Outlives the model: a worker still waiting on a
// hanging mount finds the model gone and drops what it found.
struct FolderTreeModel::Inbox {
    std::mutex mutex;
    FolderTreeModel* model = nullptr;

    // Runs deliver(model) on the model's thread.
    template <typename Deliver> void post(Deliver deliver) {
        std::lock_guard lock(mutex);
        // A queued call to an object that is deleted before it runs is dropped by Qt.
        if (model != nullptr)
            QMetaObject::invokeMethod(
                model, [to = model, deliver = std::move(deliver)] { deliver(to); },
                Qt::QueuedConnection);
    }
};

namespace {

// Detached: nobody waits for a worker stuck on a dead mount, not even the program's end.
template <typename Work> bool RunDetached(Work work) {
    try {
        std::thread(std::move(work)).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

bool IsSameOrBelow(const QString& path, const QString& folder) {
    return folder == "/" || path == folder || path.startsWith(folder + '/');
}

QIcon GreyedIcon(const QIcon& icon) {
    QIcon grey;
    for (int size : {16, 22, 24, 32, 48})
        grey.addPixmap(icon.pixmap(QSize(size, size), QIcon::Disabled));
    return grey;
}

} // namespace

FolderTreeModel::FolderTreeModel(const QString& root, bool includeFiles, QObject* parent)
    : QAbstractItemModel(parent), root_(std::make_unique<Node>()),
      inbox_(std::make_shared<Inbox>()), includeFiles_(includeFiles),
      collator_(QLocale(QLocale::German, QLocale::Germany)) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    collator_.setNumericMode(true);
    folderIcon_ = PlaceIcon(FolderPlace::Kind::Folder);
    lockedIcon_ = QIcon::fromTheme("folder-locked", GreyedIcon(folderIcon_));
    fileIcon_ = QIcon::fromTheme("text-x-generic",
                                 QApplication::style()->standardIcon(QStyle::SP_FileIcon));
    inbox_->model = this;
    root_->load = Node::Load::Loaded;
    if (!root.isEmpty()) {
        const QString name = QFileInfo(QDir::cleanPath(root)).fileName();
        addPlaces({{FolderPlace::Kind::Folder, root, name.isEmpty() ? root : name}});
        placesComplete_ = true;
        return;
    }
    addPlaces(StandardPlaces());
    const bool started = RunDetached([inbox = inbox_] {
        auto volumes = std::make_shared<std::vector<FolderPlace>>(UserVolumes());
        inbox->post([volumes](FolderTreeModel* model) {
            model->addPlaces(*volumes);
            model->placesComplete_ = true;
            emit model->placesCompleted();
        });
    });
    placesComplete_ = !started;
}

FolderTreeModel::~FolderTreeModel() {
    std::lock_guard lock(inbox_->mutex);
    inbox_->model = nullptr;
}

FolderTreeModel::Node* FolderTreeModel::nodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : root_.get();
}

QString FolderTreeModel::pathOf(const Node* node) const {
    return node->parent == root_.get() ? node->placePath
                                       : ChildPath(pathOf(node->parent), node->name);
}

QModelIndex FolderTreeModel::indexOf(const Node* node) const {
    return node == root_.get() ? QModelIndex() : createIndex(node->row, 0, node);
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const Node* p = nodeOf(parent);
    if (column != 0 || row < 0 || row >= int(p->children.size()))
        return {};
    return createIndex(row, 0, p->children[row].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
    return child.isValid() ? indexOf(nodeOf(child)->parent) : QModelIndex();
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
    return parent.column() > 0 ? 0 : int(nodeOf(parent)->children.size());
}

int FolderTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const Node* n = nodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
        return n->name;
    case Qt::DecorationRole:
        if (!n->icon.isNull())
            return n->icon;
        return !n->isFolder ? fileIcon_ : n->readable ? folderIcon_ : lockedIcon_;
    case Qt::ToolTipRole:
        if (n->readable)
            return pathOf(n);
        return pathOf(n) + "\nKein Zugriff auf diesen Ordner: " +
               QString::fromStdString(ErrorDescription(n->error != 0 ? n->error : EACCES));
    case Qt::ForegroundRole:
        if (n->readable)
            return {};
        return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    case PathRole:
        return pathOf(n);
    case HiddenRole:
        return n->hidden;
    case FolderRole:
        return n->isFolder;
    case ReadableRole:
        return n->readable;
    default:
        return {};
    }
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Node* n = nodeOf(index);
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!n->isFolder || !n->readable)
        f |= Qt::ItemNeverHasChildren;
    return f;
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const {
    const Node* n = nodeOf(parent);
    // A folder not listed yet may have subfolders: it offers to be opened until it is listed.
    return n->isFolder && n->readable && (n->load != Node::Load::Loaded || !n->children.empty());
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const {
    const Node* n = nodeOf(parent);
    return n->isFolder && n->readable && n->load == Node::Load::NotLoaded;
}

void FolderTreeModel::fetchMore(const QModelIndex& parent) {
    if (canFetchMore(parent))
        startListing(nodeOf(parent));
}

void FolderTreeModel::startListing(Node* node) {
    node->load = Node::Load::Loading;
    const bool started =
        RunDetached([inbox = inbox_, node, path = pathOf(node), files = includeFiles_] {
            auto listing = std::make_shared<FolderListing>(ListFolder(path, files));
            inbox->post(
                [node, listing](FolderTreeModel* model) { model->applyListing(node, *listing); });
        });
    if (!started)
        node->load = Node::Load::NotLoaded;
}

void FolderTreeModel::applyListing(Node* node, const FolderListing& listing) {
    if (node->listAgain) {
        node->listAgain = false;
        startListing(node);
        return;
    }
    node->load = Node::Load::Loaded;
    const QModelIndex index = indexOf(node);
    if (listing.entries.empty()) {
        node->error = listing.error;
        node->readable = listing.error == 0;
        emit dataChanged(index, index);
    } else {
        std::vector<std::unique_ptr<Node>> children;
        children.reserve(listing.entries.size());
        for (const FolderEntry& e : listing.entries) {
            auto child = std::make_unique<Node>();
            child->name = e.name;
            child->isFolder = e.isFolder;
            child->hidden = e.hidden;
            child->readable = e.readable;
            children.push_back(std::move(child));
        }
        insertChildren(node, std::move(children), 0);
    }
    emit folderLoaded(index);
}

void FolderTreeModel::insertChildren(Node* node, std::vector<std::unique_ptr<Node>> children,
                                     int row) {
    if (children.empty())
        return;
    beginInsertRows(indexOf(node), row, row + int(children.size()) - 1);
    for (auto& child : children)
        child->parent = node;
    node->children.insert(node->children.begin() + row, std::make_move_iterator(children.begin()),
                          std::make_move_iterator(children.end()));
    for (std::size_t i = row; i < node->children.size(); ++i)
        node->children[i]->row = int(i);
    endInsertRows();
}

void FolderTreeModel::addPlaces(const std::vector<FolderPlace>& places) {
    std::vector<std::unique_ptr<Node>> nodes;
    for (const FolderPlace& place : places) {
        const bool known = std::any_of(root_->children.begin(), root_->children.end(),
                                       [&](const auto& n) { return n->placePath == place.path; });
        if (known)
            continue;
        auto node = std::make_unique<Node>();
        node->name = place.name;
        node->placePath = place.path;
        node->icon = PlaceIcon(place.kind);
        nodes.push_back(std::move(node));
    }
    insertChildren(root_.get(), std::move(nodes), int(root_->children.size()));
}

FolderTreeModel::Lookup FolderTreeModel::lookUp(const QString& wanted) {
    Lookup result;
    if (!wanted.startsWith('/'))
        return result;
    const QString path = QDir::cleanPath(wanted);
    // The place that holds the path most closely: the home folder before the file system.
    Node* node = nullptr;
    QString base;
    for (const auto& place : root_->children) {
        const QString p = QDir::cleanPath(place->placePath);
        if (IsSameOrBelow(path, p) && (node == nullptr || p.size() > base.size())) {
            node = place.get();
            base = p;
        }
    }
    if (node == nullptr)
        return result;
    const QStringList parts = path.mid(base.size()).split('/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!node->readable)
            return result;
        if (node->load != Node::Load::Loaded) {
            fetchMore(indexOf(node));
            result.state = Lookup::State::Waiting;
            return result;
        }
        const auto it = std::find_if(node->children.begin(), node->children.end(),
                                     [&](const auto& c) { return c->name == parts[i]; });
        // Only the last part can be a file, when files are shown.
        if (it == node->children.end() || (!(*it)->isFolder && i + 1 < parts.size()))
            return result;
        node = it->get();
        result.throughHidden = result.throughHidden || node->hidden;
    }
    result.state = Lookup::State::Found;
    result.index = indexOf(node);
    return result;
}

void FolderTreeModel::addFolder(const QModelIndex& parent, const QString& name) {
    Node* node = nodeOf(parent);
    if (node->load == Node::Load::Loading)
        node->listAgain = true;
    if (node->load != Node::Load::Loaded)
        return; // the listing to come has it
    auto& children = node->children;
    if (std::any_of(children.begin(), children.end(),
                    [&](const auto& c) { return c->name == name; }))
        return;
    // The same order the listing has: folders first, then by the collation.
    const auto at = std::find_if(children.begin(), children.end(), [&](const auto& c) {
        if (!c->isFolder)
            return true;
        const int order = collator_.compare(name, c->name);
        return order != 0 ? order < 0 : name < c->name;
    });
    auto child = std::make_unique<Node>();
    child->name = name;
    child->hidden = name.startsWith('.');
    std::vector<std::unique_ptr<Node>> one;
    one.push_back(std::move(child));
    insertChildren(node, std::move(one), int(at - children.begin()));
}
