#include "file_properties.h"

#include "app_database.h"
#include "engine/texts.h"
#include "kit/date_time_text.h"
#include "kit/file_list_model.h"
#include "mime_comment.h"
#include "platform/file_ops.h"
#include "platform/folder_names.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// "name (1000)", or the bare number when the system knows no name for it.
QString NameAndNumber(const std::string& name, std::uint32_t number) {
    if (name.empty())
        return QString::number(number);
    return QString::fromLocal8Bit(name.c_str()) + QString(" (%1)").arg(number);
}

// "rw-r--r-- (644)": who may read, write and run the file, and the same as a number.
QString PermissionsText(std::uint32_t mode) {
    QString text;
    const char* letters = "rwxrwxrwx";
    for (int bit = 8; bit >= 0; --bit)
        text += (mode & (std::uint32_t(1) << bit)) ? QChar(letters[8 - bit]) : QChar('-');
    return text + QString(" (%1)").arg(mode & 07777, 3, 8, QChar('0'));
}

// Whole seconds since 1970, rounded down also before it.
std::int64_t Seconds(std::int64_t nanos) {
    const std::int64_t billion = platform::FileInfo::kBillion;
    return nanos >= 0 ? nanos / billion : -((-nanos + billion - 1) / billion);
}

QString SizeText(std::int64_t bytes) {
    return QString::fromStdString(FormatSize(bytes)) + " (" + QLocale().toString(qlonglong(bytes)) +
           " Bytes)";
}

} // namespace

FileProperties::FileProperties(QWidget* parent, const std::string& path) : QDialog(parent) {
    setObjectName("FileProperties");
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    setWindowTitle("Eigenschaften von " + DisplayPath(name));

    platform::FileInfo st;
    std::uint32_t group = 0;
    error_ = platform::RealFileOps().Lstat(path, st);
    if (error_ == 0)
        error_ = platform::GroupOf(path, group);
    if (error_ != 0)
        return;
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    const auto row = [&](const char* field, const QString& caption, const QString& value) {
        auto* label = new QLabel(value, this);
        label->setObjectName(field);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption, label);
    };
    const QString type = FileMimeType(path);
    row("PropName", "Name:", DisplayPath(name));
    row("PropFolder", "Ordner:", DisplayPath(folder.empty() ? std::string("/") : folder));
    row("PropType",
        "Typ:", type.isEmpty() ? "unbekannt" : GermanMimeComment(type) + " (" + type + ")");
    row("PropSize", "Größe:", SizeText(st.size));
    row("PropModified", "Zuletzt geändert:", LocalDateTimeText(st.writeSeconds(), false));
    row("PropAccessed", "Letzter Zugriff:", LocalDateTimeText(Seconds(st.accessNanos), false));
    row("PropOwner", "Besitzer:", NameAndNumber(platform::UserName(st.owner), st.owner));
    row("PropGroup", "Gruppe:", NameAndNumber(platform::GroupName(group), group));
    row("PropPermissions", "Berechtigungen:", PermissionsText(st.permissions));
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("Schließen", QDialogButtonBox::RejectRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
