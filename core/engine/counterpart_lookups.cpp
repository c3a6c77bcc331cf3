#include "counterpart_lookups.h"

#include "platform/file_system.h"
#include "tree_paths.h"

#include <cerrno>
#include <chrono>
#include <exception>
#include <system_error>

namespace {

// Answers held (asked or known) ahead of the comparison.
constexpr std::size_t kAhead = 4096;

} // namespace

struct CounterpartLookups::Answer {
    const MyFile* file = nullptr;
    platform::FileState state;
    bool known = false;
};

CounterpartLookups::CounterpartLookups(platform::FileSystem& fs, const std::string& otherRoot,
                                       int threads, const RecordStore& mine,
                                       std::size_t mineRootLength, Tree other)
    : fs_(fs), otherRoot_(otherRoot), mineRootLength_(mineRootLength), next_(mine.begin()) {
    if (other.scanned != nullptr)
        otherScan_.emplace(*other.scanned, other.rootLength);
    for (int i = 0; i < threads; ++i) {
        try {
            threads_.emplace_back(&CounterpartLookups::work, this);
        } catch (const std::system_error&) {
            break; // fewer threads ask, or none: the comparison then asks itself
        }
    }
}

CounterpartLookups::~CounterpartLookups() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    room_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

// The next file of `mine` whose counterpart the other scan did not see: the comparison meets
// the same files, as it walks the same two trees in the same order.
bool CounterpartLookups::nextUnseen(const MyFile*& f) {
    for (; next_ != RecordStore::iterator(); ++next_) {
        const MyFile* candidate = *next_;
        const std::string_view folder = candidate->FolderView();
        if (otherScan_ && otherScan_->find(RelativeFolderOf(*candidate, mineRootLength_),
                                           candidate->Name(), folder.data()) != nullptr)
            continue;
        f = candidate;
        ++next_;
        return true;
    }
    return false;
}

void CounterpartLookups::work() {
    std::unique_ptr<platform::TreeReader> reader;
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        room_.wait(lock, [&] { return stopping_ || (!exhausted_ && answers_.size() < kAhead); });
        if (stopping_)
            return;
        const MyFile* f = nullptr;
        if (!nextUnseen(f)) {
            exhausted_ = true;
            answered_.notify_all();
            continue;
        }
        // Only the comparison removes an answer, and only once it is known: this one stays.
        Answer& answer = answers_.emplace_back();
        answer.file = f;
        lock.unlock();
        platform::FileState state;
        try {
            if (!reader)
                reader = fs_.OpenTree(otherRoot_);
            state = reader->Examine(RelativeFolderOf(*f, mineRootLength_), f->Name());
        } catch (const std::exception&) {
            state.error = EIO; // not known: never taken for missing
        }
        lock.lock();
        answer.state = state;
        answer.known = true;
        answered_.notify_all();
    }
}

std::optional<platform::FileState>
CounterpartLookups::take(const MyFile& f, const std::function<bool()>& keepWaiting) {
    using Clock = std::chrono::steady_clock;
    auto lastAsked = Clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        if (!answers_.empty() && answers_.front().known) {
            const Answer answer = answers_.front();
            answers_.pop_front();
            lock.unlock();
            room_.notify_one();
            if (answer.file == &f)
                return answer.state;
            break; // not the file expected: asked here instead
        }
        if (exhausted_ && answers_.empty())
            break;
        answered_.wait_for(lock, std::chrono::milliseconds(10));
        if (Clock::now() - lastAsked >= std::chrono::milliseconds(10)) {
            lock.unlock();
            if (!keepWaiting())
                return std::nullopt;
            lock.lock();
            lastAsked = Clock::now();
        }
    }
    if (!fallback_)
        fallback_ = fs_.OpenTree(otherRoot_);
    return fallback_->Examine(RelativeFolderOf(f, mineRootLength_), f.Name());
}
