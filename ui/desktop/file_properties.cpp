#include "file_properties.h"

#include "app_database.h"
#include "engine/texts.h"
#include "kit/date_time_text.h"
#include "kit/file_list_model.h"
#include "mime_comment.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <vector>

namespace {

QString OwnerName(uid_t uid) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return QString::fromLocal8Bit(found->pw_name) + QString(" (%1)").arg(uid);
    return QString::number(uid);
}

QString GroupName(gid_t gid) {
    std::vector<char> buffer(16384);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return QString::fromLocal8Bit(found->gr_name) + QString(" (%1)").arg(gid);
    return QString::number(gid);
}

// "rw-r--r-- (644)": who may read, write and run the file, and the same as a number.
QString PermissionsText(mode_t mode) {
    QString text;
    const char* letters = "rwxrwxrwx";
    for (int bit = 8; bit >= 0; --bit)
        text += (mode & (mode_t(1) << bit)) ? QChar(letters[8 - bit]) : QChar('-');
    return text + QString(" (%1)").arg(mode & 07777, 3, 8, QChar('0'));
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

    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        error_ = errno;
        return;
    }
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
    row("PropSize", "Größe:", SizeText(st.st_size));
    row("PropModified", "Zuletzt geändert:", LocalDateTimeText(st.st_mtim.tv_sec, false));
    row("PropAccessed", "Letzter Zugriff:", LocalDateTimeText(st.st_atim.tv_sec, false));
    row("PropOwner", "Besitzer:", OwnerName(st.st_uid));
    row("PropGroup", "Gruppe:", GroupName(st.st_gid));
    row("PropPermissions", "Berechtigungen:", PermissionsText(st.st_mode));
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("Schließen", QDialogButtonBox::RejectRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
