#include "tree_comparison.h"

#include "counterpart_lookups.h"
#include "event_throttle.h"
#include "load_view.h"
#include "platform/name_order.h"
#include "rules/rule_decisions.h"
#include "scan_order.h"
#include "sync_session.h"
#include "tree_paths.h"

namespace {

using Seen = platform::SeenDestination;
using Kind = Seen::Kind;
using Tree = FolderHandover::Tree;
constexpr Tree kStart = FolderHandover::Start;
constexpr Tree kTarget = FolderHandover::Target;

// Folders and questions held ahead of the decisions where a thread answers the questions.
constexpr std::size_t kMaxJobs = 1024;
constexpr std::size_t kMaxUnanswered = 4096;

CounterpartLookups::Tree Other(Tree tree) {
    return tree == kStart ? CounterpartLookups::Target : CounterpartLookups::Start;
}

bool IsLink(std::uint16_t attributes) {
    return (attributes & MyFile::kLinkBit) != 0;
}

// What lies at the counterpart's name, of the type found there. A link is one when the rule
// takes links, otherwise something else that is there.
Seen OfType(platform::FileInfo::Type type, std::int64_t size, DateTime lastWrite,
            const platform::FileStamp& stamp, bool linksTaken) {
    using Type = platform::FileInfo::Type;
    if (type == Type::Folder)
        return {Kind::Folder};
    const bool link = linksTaken && type == Type::Link;
    if (type != Type::File && !link)
        return {Kind::Other};
    return {link ? Kind::Link : Kind::File, size, lastWrite, stamp};
}

// What an examination of the counterpart found.
Seen FromState(const platform::FileState& st, bool linksTaken) {
    if (st.missing())
        return {Kind::Absent};
    if (!st.ok())
        return {Kind::Unknown}; // a link on the way, no permission, an I/O error
    return OfType(st.info.type, st.info.size, DateTimeFromUnix(st.info.writeSeconds()),
                  platform::StampOf(st.info), linksTaken);
}

// The counterpart the other scan saw, with its exact stamp where the listing took one.
Seen FromScan(const ScannedFile& f) {
    return {IsLink(f.attributes) ? Kind::Link : Kind::File, f.size, f.lastWrite, f.stamp};
}

// Whether the other tree's listing of the folder tells what lies at a name its scan did not
// report: where it was listed in full.
bool Listed(const ScannedFolder* other) {
    return other != nullptr && other->complete;
}

// What that listing holds at `name`, as an examination would find it.
Seen FromListing(const ScannedFolder& other, const char* name, bool linksTaken) {
    using Type = platform::FileInfo::Type;
    const ScannedFile* e = other.Unreported(name);
    if (e == nullptr)
        return {Kind::Absent};
    if ((e->attributes & ScannedFolder::kUnexamined) != 0)
        return {Kind::Unknown};
    const Type type = (e->attributes & platform::kAttrDirectory) != 0      ? Type::Folder
                      : (e->attributes & platform::kAttrReparsePoint) != 0 ? Type::Link
                      : (e->attributes & platform::kAttrDevice) != 0       ? Type::Other
                                                                           : Type::File;
    return OfType(type, e->size, e->lastWrite, e->stamp, linksTaken);
}

// A link on one side where the other has a file or a folder of that name: listed for the
// user, never acted on.
bool KindsClash(bool link, const Seen& other) {
    return link ? other.kind == Kind::File || other.kind == Kind::Folder : other.kind == Kind::Link;
}

// Visits the files of one folder of both trees (either may be null) in scan order: each start
// file with its counterpart among the target's files or null, then each target file with its
// counterpart among the start's files or null, each with the other tree's folder. Stops when
// `visit` returns false.
template <class Visit> bool Merge(const ScannedFolder* s, const ScannedFolder* t, Visit&& visit) {
    const std::size_t ns = s != nullptr ? s->files.size() : 0;
    const std::size_t nt = t != nullptr ? t->files.size() : 0;
    std::size_t i = 0, j = 0;
    while (i < ns || j < nt) {
        const int order = i == ns ? 1
                          : j == nt
                              ? -1
                              : platform::CompareNames(s->Name(s->files[i]), t->Name(t->files[j]));
        if (order <= 0 && !visit(kStart, *s, s->files[i], order == 0 ? &t->files[j] : nullptr, t))
            return false;
        if (order >= 0 && !visit(kTarget, *t, t->files[j], order == 0 ? &s->files[i] : nullptr, s))
            return false;
        i += order <= 0 ? 1 : 0;
        j += order >= 0 ? 1 : 0;
    }
    return true;
}

} // namespace

TreeComparison::TreeComparison(SyncSession& session, platform::FileSystem& fs, LoadView& view,
                               EventThrottle& throttle, FolderHandover& handover)
    : session_(session), view_(view), throttle_(throttle), handover_(handover),
      targetScanned_(session.CurrentRule.scansTarget()),
      linksTaken_(session.CurrentRule.Options.SymbolicLinks),
      lookups_(std::make_unique<CounterpartLookups>(
          fs, targetScanned_ ? session.StartPath : std::string(), session.TargetPath)) {
    sides_[kStart].root = RootPrefixLength(session.StartPath);
    sides_[kTarget].root = RootPrefixLength(session.TargetPath);
    sides_[kTarget].closed = !targetScanned_;
}

TreeComparison::~TreeComparison() {
    lookups_.reset(); // no thread writes into a job after this
}

std::string_view TreeComparison::relative(const ScannedFolder& folder, Tree tree) const {
    return RelativeFolder(folder.folder, sides_[tree].root);
}

void TreeComparison::take() {
    sides_[kStart].closed = handover_.Take(kStart, sides_[kStart].folders);
    if (targetScanned_)
        sides_[kTarget].closed = handover_.Take(kTarget, sides_[kTarget].folders);
}

bool TreeComparison::Advance() {
    take();
    if (!compareReady())
        return false;
    // Folders whose answers have all come are decided now, not only when the next folder
    // arrives: a scan waits for room while they are held, and no folder would arrive.
    while (!jobs_.empty() && jobs_.front().left.load(std::memory_order_acquire) == 0)
        if (!decideFront())
            return false;
    return true;
}

// Compares folders while it is known which comes next: the one first in scan order of the two
// trees' next folders, both when they are the same folder, or one tree's alone once the other
// tree's scan has ended.
bool TreeComparison::compareReady() {
    auto& starts = sides_[kStart].folders;
    auto& targets = sides_[kTarget].folders;
    while (true) {
        int order = 0;
        if (!starts.empty() && !targets.empty())
            order = CompareFolders(relative(*starts.front(), kStart),
                                   relative(*targets.front(), kTarget));
        else if (!starts.empty() && sides_[kTarget].closed)
            order = -1;
        else if (!targets.empty() && sides_[kStart].closed)
            order = 1;
        else
            return true;
        std::unique_ptr<ScannedFolder> start, target;
        if (order <= 0) {
            start = std::move(starts.front());
            starts.pop_front();
        }
        if (order >= 0) {
            target = std::move(targets.front());
            targets.pop_front();
        }
        if (!compare(std::move(start), std::move(target)))
            return false;
    }
}

bool TreeComparison::compare(std::unique_ptr<ScannedFolder> start,
                             std::unique_ptr<ScannedFolder> target) {
    if (!lookups_->Threaded(CounterpartLookups::Start) &&
        !lookups_->Threaded(CounterpartLookups::Target)) {
        const bool decided = decide(start.get(), target.get(), nullptr);
        release(std::move(start), std::move(target));
        return decided;
    }
    // Asked ahead: the folder waits for its answers behind those before it.
    Job& job = jobs_.emplace_back();
    job.start = std::move(start);
    job.target = std::move(target);
    ask(job);
    while (!jobs_.empty()) {
        const bool full = jobs_.size() > kMaxJobs || lookups_->Unanswered() > kMaxUnanswered;
        if (!full && jobs_.front().left.load(std::memory_order_acquire) != 0)
            return true;
        if (!decideFront())
            return false;
    }
    return true;
}

// Asks the threads about every file of the job without a counterpart seen, in the order the
// decisions take the answers.
void TreeComparison::ask(Job& job) {
    Merge(job.start.get(), job.target.get(),
          [&](Tree tree, const ScannedFolder& folder, const ScannedFile& file,
              const ScannedFile* seen, const ScannedFolder* otherFolder) {
              if (seen == nullptr && !Listed(otherFolder) && lookups_->Threaded(Other(tree))) {
                  platform::FileState& answer = job.answers.emplace_back();
                  lookups_->Ask(Other(tree), relative(folder, tree), folder.Name(file), &answer,
                                &job.left);
              }
              return true;
          });
}

bool TreeComparison::decideFront() {
    Job& job = jobs_.front();
    const bool answered = lookups_->WaitFor(job.left, [this] {
        view_.PumpEvents();
        return !view_.StopRequested();
    });
    const bool decided = answered && decide(job.start.get(), job.target.get(), &job);
    release(std::move(job.start), std::move(job.target));
    jobs_.pop_front();
    return decided;
}

bool TreeComparison::decide(const ScannedFolder* start, const ScannedFolder* target, Job* job) {
    std::size_t next = 0; // the job's next answer
    return Merge(start, target,
                 [&](Tree tree, const ScannedFolder& folder, const ScannedFile& file,
                     const ScannedFile* seen, const ScannedFolder* otherFolder) {
                     Seen other;
                     if (seen != nullptr) {
                         other = FromScan(*seen);
                     } else if (Listed(otherFolder)) {
                         other = FromListing(*otherFolder, folder.Name(file), linksTaken_);
                     } else if (job != nullptr && lookups_->Threaded(Other(tree))) {
                         other = FromState(job->answers[next++], linksTaken_);
                     } else {
                         platform::FileState state;
                         lookups_->Ask(Other(tree), relative(folder, tree), folder.Name(file),
                                       &state, nullptr);
                         other = FromState(state, linksTaken_);
                     }
                     return tree == kStart ? decideStart(folder, file, other)
                                           : decideTarget(folder, file, other);
                 });
}

MyFile* TreeComparison::record(const ScannedFolder& folder, const ScannedFile& file, Made made) {
    const char* name = folder.Name(file);
    MyFile* f = made == Made::Copy       ? session_.NewRecord(folder.folder, name)
                : made == Made::CopyBack ? session_.NewTargetRecord(folder.folder, name)
                                         : session_.NewDeletionRecord(folder.folder, name);
    f->Size = file.size;
    f->LastWrite = file.lastWrite;
    f->Attributes = file.attributes;
    return f;
}

// One more entry compared, shown where the progress is; false once a stop was asked for.
bool TreeComparison::nextEntry() {
    if (view_.StopRequested())
        return false;
    ++position_;
    if (progressShown_)
        view_.ComparisonProgress(position_);
    return true;
}

// A start file goes on the copy list when the copy condition chooses it, unticked as a conflict
// when only its size differs or the kinds clash.
bool TreeComparison::decideStart(const ScannedFolder& folder, const ScannedFile& file,
                                 const Seen& other) {
    if (!nextEntry())
        return false;
    startBytes_ += file.size;
    const std::int32_t condition = session_.CurrentRule.CopyCondition;
    const bool clash = KindsClash(IsLink(file.attributes), other);
    const bool chosen = !clash && StartFileChosen(condition, file.lastWrite, other);
    const bool conflict =
        clash || (!chosen && SameTimeOtherSize(condition, file.lastWrite, file.size, other));
    if (chosen || conflict) {
        MyFile* f = record(folder, file, Made::Copy);
        if (conflict)
            f->MarkConflict();
        f->IsStart = true;
        session_.RememberCounterpart(*f, other);
    }
    throttle_.MaybeDoEvents();
    return true;
}

// A target file is copied back or deleted under the rule's action on the target side.
bool TreeComparison::decideTarget(const ScannedFolder& folder, const ScannedFile& file,
                                  const Seen& other) {
    if (!nextEntry())
        return false;
    if (KindsClash(IsLink(file.attributes), other)) {
        // Listed once: from the start side where the start tree has a file or link of that
        // name, from here where it has a folder. Never copied back or deleted.
        if (other.kind == Kind::Folder) {
            MyFile* f = record(folder, file, Made::CopyBack);
            f->MarkConflict();
            session_.RememberCounterpart(*f, other);
        }
    } else {
        switch (TargetFileChoice(session_.CurrentRule.ReverseAction, file.lastWrite, other)) {
        case TargetChoice::CopyBack:
            session_.RememberCounterpart(*record(folder, file, Made::CopyBack), other);
            break;
        case TargetChoice::Delete:
            // What the start tree's scan could not read is known only at its end: such
            // deletions are taken off the list then.
            session_.RememberAsLoaded(*record(folder, file, Made::Deletion), FromScan(file));
            break;
        case TargetChoice::None:
            break;
        }
    }
    throttle_.MaybeDoEvents();
    return true;
}

void TreeComparison::release(std::unique_ptr<ScannedFolder> start,
                             std::unique_ptr<ScannedFolder> target) {
    if (start)
        handover_.Release(kStart, std::move(start));
    if (target)
        handover_.Release(kTarget, std::move(target));
}

bool TreeComparison::Finish(std::int64_t progressMaximum) {
    const bool complete = finish(progressMaximum);
    // What was chosen so far goes on the lists also when stopped, unticked.
    session_.ListRecords();
    return complete;
}

bool TreeComparison::finish(std::int64_t progressMaximum) {
    // Stopped as the scans ended: not a complete comparison, even of trees without files.
    if (view_.StopRequested())
        return false;
    view_.ShowComparisonProgress(progressMaximum);
    progressShown_ = true;
    // The scans have ended: whatever they handed over is there to take.
    while (!(sides_[kStart].closed && sides_[kTarget].closed && sides_[kStart].folders.empty() &&
             sides_[kTarget].folders.empty())) {
        take();
        if (!compareReady())
            return false;
        if (!(sides_[kStart].closed && sides_[kTarget].closed))
            handover_.WaitForMore(std::chrono::milliseconds(10));
    }
    while (!jobs_.empty())
        if (!decideFront())
            return false;
    return true;
}
