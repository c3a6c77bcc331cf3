#pragma once

#include "platform/date_time.h"
#include "platform/seen_file.h"
#include "sync_rule.h"

#include <cstdint>

// What a rule decides for one file, given what was seen of its counterpart in the other tree.

// Whether a start file is copied under the copy condition, given its last-write time.
bool StartFileChosen(std::int32_t copyCondition, DateTime mine,
                     const platform::SeenDestination& other);

// Whether a start file its copy condition leaves alone differs from its counterpart all the
// same: the same time, within the tolerance, but another size. Only for the conditions that
// compare times; one that copies only missing files never replaces a present one.
bool SameTimeOtherSize(std::int32_t copyCondition, DateTime mine, std::int64_t mySize,
                       const platform::SeenDestination& other);

enum class TargetChoice { None, CopyBack, Delete };
// What happens to a target file under the rule's action on the target side.
TargetChoice TargetFileChoice(std::int32_t reverseAction, DateTime mine,
                              const platform::SeenDestination& other);

// The scanners' attribute mask for the rule's attribute options.
std::int32_t ScanMask(const SyncRule& rule);
