#pragma once

#include "engine/sync_session.h"

#include <QAbstractListModel>

// One of the two tick lists: a row per record of the copy or delete list, its text the
// record's path and its tick the record's own Selected flag, so there is one truth.
class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setList(FileList* list);
    MyFile* record(int row) const;
    // Takes the entry out of the list and out of the collection it shows.
    bool removeRecord(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Ticks or unticks every record at once.
    void setAllSelected(bool selected);

signals:
    // A tick changed, by the user or by setAllSelected.
    void ticksChanged();

private:
    FileList* list_ = nullptr;
};

// The text a list shows for a path, always on one line: the file system's bytes as UTF-8,
// invalid bytes shown as replacement characters and control characters as their visible
// pictures ("␊" for a line break). The record keeps the real name.
QString DisplayPath(const std::string& path);
