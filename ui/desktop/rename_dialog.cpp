#include "rename_dialog.h"

#include "kit/error_message.h"
#include "kit/file_list_model.h"
#include "platform/file_ops.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kLongestName = 255; // bytes, as the file systems take them
}

RenameDialog::RenameDialog(QWidget* parent, const std::string& folder, const std::string& name)
    : QDialog(parent), folder_(folder), name_(name), shownName_(DisplayPath(name)) {
    setObjectName("RenameDialog");
    setWindowTitle("Umbenennen");
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel("Neuer Name für „" + shownName_ + "“:", this);
    label->setObjectName("RenamePrompt");
    layout->addWidget(label);
    nameBox_ = new QLineEdit(shownName_, this);
    nameBox_->setObjectName("NewName");
    nameBox_->setMinimumWidth(360);
    layout->addWidget(nameBox_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &RenameDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RenameDialog::reject);
    layout->addWidget(buttons);
    // The name without its extension is what is changed as a rule; a leading dot marks a
    // hidden file, not an extension.
    const qsizetype dot = shownName_.lastIndexOf('.');
    nameBox_->setSelection(0, dot > 0 ? dot : shownName_.size());
    nameBox_->setFocus();
}

std::string RenameDialog::newName() const {
    const QString typed = nameBox_->text();
    return typed == shownName_ ? name_ : typed.toUtf8().toStdString();
}

QString RenameDialog::TakenText(const QString& name) {
    return QString("In diesem Ordner gibt es schon eine Datei oder einen Ordner mit dem Namen "
                   "„%1“. Bitte wählen Sie einen anderen Namen.")
        .arg(name);
}

QString RenameDialog::problem(const QString& name) const {
    if (name.isEmpty())
        return "Bitte geben Sie einen Namen ein.";
    if (name.contains('/'))
        return "Ein Dateiname darf keinen Schrägstrich („/“) enthalten.";
    if (name.contains(QChar(0)))
        return "Der Name enthält ein Zeichen, das in Dateinamen nicht erlaubt ist.";
    if (name == "." || name == "..")
        return "Die Namen „.“ und „..“ sind nicht erlaubt.";
    const QByteArray bytes = name.toUtf8();
    if (bytes.size() > kLongestName)
        return QString("Der Name ist zu lang: höchstens %1 Byte sind erlaubt.").arg(kLongestName);
    platform::FileInfo info;
    if (name != shownName_ &&
        platform::RealFileOps().Lstat(folder_ + bytes.toStdString(), info) == 0)
        return TakenText(name);
    return {};
}

void RenameDialog::accept() {
    const QString reason = problem(nameBox_->text());
    if (reason.isEmpty()) {
        QDialog::accept();
        return;
    }
    ShowErrorMessage(this, reason);
    nameBox_->setFocus();
}
