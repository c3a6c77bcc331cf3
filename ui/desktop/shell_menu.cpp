#include "shell_menu.h"

#include "app_database.h"
#include "kit/error_message.h"
#include "platform/file_ops.h"
#include "shell_verbs.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QMenu>
#include <QStyle>

#include <algorithm>
#include <filesystem>

namespace {

// One extra item as the holder registered it.
struct ExtraItem {
    int Position = 0;
    QString Caption;
    bool Enabled = true;
    bool Checked = false;
    QPixmap hBmp;
    QPixmap hSelectedBmp;
};

// Shared by every instance; one record with an empty caption means no extra items.
std::vector<ExtraItem>& ExtraItems() {
    static std::vector<ExtraItem> items(1);
    return items;
}

clsShellMenu::MenuChooser& Chooser() {
    static clsShellMenu::MenuChooser choose;
    return choose;
}

// Far more applications than any file type has; the numbers stay below the extra items'.
constexpr std::size_t kMostApplications = 400;

enum class Verb { Open, Rename, Trash, Delete, Properties };

// The paths of `Files`: one text or bytes, or a list of them; empty for anything else.
std::vector<std::string> PathsOf(const QVariant& files) {
    std::vector<std::string> paths;
    const auto add = [&](const QVariant& v) {
        if (v.typeId() == QMetaType::QByteArray)
            paths.push_back(v.toByteArray().toStdString());
        else if (v.typeId() == QMetaType::QString)
            paths.push_back(QFile::encodeName(v.toString()).toStdString());
        else
            return false;
        return true;
    };
    if (files.typeId() == QMetaType::QStringList || files.typeId() == QMetaType::QByteArrayList ||
        files.typeId() == QMetaType::QVariantList) {
        for (const QVariant& v : files.toList())
            if (!add(v))
                return {};
    } else {
        add(files);
    }
    return paths;
}

QString EscapedForMenu(QString text) {
    return text.replace('&', "&&");
}

QIcon VerbIcon(const char* themeName, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(themeName, QApplication::style()->standardIcon(fallback));
}

void InsertExtraItem(QMenu& menu, const ExtraItem& item, int command) {
    auto* action = new QAction(&menu);
    if (item.Caption == "-") {
        action->setSeparator(true);
    } else {
        action->setText(item.Caption);
        if (item.Checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        if (!item.hBmp.isNull() || !item.hSelectedBmp.isNull()) {
            QIcon icon;
            icon.addPixmap(item.hBmp, QIcon::Normal, QIcon::Off);
            icon.addPixmap(item.hSelectedBmp.isNull() ? item.hBmp : item.hSelectedBmp,
                           QIcon::Normal, QIcon::On);
            action->setIcon(icon);
        }
    }
    action->setEnabled(item.Enabled);
    action->setData(command);
    const QList<QAction*> actions = menu.actions();
    const int place = item.Position - 1;
    menu.insertAction(place >= 0 && place < actions.size() ? actions[place] : nullptr, action);
}

} // namespace

struct clsShellMenu::ShellCommand {
    Verb verb = Verb::Open;
    QString appId;
};

struct clsShellMenu::BuiltMenu {
    std::unique_ptr<QMenu> menu;
    std::vector<ShellCommand> commands; // command number n is commands[n - 1]
};

clsShellMenu::clsShellMenu(QObject* parent) : QObject(parent) {}

clsShellMenu::~clsShellMenu() = default;

void clsShellMenu::setMenuChooser(MenuChooser choose) {
    Chooser() = std::move(choose);
}

QVariant clsShellMenu::AddExtraItem(const QString& Caption, int Position, bool Enabled,
                                    bool Checked, const QPixmap& hBmp,
                                    const QPixmap& hSelectedBmp) {
    std::vector<ExtraItem>& items = ExtraItems();
    if (!items.front().Caption.isEmpty())
        items.emplace_back();
    items.back() = {Position, Caption, Enabled, Checked, hBmp, hSelectedBmp};
    return {};
}

void clsShellMenu::ClearExtraItems() {
    ExtraItems().assign(1, ExtraItem{});
}

bool clsShellMenu::ShellMenu(QWidget* ParentHwnd, const QVariant& Files, int X, int Y) {
    files_ = Files;
    const std::vector<std::string> paths = PathsOf(Files);
    if (paths.empty())
        return false;
    std::string folder;
    std::vector<std::string> names;
    for (const std::string& path : paths) {
        std::error_code ec;
        const std::string absolute = std::filesystem::absolute(path, ec).string();
        const auto slash = absolute.rfind('/');
        if (ec || slash == std::string::npos || slash + 1 == absolute.size())
            return false;
        const std::string parent = absolute.substr(0, slash + 1);
        // One menu acts on the files of one folder; the names alone would name other files
        // in another.
        if (!folder.empty() && parent != folder)
            return false;
        folder = parent;
        names.push_back(absolute.substr(slash + 1));
    }
    return showMenu(ParentHwnd, folder, names, X, Y);
}

bool clsShellMenu::ShowShellContextMenu(QWidget* hwndOwner, const std::string& folder,
                                        const std::vector<std::string>& names, int X, int Y, bool) {
    QByteArrayList paths;
    for (const std::string& name : names)
        paths << QByteArray::fromStdString(folder + name);
    files_ = QVariant::fromValue(paths);
    return showMenu(hwndOwner, folder, names, X, Y);
}

std::unique_ptr<clsShellMenu::BuiltMenu>
clsShellMenu::buildMenu(QWidget* owner, const std::string& folder,
                        const std::vector<std::string>& names) const {
    auto built = std::make_unique<BuiltMenu>();
    built->menu = std::make_unique<QMenu>(owner);
    built->menu->setObjectName("ShellMenu");
    QMenu& menu = *built->menu;
    std::vector<ShellCommand>& commands = built->commands;
    const auto add = [&](QMenu& into, const QString& text, const QIcon& icon, ShellCommand c) {
        commands.push_back(std::move(c));
        QAction* action = into.addAction(icon, text);
        action->setData(int(commands.size()) - 1 + kFirstShellCommand);
        return action;
    };

    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(folder + name);
    const FileApplications apps = ApplicationsForFiles(paths);
    std::size_t next = 0;
    if (apps.hasDefault) {
        const DesktopApp& app = apps.apps.front();
        QAction* open =
            add(menu, "Öffnen mit " + EscapedForMenu(app.name), app.icon, {Verb::Open, app.id});
        menu.setDefaultAction(open);
        next = 1;
    }
    if (next < std::min(apps.apps.size(), kMostApplications)) {
        QMenu* others = menu.addMenu("Öffnen mit");
        others->setObjectName("OpenWithMenu");
        for (; next < std::min(apps.apps.size(), kMostApplications); ++next) {
            const DesktopApp& app = apps.apps[next];
            add(*others, EscapedForMenu(app.name), app.icon, {Verb::Open, app.id});
        }
    }
    if (!menu.isEmpty())
        menu.addSeparator();
    const bool single = names.size() == 1;
    if (single)
        add(menu, "Umbenennen...", QIcon::fromTheme("edit-rename"), {Verb::Rename, {}});
    add(menu, "In den Papierkorb verschieben", VerbIcon("user-trash", QStyle::SP_TrashIcon),
        {Verb::Trash, {}});
    add(menu, "Endgültig löschen...", QIcon::fromTheme("edit-delete"), {Verb::Delete, {}});
    if (single) {
        menu.addSeparator();
        add(menu, "Eigenschaften", VerbIcon("document-properties", QStyle::SP_FileDialogInfoView),
            {Verb::Properties, {}});
    }

    const std::vector<ExtraItem>& extras = ExtraItems();
    if (!extras.front().Caption.isEmpty()) {
        for (std::size_t i = 0; i < extras.size(); ++i)
            InsertExtraItem(menu, extras[i], kFirstExtraCommand + int(i));
    }
    return built;
}

bool clsShellMenu::showMenu(QWidget* owner, const std::string& folder,
                            const std::vector<std::string>& names, int X, int Y) {
    for (const std::string& name : names) {
        platform::FileInfo info;
        if (platform::RealFileOps().Lstat(folder + name, info) != 0)
            return false;
    }
    const std::unique_ptr<BuiltMenu> built = buildMenu(owner, folder, names);
    const QPoint at = X == 0 && Y == 0 ? QCursor::pos() : QPoint(X, Y);
    QAction* chosen = Chooser() ? Chooser()(*built->menu) : built->menu->exec(at);
    const int number = chosen != nullptr ? chosen->data().toInt() : 0;
    const int extras = int(ExtraItems().size());
    if (number == 0)
        return false;
    if (number >= kFirstExtraCommand && number < kFirstExtraCommand + extras &&
        !ExtraItems().front().Caption.isEmpty()) {
        emit CustomItemClicked(files_, number - kFirstExtraCommand);
        return true;
    }
    const std::size_t index = std::size_t(number - kFirstShellCommand);
    if (number < kFirstShellCommand || index >= built->commands.size())
        return false;
    const QString caption = chosen->text();
    bool cancel = false;
    emit ItemClickedBeforeAction(files_, caption, cancel);
    if (!cancel) {
        runCommand(owner, built->commands[index], folder, names);
        emit ItemClickedAfterAction(files_, caption);
    }
    return true;
}

void clsShellMenu::runCommand(QWidget* owner, const ShellCommand& command,
                              const std::string& folder, const std::vector<std::string>& names) {
    platform::FileOps machine;
    platform::FileOps& ops = ops_ != nullptr ? *ops_ : machine;
    switch (command.verb) {
    case Verb::Open: {
        std::vector<std::string> paths;
        for (const std::string& name : names)
            paths.push_back(folder + name);
        const QString reason = LaunchApplication(command.appId, paths);
        if (!reason.isEmpty())
            ShowErrorMessage(owner, reason);
        break;
    }
    case Verb::Rename:
        RenameVerb(owner, ops, folder, names.front());
        break;
    case Verb::Trash:
        TrashVerb(owner, ops, folder, names);
        break;
    case Verb::Delete:
        DeleteVerb(owner, ops, folder, names);
        break;
    case Verb::Properties:
        PropertiesVerb(owner, folder + names.front());
        break;
    }
}
