#pragma once

#include <QAbstractTableModel>

#include <vector>

struct UndoLeft;

// What an undo left where it was, one row each: the path and why. A list can hold every entry
// of a run, so it is a model over the undo's own result, not a widget per row.
class UndoLeftModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit UndoLeftModel(QObject* parent = nullptr);
    ~UndoLeftModel() override;

    // The rows, taken over whole.
    void setEntries(std::vector<UndoLeft> entries);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<UndoLeft> entries_;
};
