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
class TabStrip;

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

    void List1_Click();
    void List2_Click();
    void Check1_MouseUp();
    void TabStrip1_Click();

    void applyLayout(const MainLayout& layout);

private:
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
};
