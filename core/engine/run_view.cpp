#include "run_view.h"

#include <algorithm>

bool RunResult::anyCopyFailed() const {
    return std::any_of(failures.begin(), failures.end(),
                       [](const FailedItem& f) { return f.kind == FailedItem::Kind::Copy; });
}

std::int64_t RunResult::failed() const {
    return std::count_if(failures.begin(), failures.end(),
                         [](const FailedItem& f) { return !f.changedSinceLoad; });
}

std::int64_t RunResult::leftChanged() const {
    return static_cast<std::int64_t>(failures.size()) - failed();
}
