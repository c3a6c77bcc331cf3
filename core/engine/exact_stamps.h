#pragma once

class LoadView;
struct SyncSession;
namespace platform {
class FileSystem;
}

// Takes the exact times and identity of every file the run may replace or delete (the other
// end of a copy-list entry where a file was seen, and each entry of the delete list), where
// the comparison knew only their size and whole seconds (a listing that took no stamps): the run
// then leaves alone a file edited after the load within the same second. A file that changed since
// its scan keeps the size and time the scan saw, so the run refuses it. Where a tree lies on a
// device on which each question waits, several are asked at once while the view's events keep
// running. False when "Abbrechen" stopped it.
bool TakeExactStamps(SyncSession& session, platform::FileSystem& fs, LoadView& view);
