#pragma once

#include "platform/file_copy.h"

#include <string>

namespace platform {
class FileOps;
}

// A German description of an errno, for the reasons the error window shows.
std::string ErrorDescription(int err);

// Why a copy failed, found by probing both files right after the failure: a missing source,
// a source that cannot be read, a destination that cannot be written. When both can be
// opened, the failure the copy itself reported says what went wrong.
std::string CopyErrorReason(platform::FileOps& ops, const std::string& source,
                            const std::string& destination,
                            const platform::CopyResult& failure = {});
