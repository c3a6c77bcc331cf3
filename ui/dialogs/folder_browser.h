#pragma once

#include <QDialog>

class FolderTreeModel;
class PathStatusLabel;
class QCheckBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTreeView;

struct FolderBrowserOptions {
    // The text above the tree; "\r\n" breaks the line.
    QString prompt;
    QString caption;
    // Selected and shown when the window opens; nothing is selected when it does not exist.
    QString initialFolder;
    bool withStatusLine = true;
    // The only entry at the top instead of the home folder, the file system and the volumes.
    QString rootFolder;
    // Resizable, with "Neuer Ordner"; otherwise a fixed window without it.
    bool newStyle = true;
    bool includeFiles = false;
};

// The folder browser: a tree of the folders (of the files too when asked), "Auswahl: " with
// the selected path below it, "Neuer Ordner", "OK" and "Abbrechen".
class FolderBrowser : public QDialog {
    Q_OBJECT
public:
    explicit FolderBrowser(const FolderBrowserOptions& options, QWidget* owner = nullptr);

    // The path of the selected entry; empty when nothing is selected.
    QString selectedPath() const;
    // What "OK" chose, without a trailing "/"; empty until then.
    const QString& chosenPath() const { return chosen_; }
    // Opens the tree down to `path` and selects it, as soon as its folders are listed; selects
    // nothing if it turns out not to exist.
    void selectPath(const QString& path);
    // True while a selectPath waits for folders to be listed.
    bool isSelecting() const { return !pending_.isEmpty(); }

    void accept() override;

private:
    void createControls(const FolderBrowserOptions& options);
    void layOutControls();
    void connectControls();
    QModelIndex selectedIndex() const;
    void trySelecting();
    void selectionChanged();
    void newFolderClicked();

    FolderTreeModel* model_;
    QSortFilterProxyModel* filter_;
    QLabel* prompt_;
    QTreeView* tree_;
    QCheckBox* showHidden_;
    PathStatusLabel* status_;
    QPushButton* newFolder_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QString pending_;
    bool selectingItself_ = false;
    QString chosen_;
};

// Shows the folder browser modal to `owner`. The chosen path without a trailing "/" ("/"
// stays "/"), or empty text when the user cancels.
QString BrowseForFolder(const QString& prompt, QWidget* owner, const QString& caption,
                        const QString& initialFolder, bool withStatusLine,
                        const QString& rootFolder = {}, bool newStyle = true,
                        bool includeFiles = false);

// `path` without one trailing "/", unless it is "/" itself.
QString WithoutTrailingSlash(const QString& path);
