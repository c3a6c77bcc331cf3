#include "file_list_model.h"

QString DisplayPath(const std::string& path) {
    QString text = QString::fromUtf8(path.data(), qsizetype(path.size()));
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20)
            c = QChar(char16_t(0x2400 + u)); // the control's own picture: "␊" for a line break
        else if (u == 0x7f)
            c = QChar(char16_t(0x2421)); // "␡"
        else if (u == 0x85 || u == 0x2028 || u == 0x2029)
            c = QChar(char16_t(0x2424)); // "␤", the other line breaks
        else if (u >= 0x80 && u < 0xa0)
            c = QChar(char16_t(0xfffd));
    }
    return text;
}

void FileListModel::setList(FileList* list) {
    beginResetModel();
    list_ = list;
    endResetModel();
}

MyFile* FileListModel::record(int row) const {
    if (list_ == nullptr || row < 0 || row >= int(list_->size()))
        return nullptr;
    return (*list_)[std::size_t(row)];
}

bool FileListModel::removeRecord(int row) {
    if (record(row) == nullptr)
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    list_->erase(list_->begin() + row);
    endRemoveRows();
    return true;
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || list_ == nullptr)
        return 0;
    return int(list_->size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    const MyFile* f = record(index.row());
    if (f == nullptr)
        return {};
    if (role == Qt::DisplayRole)
        return DisplayPath(f->Path());
    if (role == Qt::CheckStateRole)
        return f->Selected ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    MyFile* f = record(index.row());
    if (f == nullptr || role != Qt::CheckStateRole)
        return false;
    f->Selected = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit ticksChanged();
    return true;
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemNeverHasChildren;
}

void FileListModel::setAllSelected(bool selected) {
    if (list_ == nullptr || list_->empty())
        return;
    for (MyFile* f : *list_)
        f->Selected = selected;
    emit dataChanged(index(0), index(int(list_->size()) - 1), {Qt::CheckStateRole});
    emit ticksChanged();
}
