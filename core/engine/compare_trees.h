#pragma once

#include "platform/seen_file.h"

#include <string>

class LoadView;
struct SyncSession;
namespace platform {
class FileSystem;
}

// The same relative path under the other tree's root. The roots are joined as if both were
// written with exactly one trailing "/", so "/daten" and "/daten/" give the same paths.
std::string CounterpartPath(const SyncSession& session, const std::string& path, bool isStart);

// Fills the copy and delete lists from the scanned trees under the session's rule and ticks
// every chosen record. False when an abort stopped it before the lists were complete.
bool CompareTrees(SyncSession& session, platform::FileSystem& fs, LoadView& view);

// Whether a start file is copied under the copy condition, given its last-write time and
// what was seen of its counterpart in the target tree.
bool StartFileChosen(int copyCondition, DateTime mine, const platform::SeenDestination& other);

enum class TargetChoice { None, CopyBack, Delete };
// What happens to a target file under the rule's action on the target side.
TargetChoice TargetFileChoice(int reverseAction, DateTime mine,
                              const platform::SeenDestination& other);
