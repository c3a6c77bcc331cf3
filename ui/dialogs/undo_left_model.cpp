#include "undo_left_model.h"

#include "engine/undo_plan.h"
#include "kit/file_list_model.h"
#include "kit/text_bytes.h"

#include <algorithm>
#include <climits>

UndoLeftModel::UndoLeftModel(QObject* parent) : QAbstractTableModel(parent) {}

UndoLeftModel::~UndoLeftModel() = default;

void UndoLeftModel::setEntries(std::vector<UndoLeft> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

int UndoLeftModel::rowCount(const QModelIndex& parent) const {
    // A view counts its rows in int.
    return parent.isValid() ? 0 : int(std::min<std::size_t>(entries_.size(), INT_MAX));
}

int UndoLeftModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant UndoLeftModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const UndoLeft& entry = entries_[std::size_t(index.row())];
    return index.column() == 0 ? DisplayPath(entry.path) : Text(entry.reason);
}

QVariant UndoLeftModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QString("Datei oder Ordner") : QString("Grund");
}
