#pragma once

#include <QObject>
#include <QPixmap>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QWidget;
namespace platform {
class FileOps;
}

// The context menu of one file, or of several files of one folder: the applications the
// desktop has for them and the file verbs, with the program's extra items inserted by
// position. The holder learns what was chosen through the three signals; they arrive while
// ShellMenu runs, before it returns.
class clsShellMenu : public QObject {
    Q_OBJECT
public:
    // Shell commands get the numbers from kFirstShellCommand on; extra item i (from 0) gets
    // kFirstExtraCommand + i. An action's data holds its number.
    static constexpr int kFirstShellCommand = 1;
    static constexpr int kLastShellCommand = 32767;
    static constexpr int kFirstExtraCommand = 500;

    explicit clsShellMenu(QObject* parent = nullptr);
    ~clsShellMenu() override;

    // Free for the holder.
    QVariant Tag() const { return tag_; }
    void setTag(const QVariant& tag) { tag_ = tag; }

    // Shows the menu of `Files` (one path, or a list of paths of one folder, each as text or
    // as its bytes) at the screen point X, Y, or at the mouse when both are 0, and carries out
    // what is chosen. True exactly when an entry was chosen; false without any signal when the
    // files cannot be shown (no path, a file that cannot be examined, files of several
    // folders) or when the menu was dismissed.
    bool ShellMenu(QWidget* ParentHwnd, const QVariant& Files, int X = 0, int Y = 0);
    // The same for the entries `names` of the folder `folder` (absolute, ending in "/"); the
    // signals carry the full paths. `fPrompt` has no effect.
    bool ShowShellContextMenu(QWidget* hwndOwner, const std::string& folder,
                              const std::vector<std::string>& names, int X, int Y,
                              bool fPrompt = true);

    // Adds an extra item for every menu of every instance, at the 1-based place `Position`
    // among the items (0, or a place past the end, puts it last). "-" makes a separator.
    // The pictures stand beside it unchecked and checked.
    QVariant AddExtraItem(const QString& Caption, int Position = 0, bool Enabled = true,
                          bool Checked = false, const QPixmap& hBmp = QPixmap(),
                          const QPixmap& hSelectedBmp = QPixmap());
    void ClearExtraItems();

    // The file calls the verbs make: the machine's own unless a test fails them.
    void setFileOps(platform::FileOps& ops) { ops_ = &ops; }

    // For tests: instead of opening the menu, hands it to `choose`, which returns the action
    // to take or nullptr for a dismissed menu. An empty function opens the menu again.
    using MenuChooser = std::function<QAction*(QMenu& menu)>;
    static void setMenuChooser(MenuChooser choose);

signals:
    // A shell command was chosen and has not run yet; setting Cancel stops it.
    void ItemClickedBeforeAction(const QVariant& Files, const QString& Caption, bool& Cancel);
    // A shell command has been carried out, or has failed and told the user why.
    void ItemClickedAfterAction(const QVariant& Files, const QString& Caption);
    // Extra item `Index` (from 0) was chosen; nothing is carried out.
    void CustomItemClicked(const QVariant& Files, int Index);

private:
    struct ShellCommand;
    struct BuiltMenu;
    std::unique_ptr<BuiltMenu> buildMenu(QWidget* owner, const std::string& folder,
                                         const std::vector<std::string>& names) const;
    bool showMenu(QWidget* owner, const std::string& folder, const std::vector<std::string>& names,
                  int X, int Y);
    void runCommand(QWidget* owner, const ShellCommand& command, const std::string& folder,
                    const std::vector<std::string>& names);

    QVariant tag_;
    QVariant files_; // of the current call, handed back in the signals
    platform::FileOps* ops_ = nullptr;
};
