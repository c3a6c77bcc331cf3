#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

// Asks for a file's new name, with the old one offered and its part before the extension
// selected. A name that cannot be used is refused with the reason and the dialog stays open.
class RenameDialog : public QDialog {
    Q_OBJECT
public:
    // The file `name` (bytes) in `folder` (absolute, ending in "/").
    RenameDialog(QWidget* parent, const std::string& folder, const std::string& name);

    // The name typed, as the bytes the file will get; the old name when left unchanged.
    std::string newName() const;
    // Why `name` cannot be the new name, in German; empty when it can.
    QString problem(const QString& name) const;
    // The message for a name that is already taken in the folder.
    static QString TakenText(const QString& name);

    void accept() override;

private:
    std::string folder_;
    std::string name_;
    QString shownName_; // the old name as the box shows it
    QLineEdit* nameBox_ = nullptr;
};
