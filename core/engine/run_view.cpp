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

void AddFailure(RunView& view, RunResult& result, FailedItem item) {
    view.ActionDone(RunAction::Failed, item.source.empty() ? item.path : item.source, item.reason);
    result.failures.push_back(std::move(item));
}
