#include "copy_window.h"

#include <algorithm>

void CopyWindow::Add(bool toStage) {
    const std::lock_guard<std::mutex> lock(mutex_);
    Next().state = toStage ? CopyJob::Waiting : CopyJob::Done;
    ++count_;
}

void CopyWindow::DropFirst() {
    const std::lock_guard<std::mutex> lock(mutex_);
    jobs_[first_].state = CopyJob::Left; // settled: no longer shown as under way
    first_ = (first_ + 1) % jobs_.size();
    --count_;
}

CopyJob& CopyWindow::Pick(bool stopped) {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::vector<const platform::OpenFolder*>& busy = busy_;
    busy.clear();
    CopyJob* first = nullptr;
    CopyJob* chosen = nullptr;
    for (std::size_t i = 0; i < count_; ++i) {
        const CopyJob& job = jobs_[(first_ + i) % jobs_.size()];
        if (job.state == CopyJob::Running)
            busy.push_back(job.out.folder.get());
    }
    for (std::size_t i = 0; i < count_ && chosen == nullptr; ++i) {
        CopyJob& job = jobs_[(first_ + i) % jobs_.size()];
        if (job.state != CopyJob::Waiting)
            continue;
        if (first == nullptr)
            first = &job;
        if (stopped || std::find(busy.begin(), busy.end(), job.out.folder.get()) == busy.end())
            chosen = &job;
    }
    // Every copy added to stage has its own worker's turn: one is waiting.
    CopyJob& job = chosen != nullptr ? *chosen : *first;
    job.state = stopped ? CopyJob::Left : CopyJob::Running;
    return job;
}
