#pragma once

#include "failed_item.h"

#include <cstdint>
#include <string>
#include <vector>

class LoadView;
struct SyncSession;
namespace platform {
class FileSystem;
}

// The same relative path under the other tree's root. The roots are joined as if both were
// written with exactly one trailing "/", so "/daten" and "/daten/" give the same paths.
std::string CounterpartPath(const SyncSession& session, const std::string& path, bool isStart);

// Completes the lists the comparison of the trees' files filled: takes off the deletions below
// what the start tree's scan could not read (`problems`), adds the folders under the rule, takes
// the exact stamps and ticks every chosen record. `compared` and `bytes`: the files compared
// and the start tree's size, for the status bar. False when an abort stopped it.
bool CompleteLists(SyncSession& session, platform::FileSystem& fs, LoadView& view,
                   const std::vector<FailedItem>& problems, std::int64_t compared,
                   std::int64_t bytes);
