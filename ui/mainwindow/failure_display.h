#pragma once

#include "engine/failed_item.h"

#include <vector>

class QWidget;

// Shows what a load could not read or a run could not copy or delete, each kind the way the
// user knows it: unread folders and files in one message, files not deleted in another, files
// not copied in the copy-error window. Nothing is shown for an empty list.
void ShowFailures(QWidget* owner, const std::vector<FailedItem>& items);
