#include "shell_verbs.h"

#include "desktop_shell.h"
#include "engine/copy_errors.h"
#include "file_properties.h"
#include "file_verbs.h"
#include "kit/error_message.h"
#include "kit/file_list_model.h"
#include "platform/file_ops.h"
#include "rename_dialog.h"

#include <QStringList>

#include <cerrno>

namespace {

void ShowFailure(QWidget* owner, const QString& text) {
    ShowErrorMessage(owner, text);
}

QString Reason(int err) {
    return QString::fromStdString(ErrorDescription(err));
}

// "„name“: reason" for every name that failed; the whole message when any did.
void ReportFailures(QWidget* owner, const QString& what, const std::vector<std::string>& names,
                    const std::vector<int>& errors) {
    QStringList lines;
    for (std::size_t k = 0; k < names.size(); ++k)
        if (errors[k] != 0)
            lines << "„" + DisplayPath(names[k]) + "“: " + Reason(errors[k]);
    if (lines.isEmpty())
        return;
    ShowFailure(owner, what + "\n\n" + lines.join("\n"));
}

} // namespace

void RenameVerb(QWidget* owner, platform::FileOps& ops, const std::string& folder,
                const std::string& name) {
    RenameDialog dialog(owner, folder, name);
    if (dialog.exec() != QDialog::Accepted || dialog.newName() == name)
        return;
    const int err = RenameEntry(ops, folder, name, dialog.newName());
    if (err == EEXIST)
        ShowFailure(owner, RenameDialog::TakenText(DisplayPath(dialog.newName())));
    else if (err != 0)
        ShowFailure(owner,
                    "„" + DisplayPath(name) + "“ konnte nicht umbenannt werden: " + Reason(err));
}

void TrashVerb(QWidget* owner, platform::FileOps& ops, const std::string& folder,
               const std::vector<std::string>& names) {
    std::vector<int> errors;
    TrashEntries(ops, folder, names, errors);
    ReportFailures(owner, "Nicht in den Papierkorb verschoben:", names, errors);
}

void DeleteVerb(QWidget* owner, platform::FileOps& ops, const std::string& folder,
                const std::vector<std::string>& names) {
    if (!AskDeleteQuestion(owner, names.size(), false))
        return;
    std::vector<int> errors;
    DeleteEntries(ops, folder, names, errors);
    ReportFailures(owner, "Nicht gelöscht:", names, errors);
}

void PropertiesVerb(QWidget* owner, const std::string& path) {
    auto* window = new FileProperties(owner, path);
    if (const int err = window->error(); err != 0) {
        delete window;
        ShowFailure(owner, "Die Eigenschaften von „" + DisplayPath(path) +
                               "“ konnten nicht gelesen werden: " + Reason(err));
        return;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}
