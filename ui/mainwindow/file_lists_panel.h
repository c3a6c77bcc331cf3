#pragma once

#include <QWidget>

struct MainLayout;
struct SyncSession;
class FileListModel;
class PictureBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListView;
class QVariant;
class TabStrip;
class clsShellMenu;

// The two tick lists on their tab strip, "alle auswählen" and the details of the current
// entry below them. The records belong to the session; the lists only show and tick them.
class FileListsPanel : public QWidget {
    Q_OBJECT
public:
    FileListsPanel(QWidget* parent, SyncSession& session);

    // Shows the session's copy and delete lists, the copy list on top with its first entry.
    void showLists();
    // The lists let go of the records, as before a load releases them.
    void clearLists();
    // Hides both lists while a load fills the session.
    void hideLists();
    // The delete tab is there only while the rule deletes on the target.
    void setDeleteTabShown(bool shown);
    QListView* copyList() const { return copyList_; }
    QListView* deleteList() const { return deleteList_; }
    // The context menu of the lists' files.
    clsShellMenu* shellMenu() const { return S; }

    void List1_Click();
    void List2_Click();
    void Check1_MouseUp();
    void TabStrip1_Click();

    // A mouse button let go over a list (x, y in twips, relative to the list's drawing area).
    void List1_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void List2_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y);
    void S_CustomItemClicked(const QVariant& Files, int Index);
    void S_ItemClickedAfterAction(const QVariant& Files, const QString& Caption);

    void applyLayout(const MainLayout& layout);
    // The tab pictures, from the program's Icons folder.
    void showPictures(const QString& iconsFolder);

signals:
    // A file verb of the context menu took an entry off its list: the lists no longer show
    // what the last load found.
    void entryRemoved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectMenu();
    void listMouseUp(QListView* list, Qt::MouseButton button, double x, double y);
    // Opens the context menu of entry `row` of `list`, at the mouse or below the entry.
    void openMenu(QListView* list, int row, bool atEntry);
    FileListModel* modelOf(const QListView* list) const;

    void listClick(QListView* list, FileListModel* model, bool copyList);
    void setTotalsText(const QString& text);

    SyncSession& session_;
    TabStrip* tabStrip_ = nullptr;
    QListView* copyList_ = nullptr;
    QListView* deleteList_ = nullptr;
    FileListModel* copyModel_ = nullptr;
    FileListModel* deleteModel_ = nullptr;
    QCheckBox* selectAllBox_ = nullptr;
    QGroupBox* detailsFrame_ = nullptr;
    PictureBox* fileIcon_ = nullptr;
    QLabel* detailsText_ = nullptr;
    QLabel* totalsText_ = nullptr; // hidden: the strip paints the totals
    clsShellMenu* S = nullptr;
    QListView* menuList_ = nullptr; // the list that opened the last menu
};
