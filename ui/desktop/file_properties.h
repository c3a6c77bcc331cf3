#pragma once

#include <QDialog>

#include <string>

// A window with what the file system says of one file: name, folder, type, size, last change,
// last access, owner, group and permissions. Each value is a label named after its field
// ("PropName", "PropFolder", "PropType", "PropSize", "PropModified", "PropAccessed",
// "PropOwner", "PropGroup", "PropPermissions").
class FileProperties : public QDialog {
    Q_OBJECT
public:
    FileProperties(QWidget* parent, const std::string& path);
    // 0, or the errno when the file could not be examined; the window is empty then.
    int error() const { return error_; }

private:
    int error_ = 0;
};
