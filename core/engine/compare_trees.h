#pragma once

#include "failed_item.h"

#include <string>
#include <vector>

class EventThrottle;
class LoadView;
struct SyncSession;
namespace platform {
class FileSystem;
}

// The same relative path under the other tree's root. The roots are joined as if both were
// written with exactly one trailing "/", so "/daten" and "/daten/" give the same paths.
std::string CounterpartPath(const SyncSession& session, const std::string& path, bool isStart);

// Fills the copy and delete lists from the scanned trees under the session's rule and ticks
// every chosen record. Nothing below what the start tree's scan could not read (`problems`)
// is deleted. False when an abort stopped it before the lists were complete.
bool CompareTrees(SyncSession& session, platform::FileSystem& fs, LoadView& view,
                  EventThrottle& throttle, const std::vector<FailedItem>& problems);
