#include "list_index.h"

#include "twips.h"

#include <QAbstractItemView>

int ListIndexFromPoint(const QAbstractItemView* list, double x, double y) {
    if (list == nullptr)
        return -1;
    const QPoint pixel(TwipsToPixelsX(x), TwipsToPixelsY(y));
    const QModelIndex index = list->indexAt(pixel);
    if (!index.isValid())
        return -1;
    // Both edges count as inside.
    const QRect r = list->visualRect(index).adjusted(0, 0, 1, 1);
    return r.contains(pixel) ? index.row() : -1;
}
