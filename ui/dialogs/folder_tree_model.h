#pragma once

#include <QAbstractItemModel>
#include <QCollator>
#include <QIcon>

#include <memory>
#include <vector>

struct FolderListing;
struct FolderPlace;

// The folder tree of the folder browser. The top level holds the places (the home folder,
// the file system, the mounted volumes) or one given root folder; each folder is listed when
// it is first opened, on a worker thread, so that a huge folder or a hanging mount never
// stops the window. Hidden entries are in the model; a filter in front decides whether
// they show.
class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role { PathRole = Qt::UserRole + 1, HiddenRole, FolderRole, ReadableRole };

    // Where a path stands in what has been listed so far.
    struct Lookup {
        enum class State { Found, Waiting, Missing } state = State::Missing;
        QModelIndex index;
        // The way down passes a hidden folder, or ends at one.
        bool throughHidden = false;
    };

    // `root` empty: the places, the volumes coming a moment later from a worker.
    FolderTreeModel(const QString& root, bool includeFiles, QObject* parent = nullptr);
    ~FolderTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // True once the top level is complete.
    bool placesComplete() const { return placesComplete_; }
    // Follows an absolute path down from the top-level entry it lies in; starts listing the
    // folder where the way ends for now.
    Lookup lookUp(const QString& path);
    // Puts the folder `name`, just made below `parent`, in its place among the others.
    void addFolder(const QModelIndex& parent, const QString& name);

signals:
    void placesCompleted();
    // A folder's listing has arrived (or failed) and is in the model.
    void folderLoaded(const QModelIndex& folder);

private:
    struct Node;
    struct Inbox;

    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node) const;
    QString pathOf(const Node* node) const;
    void addPlaces(const std::vector<FolderPlace>& places);
    void startListing(Node* node);
    void applyListing(Node* node, const FolderListing& listing);
    void insertChildren(Node* node, std::vector<std::unique_ptr<Node>> children, int row);

    std::unique_ptr<Node> root_;
    std::shared_ptr<Inbox> inbox_;
    bool includeFiles_;
    bool placesComplete_ = false;
    QCollator collator_;
    QIcon folderIcon_, lockedIcon_, fileIcon_;
};
