#include "failed_item.h"

std::vector<const FailedItem*> ItemsOf(const std::vector<FailedItem>& items,
                                       FailedItem::Kind kind) {
    std::vector<const FailedItem*> out;
    for (const FailedItem& item : items)
        if (item.kind == kind)
            out.push_back(&item);
    return out;
}
